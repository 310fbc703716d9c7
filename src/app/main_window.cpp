#include "app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
#include <QMenu>
#include <QSessionManager>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "app/appearance.h"
#include "app/desktop_presence.h"
#include "app/page_reflow.h"
#include "base/debug.h"
#include "base/product.h"
#include "desktop/tray_host.h"
#include "dialogs/about_dialog.h"
#include "dialogs/dpi_display.h"
#include "dialogs/help_dialog.h"
#include "dialogs/message_dialog.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "program/autostart.h"
#include "program/language_choice.h"
#include "toolkit/language.h"
#include "toolkit/window_style.h"

namespace tvq {
namespace {

constexpr int kTrayMenuLift = 50;
constexpr int kFirstFrameWaitMs = 500;

}  // namespace

// Builds the main window's deferred parts once, after its first expose.
class MainWindow::FirstFrameWatch final : public QObject {
  public:
    explicit FirstFrameWatch(MainWindow* window) : QObject(window), window_(window) {}
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
    MainWindow* window_;
    bool done_ = false;
};

// Runs its work once the settings page has been drawn: on the window's next
// update request, after the paint it brings. A window not shown (started in
// the tray) is never painted, so the work runs at once; a platform that
// never paints it still gets it after a short while.
class MainWindow::AfterPagePainted final : public QObject {
  public:
    AfterPagePainted(MainWindow* window, std::function<void()> then)
        : QObject(window), then_(std::move(then)) {
        if (!window->isVisible() || window->isMinimized()) {
            QTimer::singleShot(0, this, [this] { run(); });
            return;
        }
        // Widgets repaint on an update request to their top-level widget.
        window->installEventFilter(this);
        window->update();
        QTimer::singleShot(kFirstFrameWaitMs, this, [this] { run(); });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] { run(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    void run() {
        if (then_) {
            std::exchange(then_, nullptr)();
            deleteLater();
        }
    }

    std::function<void()> then_;
};

// The desktop session's end. The session manager first asks for unsaved
// work: an edit still settling is sent and saved at once. Then it asks the
// program to quit, which the window would otherwise refuse as it refuses a
// close (the program stays in the tray): it ends as by the menu's "exit".
class MainWindow::SessionEnd final : public QObject {
  public:
    explicit SessionEnd(MainWindow* window) : QObject(window), window_(window) {
        qApp->installEventFilter(this);
        connect(qApp, &QGuiApplication::commitDataRequest, this, [window](QSessionManager&) {
            if (window->mouse_ != nullptr) {
                window->mouse_->session().settleNow();
            }
        });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit && !window_->quitting_) {
            debug::write("the session ends\n");
            window_->logic().exitRequested();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    MainWindow* window_;
};

// The on-screen DPI display shows each DPI stage the mouse switches to.
class MainWindow::DpiWatch final : public MouseStateObserver {
  public:
    DpiWatch(MainWindow& window, MouseState& state) : window_(window), state_(state) {
        state_.addObserver(this);
    }
    ~DpiWatch() override { state_.removeObserver(this); }
    DpiWatch(const DpiWatch&) = delete;
    DpiWatch& operator=(const DpiWatch&) = delete;

    void dpiStageSwitched(int /*stage*/, std::int32_t dpiValue) override {
        window_.logic().dpiStageShown(dpiValue);
    }

  private:
    MainWindow& window_;
    MouseState& state_;
};

MainWindow::MainWindow(const LanguageManager& language, LibraryLoader& loader,
                       DesktopSession* mouse, std::unique_ptr<SettingsPageView> page)
    : WindowBase(kProductName, "main.xml", &language),
      language_(language),
      loader_(loader),
      mouse_(mouse),
      page_(std::move(page)),
      logic_(*this) {
    if (mouse_ != nullptr) {
        // Before the first frame, so that it is drawn in the scheme it keeps.
        appearance_ = std::make_unique<Appearance>(mouse_->settings());
    }
    new SessionEnd(this);
    // F1 opens the user guide, as the program menu's "Help" does.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { showHelp(); });
    // Ctrl+Q ends the program from the window, as the menus' "Quit" does.
    auto* quit = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Q")), this);
    connect(quit, &QShortcut::activated, this, [this] { logic_.exitRequested(); });
    dpiDisplayHide_.setSingleShot(true);
    connect(&dpiDisplayHide_, &QTimer::timeout, this, [this] { closeDpiDisplay(); });
}

MainWindow::~MainWindow() {
    // The mouse's links stop while the window their libraries post to still
    // exists.
    if (mouse_ != nullptr) {
        mouse_->shutdown();
    }
    presence_.reset();  // it follows the page
    dpiWatch_.reset();
    page_.reset();
    dpiDisplay_.reset();
    hookLibrary_.unload();
}

void MainWindow::setup() {
    // The window manager draws the frame and its buttons; the header keeps
    // the product's name and the program menu.
    if (auto* root = findChild<QWidget*>(QStringLiteral("main_root"))) {
        dressWindow(root);
    }
    controls()->onClick("main_menu_btn", [this] { openProgramMenu(); });
    const QString name = language_.text(QStringLiteral("mouse_name_text"));
    setWindowTitle(name);
}

void MainWindow::preparePart(QWidget* part) {
    // Dressed before it is put in: the page is shown as it goes in, and its
    // sizes are those of its look.
    dressPart(part);
}

void MainWindow::onDeferredPartsBuilt() {
    if (auto* devicePage = findChild<QWidget*>(QStringLiteral("device_page"))) {
        reflow_ = new PageReflow(devicePage);
    }
    // The settings page binds its controls; the session starts the mouse's
    // links and reads the stores; the tray, the notifications and the
    // session bus follow them; then the page shows the profiles.
    if (page_) {
        page_->attach(*this, &libraryMessages_, &hookLibrary_);
    }
    std::optional<ProfileStore::LoadReport> loaded;
    if (mouse_ != nullptr) {
        MouseLink& link = mouse_->session().link();
        connect(&libraryMessages_, &LibraryMessages::deviceMessage, this,
                [&link](const DeviceMessage& m) { link.onDeviceMessage(m); });
        dpiWatch_ = std::make_unique<DpiWatch>(*this, link.state());
        loaded = mouse_->start(loader_, programFolder(), &libraryMessages_);
        if (!link.librariesLoaded()) {
            MessageDialog::tell(this, &language_, QStringLiteral("libraries_unusable_text"));
        }
        if (page_) {
            presence_ =
                std::make_unique<DesktopPresence>(*this, language_, *mouse_, page_->logic());
        }
    }
    if (page_) {
        if (loaded) {
            page_->logic().showProfiles(*loaded);
        }
        if (QWidget* list = page_->boundControl("ms_1_list_profile")) {
            list->setFocus();  // the keyboard starts in the profiles
        }
    }
    // Without the mouse's session there is nothing to set outside the window.
    if (presence_) {
        controls()->onClick("battery_alerts_btn", [this] { openBatteryAlerts(); });
        controls()->onClick("profile_apps_btn", [this] { presence_->openApplicationRules(); });
    } else {
        for (const char* button : {"battery_alerts_btn", "profile_apps_btn"}) {
            if (QWidget* w = control(button)) {
                w->hide();
            }
        }
    }
    debug::write(std::string("settings ready, window ") +
                 (isVisible() && !isMinimized() ? "shown" : "in the tray or minimised") + "\n");
    // The page is drawn first. Then, with the event loop free again, the
    // file benchmarks wait for (TVQ_READY_FILE) is written; the settings
    // below the first view are built; and the tray icon (which talks to the
    // desktop over D-Bus) and "Hook.so" (which brings the X libraries)
    // follow.
    new AfterPagePainted(this, [this] {
        if (const QByteArray ready = qgetenv("TVQ_READY_FILE"); !ready.isEmpty()) {
            if (QFile file(QString::fromLocal8Bit(ready)); !file.open(QIODevice::WriteOnly)) {
                debug::write("cannot write " + ready.toStdString() + "\n");
            }
        }
        QTimer::singleShot(0, this, [this] { buildDeferredParts(); });
        QTimer::singleShot(0, this, [this] { startDesktopIntegrations(); });
    });
}

void MainWindow::onLaterPartsBuilt() {
    if (page_) {
        page_->attachLaterParts();
    }
}

void MainWindow::startDesktopIntegrations() {
    setWindowIcon(productIcon());
    if (appearance_) {
        appearance_->followDesktop(QDBusConnection::sessionBus());
    }
    if (presence_) {
        presence_->joinSessionBus();
    }
    whenTrayKnown([this] { showTrayIcon(); });
    hookLibrary_.load(loader_, programFolder());
    if (presence_) {
        QTimer::singleShot(0, this, [this] { presence_->tellSettingsProblem(); });
    }
}

void MainWindow::openBatteryAlerts() {
    if (presence_) {
        presence_->openBatteryAlerts();
    }
}

void MainWindow::whenTrayKnown(std::function<void()> then) {
    if (trayUsable_) {
        then();
        return;
    }
    waitingForTray_.push_back(std::move(then));
    if (waitingForTray_.size() > 1) {
        return;  // already asked
    }
    TrayHostCheck::ask(QDBusConnection::sessionBus(), this, [this](bool usable) {
        trayUsable_ = usable && QSystemTrayIcon::isSystemTrayAvailable();
        for (const auto& waiting : std::exchange(waitingForTray_, {})) {
            waiting();
        }
    });
}

void MainWindow::showTrayIcon() {
    if (!trayUsable_.value_or(false)) {
        return;
    }
    tray_ = std::make_unique<QSystemTrayIcon>(windowIcon());
    tray_->setToolTip(windowTitle());
    if (presence_) {
        presence_->showIn(tray_.get());
    }
    connect(tray_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    logic_.trayClicked(TrayClick::kPrimary);
                } else if (reason == QSystemTrayIcon::Context) {
                    logic_.trayClicked(TrayClick::kContext);
                }
            });
    tray_->show();
}

void MainWindow::showThenBuildTheRest() {
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

void MainWindow::buildInTheTray() {
    whenTrayKnown([this] {
        if (!*trayUsable_) {
            debug::write("no tray on this desktop: the window starts minimised\n");
            showMinimized();
        }
    });
    if (deferredPartsPending()) {
        QTimer::singleShot(0, this, [this] { buildDeferredParts(); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the window only puts it away; the tray menu ends the program.
    event->ignore();
    if (!quitting_) {
        logic_.closeRequested();
        if (presence_ && !isVisible()) {
            presence_->tellClosedOnce(trayUsable_.value_or(false));
        }
    }
}

void MainWindow::showWindow() {
    show();
}
void MainWindow::hideWindow() {
    hide();
}
void MainWindow::restoreWindow() {
    showNormal();
}
void MainWindow::bringToFront() {
    debug::write("main window to the front\n");
    raise();
    activateWindow();
}
bool MainWindow::windowShown() const {
    return isVisible();
}
bool MainWindow::windowMinimized() const {
    return isMinimized();
}

void MainWindow::openTrayMenu() {
    trayMenu_ = std::make_unique<LoadedMenu>();
    trayMenu_->load(resourceFolder() + trayMenuFile_, language_,
                    [this](const MenuCommand& command) { logic_.trayMenuPicked(command.name); });
    if (auto* autostart = trayMenu_->menu().findChild<QAction*>(QStringLiteral("autostart"))) {
        PosixFileSystem fs;
        autostart->setChecked(autostartEnabled(fs, processEnvironment()));
    }
    if (presence_) {
        presence_->addProfilesTo(trayMenu_->menu());
    }
    trayMenu_->popup(QCursor::pos() - QPoint(0, kTrayMenuLift));
}

void MainWindow::openProgramMenu() {
    programMenu_ = std::make_unique<LoadedMenu>();
    programMenu_->load(
        resourceFolder() + "programmenu.xml", language_, [this](const MenuCommand& command) {
            if (command.name == "start_hidden") {
                toggleStartHidden();
            } else if (command.name == "help") {
                showHelp();
            } else if (command.name == "automatic_switching") {
                if (presence_) {
                    presence_->setAutomaticSwitching(!presence_->automaticSwitching());
                }
            } else if (!chooseAppearance(command.name)) {
                logic_.trayMenuPicked(command.name);
            }
        });
    QMenu& menu = programMenu_->menu();
    if (auto* languages = menu.findChild<QMenu*>(QStringLiteral("language"))) {
        fillLanguageMenu(*languages);
    }
    if (auto* appearance = menu.findChild<QMenu*>(QStringLiteral("appearance"))) {
        appearance->menuAction()->setVisible(appearance_ != nullptr);
        for (const auto& [name, choice] : kAppearanceItems) {
            if (auto* item = appearance->findChild<QAction*>(QString::fromLatin1(name))) {
                item->setChecked(appearance_ && appearance_->choice() == choice);
            }
        }
    }
    PosixFileSystem fs;
    const bool autostart = autostartEnabled(fs, processEnvironment());
    if (auto* item = menu.findChild<QAction*>(QStringLiteral("autostart"))) {
        item->setChecked(autostart);
    }
    if (auto* item = menu.findChild<QAction*>(QStringLiteral("start_hidden"))) {
        item->setEnabled(autostart);
        item->setChecked(autostart && autostartHidden(fs, processEnvironment()));
    }
    if (auto* automatic = menu.findChild<QAction*>(QStringLiteral("automatic_switching"))) {
        automatic->setVisible(presence_ != nullptr);
        automatic->setChecked(presence_ && presence_->automaticSwitching());
    }
    if (!presence_) {
        if (auto* battery = menu.findChild<QAction*>(QStringLiteral("battery"))) {
            battery->setVisible(false);
        }
    }
    QWidget* button = control("main_menu_btn");
    menu.popup(button != nullptr ? button->mapToGlobal(QPoint(0, button->height()))
                                 : QCursor::pos());
}

void MainWindow::fillLanguageMenu(QMenu& menu) {
    // Each language by its own name, after the desktop's.
    menu.menuAction()->setVisible(mouse_ != nullptr);
    const std::string chosen = mouse_ != nullptr ? mouse_->settings().settings().language : "";
    std::vector<std::pair<std::string, QString>> items{{"en", QStringLiteral("English")}};
    for (const LanguageName& l : translations()) {
        items.emplace_back(l.code, QString::fromUtf8(l.name));
    }
    if (auto* system = menu.findChild<QAction*>(QStringLiteral("language_system"))) {
        system->setChecked(chosen.empty());
        connect(system, &QAction::triggered, this, [this] { chooseLanguage({}); });
    }
    for (const auto& [code, name] : items) {
        QAction* item = menu.addAction(name);
        item->setObjectName(QString::fromStdString("language_" + code));
        item->setCheckable(true);
        item->setChecked(code == chosen);
        if (QAction* system = menu.findChild<QAction*>(QStringLiteral("language_system"));
            system != nullptr && system->actionGroup() != nullptr) {
            system->actionGroup()->addAction(item);  // one language of many
        }
        connect(item, &QAction::triggered, this, [this, code = code] { chooseLanguage(code); });
    }
}

void MainWindow::chooseLanguage(const std::string& code) {
    ProgramSettings next = mouse_->settings().settings();
    if (next.language == code) {
        return;
    }
    next.language = code;
    if (!mouse_->settings().save(next)) {
        tellChoiceNotSaved();
        return;
    }
    MessageDialog::tell(this, &language_, QStringLiteral("language_next_start_text"));
}

void MainWindow::tellChoiceNotSaved() {
    MessageDialog::tell(this, &language_, QStringLiteral("choice_not_saved_text"),
                        {QString::fromStdString(mouse_->settings().path())});
}

bool MainWindow::chooseAppearance(std::string_view item) {
    for (const auto& [name, choice] : kAppearanceItems) {
        if (item == name) {
            if (appearance_ && !appearance_->choose(choice)) {
                tellChoiceNotSaved();
            }
            return true;
        }
    }
    return false;
}

void MainWindow::showAbout() {
    AboutDialog about(&language_, this);
    about.create();
    about.placeCentred();
    about.runModal();
}

void MainWindow::showHelp() {
    HelpDialog help(&language_, this);
    help.create();
    help.placeCentred();
    help.runModal();
}

void MainWindow::showDpiDisplay(const std::string& text, int hideAfterMs) {
    dpiDisplayHide_.start(hideAfterMs);
    const QString shown = QString::fromStdString(text);
    if (dpiDisplay_) {
        dpiDisplay_->setText(shown);
        return;
    }
    dpiDisplay_ = std::make_unique<DpiDisplay>(&language_);
    dpiDisplay_->setText(shown);
    // Never in the taskbar, never taking the focus. On X11 the window manager
    // is left out altogether; elsewhere a tool window is the nearest.
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                            Qt::WindowDoesNotAcceptFocus;
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
        flags |= Qt::BypassWindowManagerHint;
    }
    dpiDisplay_->create(nullptr, flags);
    dpiDisplay_->show();
}

void MainWindow::closeDpiDisplay() {
    dpiDisplayHide_.stop();
    dpiDisplay_.reset();
}

void MainWindow::toggleStartWithDesktop() {
    PosixFileSystem fs;
    const Environment env = processEnvironment();
    const bool on = !autostartEnabled(fs, env);
    if (!setAutostart(fs, env, on, programFolder() + "tvq-config", autostartHidden(fs, env))) {
        MessageDialog::tell(this, &language_, QStringLiteral("autostart_failed_text"));
    }
}

void MainWindow::toggleStartHidden() {
    PosixFileSystem fs;
    const Environment env = processEnvironment();
    if (autostartEnabled(fs, env) &&
        !setAutostart(fs, env, true, programFolder() + "tvq-config", !autostartHidden(fs, env))) {
        MessageDialog::tell(this, &language_, QStringLiteral("autostart_failed_text"));
    }
}

void MainWindow::quit() {
    quitting_ = true;
    closeDpiDisplay();
    hookLibrary_.unload();
    hide();
    QCoreApplication::exit(0);
}

}  // namespace tvq
