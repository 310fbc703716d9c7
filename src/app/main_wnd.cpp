#include "app/main_wnd.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

#include "app/window_messages.h"
#include "base/autostart.h"
#include "base/debug.h"
#include "base/product.h"
#include "dialogs/dpi_msg.h"
#include "dialogs/msg_wnd.h"
#include "page/ms_1_page.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "toolkit/language.h"

namespace tvq {
namespace {

constexpr int kTrayMenuLift = 50;
constexpr int kFirstFrameWaitMs = 500;

}  // namespace

// Builds the main window's deferred parts once, after its first expose.
class CMainWnd::FirstFrameWatch final : public QObject {
  public:
    explicit FirstFrameWatch(CMainWnd* window) : QObject(window), window_(window) {}
    void done() {
        if (!done_) {
            done_ = true;
            // After the expose has been painted.
            QTimer::singleShot(0, window_, [w = window_] { w->buildDeferredParts(); });
            deleteLater();
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose) {
            if (auto* handle = qobject_cast<QWindow*>(watched); handle && handle->isExposed()) {
                done();
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    CMainWnd* window_;
    bool done_ = false;
};

CMainWnd::CMainWnd(const LanguageManager& language, LibraryLoader& loader, DesktopSession* mouse,
                   std::unique_ptr<CMS_1_Page> page)
    : WindowImplBase(kProductName, "main.xml", &language),
      language_(language),
      loader_(loader),
      mouse_(mouse),
      page_(std::move(page)),
      logic_(*this, page_ ? &page_->logic() : nullptr, mouse) {}

CMainWnd::~CMainWnd() {
    // The mouse's links stop while the window their libraries post to still
    // exists.
    if (mouse_ != nullptr) {
        mouse_->shutdown();
    }
    page_.reset();
    dpiDisplay_.reset();
    hookLibrary_.unload();
}

void CMainWnd::setup() {
    for (const auto& [button, nameKey] :
         {std::pair{"exit_btn", "a11y_close_text"}, std::pair{"min_btn", "a11y_minimise_text"}}) {
        controls()->onClick(button, [this, button] { logic_.onClick(button); });
        if (QWidget* w = control(button)) {
            w->setAccessibleName(language_.text(QString::fromUtf8(nameKey)));
        }
    }
    const QIcon icon = productIcon();
    setWindowIcon(icon);
    const QString name = language_.text(QStringLiteral("mouse_name_text"));
    setWindowTitle(name);
    if (auto* art = control<QLabel>("no_device_art")) {
        art->setPixmap(icon.pixmap(96, 96));
    }
}

void CMainWnd::onDeferredPartsBuilt() {
    // The settings page binds its controls and starts the device link, then
    // the profiles are shown.
    if (mouse_ != nullptr) {
        MouseLink& link = mouse_->session().link();
        connect(&libraryMessages_, &LibraryMessages::deviceMessage, this,
                [&link](const DeviceMessage& m) { link.onDeviceMessage(m); });
    }
    if (page_) {
        page_->setMainWindowParts(&hookLibrary_.functions(), &libraryMessages_,
                                  [this](const MenuCommand& c) { postMenuCommand(c); });
        page_->attach(*this, loader_, programFolder(), &libraryMessages_,
                      mouse_ != nullptr && mouse_->probeBle());
    }
    if (mouse_ != nullptr) {
        mouse_->watchBle();
    }
    if (page_) {
        page_->loadProfiles();
    }
    // The tray icon (which talks to the desktop over D-Bus) and "Hook.so"
    // (which brings the X libraries) follow as soon as the event loop runs.
    QTimer::singleShot(0, this, [this] {
        tray_ = std::make_unique<TrayIcon>(*this, windowIcon(), windowTitle());
        hookLibrary_.load(loader_, programFolder());
    });
}

void CMainWnd::showThenBuildTheRest() {
    show();
    if (!deferredPartsPending()) {
        return;
    }
    // The rest is built once the first frame is on screen (the window's first
    // expose), or after a short while on a platform that never exposes it.
    auto* firstFrame = new FirstFrameWatch(this);
    if (QWindow* handle = windowHandle()) {
        handle->installEventFilter(firstFrame);
    }
    QTimer::singleShot(kFirstFrameWaitMs, firstFrame, [firstFrame] { firstFrame->done(); });
}

void CMainWnd::closeEvent(QCloseEvent* event) {
    // Closing the window only puts it away; the tray menu ends the program.
    event->ignore();
    if (!quitting_) {
        logic_.onClick("exit_btn");
    }
}

void CMainWnd::postMenuCommand(const MenuCommand& command) {
    const std::uintptr_t id = nextMenuCommand_++;
    menuCommands_.emplace(id, command);
    postMessage(msg::kMenuClick, id, 0);
}

bool CMainWnd::handleCustomMessage(std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
    if (message == msg::kMenuClick) {
        const auto it = menuCommands_.find(wParam);
        if (it == menuCommands_.end()) {
            return logic_.handleMessage(message, 0, lParam, nullptr);
        }
        const MenuCommand command = std::move(it->second);
        menuCommands_.erase(it);
        return logic_.handleMessage(message, wParam, lParam, &command);
    }
    return logic_.handleMessage(message, wParam, lParam);
}

void CMainWnd::showWindow() {
    show();
}
void CMainWnd::hideWindow() {
    hide();
}
void CMainWnd::minimizeWindow() {
    showMinimized();
}
void CMainWnd::restoreWindow() {
    showNormal();
}
void CMainWnd::bringToFront() {
    debug::write("main window to the front\n");
    raise();
    activateWindow();
}
bool CMainWnd::windowShown() const {
    return isVisible();
}
bool CMainWnd::windowMinimized() const {
    return isMinimized();
}
bool CMainWnd::hasSystemTray() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void CMainWnd::selectDeviceTab(int item) {
    auto* tabs = control<QStackedWidget>("device_tab_switch");
    if (tabs == nullptr) {
        return;
    }
    // Item -1 shows the last page, the one for "no mouse".
    tabs->setCurrentIndex(item >= 0 ? item : tabs->count() - 1);
}

void CMainWnd::runNoDeviceMessage() {
    debug::write("no mouse: showing the message\n");
    CMsgWnd::ask(this, &language_, "no_device_text");
}

void CMainWnd::openTrayMenu() {
    trayMenu_ = std::make_unique<PopupMenu>();
    trayMenu_->load(resourceFolder() + trayMenuFile_, language_,
                    [this](const MenuCommand& command) { postMenuCommand(command); });
    if (auto* autostart = trayMenu_->menu().findChild<QAction*>(QStringLiteral("autostart"))) {
        PosixFileSystem fs;
        autostart->setChecked(autostartEnabled(fs, processEnvironment()));
    }
    trayMenu_->popup(QCursor::pos() - QPoint(0, kTrayMenuLift));
}

void CMainWnd::showDpiDisplay(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (dpiDisplay_) {
        dpiDisplay_->setText(shown);
        return;
    }
    dpiDisplay_ = std::make_unique<CDPIMsg>(&language_);
    dpiDisplay_->setText(shown);
    dpiDisplay_->create(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                     Qt::WindowDoesNotAcceptFocus);
    dpiDisplay_->show();
}

void CMainWnd::closeDpiDisplay() {
    dpiDisplay_.reset();
}

void CMainWnd::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    postMessage(message, wParam, lParam);
}

void CMainWnd::toggleStartWithDesktop() {
    PosixFileSystem fs;
    const Environment env = processEnvironment();
    const bool on = !autostartEnabled(fs, env);
    if (!setAutostart(fs, env, on, programFolder() + "tvq-config")) {
        CMsgWnd::ask(this, &language_, "autostart_failed_text");
    }
}

void CMainWnd::quit() {
    quitting_ = true;
    dpiDisplay_.reset();
    hookLibrary_.unload();
    hide();
    QCoreApplication::exit(0);
}

}  // namespace tvq
