#include "toolkit/window_base.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSignalBlocker>
#include <QUiLoader>
#include <QVBoxLayout>

#include "app/window_messages.h"
#include "base/debug.h"
#include "platform/program_folder.h"
#include "toolkit/language.h"

namespace tvq {
namespace {

// A posted message as a Qt event.
class MessageEvent final : public QEvent {
  public:
    static QEvent::Type kind() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    MessageEvent(std::uint32_t m, std::uintptr_t w, std::intptr_t l)
        : QEvent(kind()), message(m), wParam(w), lParam(l) {}
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

QString virtualWindowOf(const QWidget* w) {
    for (; w != nullptr; w = w->parentWidget()) {
        const QVariant name = w->property("virtualWindow");
        if (name.isValid()) {
            return name.toString();
        }
    }
    return {};
}

}  // namespace

WindowImplBase::WindowImplBase(QString className, QString layoutFile,
                               const LanguageManager* language)
    : MessageWindow{&WindowImplBase::postThunk},
      className_(std::move(className)),
      layoutFile_(std::move(layoutFile)),
      language_(language) {
    setObjectName(className_);
}

WindowImplBase::~WindowImplBase() {
    timers_.clear();
    controlTimers_.clear();
    if (modalLoop_) {
        modalLoop_->quit();
    }
}

QString WindowImplBase::resourceFolder() {
    return QString::fromStdString(programFolder()) + "res/";
}

void WindowImplBase::create(QWidget* owner, Qt::WindowFlags flags) {
    setParent(owner, flags);
    load();
    wireNotifications();
    setup();
}

void WindowImplBase::load() {
    QFile file(resourceFolder() + layoutFile_);
    if (!file.open(QIODevice::ReadOnly)) {
        debug::write("no layout " + (resourceFolder() + layoutFile_).toStdString());
        return;
    }
    // Layouts use standard widgets only. The loader would otherwise load every
    // Designer plugin it finds when it is built (QtQuick's among them, which
    // costs more than the whole layout), so it is built with no plugin folders.
    const QStringList libraryPaths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
    QUiLoader loader;
    QCoreApplication::setLibraryPaths(libraryPaths);
    loader.setWorkingDirectory(QDir(resourceFolder()));
    content_ = loader.load(&file, this);
    if (content_ == nullptr) {
        debug::write("malformed layout " + layoutFile_.toStdString() + ": " +
                     loader.errorString().toStdString());
        return;
    }
    auto* box = new QVBoxLayout(this);  // owned by this window
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(content_);
    resize(content_->size());
    if (!content_->windowTitle().isEmpty()) {
        setWindowTitle(content_->windowTitle());
    }
    if (!content_->styleSheet().isEmpty()) {
        setStyleSheet(content_->styleSheet());
    }
    // Language-resolved controls carry their text key as "textKey".
    if (language_ != nullptr) {
        for (QWidget* w : content_->findChildren<QWidget*>()) {
            // A combo whose "itemTextKeys" is set names each item by key.
            if (auto* combo = qobject_cast<QComboBox*>(w);
                combo != nullptr && combo->property("itemTextKeys").toBool()) {
                for (int i = 0; i < combo->count(); ++i) {
                    combo->setItemText(i, language_->text(combo->itemText(i)));
                }
            }
            const QVariant key = w->property("textKey");
            if (!key.isValid()) {
                continue;
            }
            const QString text = language_->text(key.toString());
            if (auto* label = qobject_cast<QLabel*>(w)) {
                label->setText(text);
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                button->setText(text);
            }
        }
    }
}

void WindowImplBase::wireNotifications() {
    if (content_ == nullptr) {
        return;
    }
    const auto send = [this](const QString& type, QWidget* sender, std::uintptr_t wParam = 0) {
        dispatch({type, sender, wParam});
    };
    // Check boxes report a user's click as "checkclick"; options report being
    // selected as "selectchanged" (not being deselected by another option);
    // combos and lists carry the new item in wParam.
    for (QWidget* w : content_->findChildren<QWidget*>()) {
        if (auto* check = qobject_cast<QCheckBox*>(w)) {
            connect(check, &QAbstractButton::clicked, this,
                    [send, check] { send("checkclick", check); });
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            connect(button, &QAbstractButton::clicked, this,
                    [send, button] { send("click", button); });
            if (button->isCheckable()) {
                connect(button, &QAbstractButton::toggled, this, [send, button](bool on) {
                    if (on || !button->autoExclusive()) {
                        send("selectchanged", button);
                    }
                });
            }
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            connect(combo, &QComboBox::activated, this, [send, combo](int index) {
                send("itemselect", combo, static_cast<std::uintptr_t>(index));
            });
        } else if (auto* list = qobject_cast<QListWidget*>(w)) {
            connect(list, &QListWidget::currentRowChanged, this, [send, list](int row) {
                if (row >= 0) {
                    send("itemselect", list, static_cast<std::uintptr_t>(row));
                }
            });
        } else if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
            connect(slider, &QAbstractSlider::valueChanged, this,
                    [send, slider] { send("valuechanged", slider); });
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            connect(edit, &QLineEdit::textChanged, this,
                    [send, edit] { send("textchanged", edit); });
        }
        w->installEventFilter(this);
    }
}

bool WindowImplBase::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w != nullptr && w != this) {
        switch (event->type()) {
            case QEvent::FocusIn:
                dispatch({"setfocus", w});
                break;
            case QEvent::FocusOut:
                dispatch({"killfocus", w});
                break;
            case QEvent::Enter:
                dispatch({"mouseenter", w});
                break;
            case QEvent::Leave:
                dispatch({"mouseleave", w});
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WindowImplBase::dispatch(const Notification& n) {
    const QString virtualWindow = virtualWindowOf(n.sender);
    if (!virtualWindow.isEmpty()) {
        const auto it = virtualWindows_.constFind(virtualWindow);
        if (it != virtualWindows_.constEnd()) {
            for (const NotifyEntry& entry : *it) {
                if (entry.type == n.type) {
                    entry.handler(n);
                    break;
                }
            }
        }
        return;
    }
    if (n.type == "click") {
        onClick(n);
    }
    notify(n);
}

void WindowImplBase::registerVirtualWindow(const QString& name, NotifyTable table) {
    virtualWindows_.insert(name, std::move(table));
}

void WindowImplBase::unregisterVirtualWindow(const QString& name) {
    virtualWindows_.remove(name);
}

int WindowImplBase::showModal() {
    setWindowModality(Qt::ApplicationModal);
    result_ = 0;
    show();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec();
    modalLoop_ = nullptr;
    hide();
    return result_;
}

void WindowImplBase::close(int result) {
    result_ = result;
    if (modalLoop_) {
        modalLoop_->quit();
    } else {
        hide();
        onFinalMessage();
    }
}

void WindowImplBase::closeEvent(QCloseEvent* event) {
    event->accept();
    close(0);
}

void WindowImplBase::centerWindow() {
    const QWidget* over = parentWidget() != nullptr && parentWidget()->isVisible()
                              ? parentWidget()->window()
                              : nullptr;
    const QRect area = over != nullptr       ? over->frameGeometry()
                       : screen() != nullptr ? screen()->availableGeometry()
                                             : QRect(0, 0, 800, 600);
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void WindowImplBase::setTimer(int id, int ms) {
    auto& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        connect(timer.get(), &QTimer::timeout, this,
                [this, id] { sendMessage(msg::kTimer, static_cast<std::uintptr_t>(id), 0); });
    }
    timer->start(ms);
}

void WindowImplBase::killTimer(int id) {
    const auto it = timers_.find(id);
    if (it != timers_.end()) {
        it->second->stop();
    }
}

bool WindowImplBase::timerActive(int id) const {
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

void WindowImplBase::setControlTimer(QWidget* control, int id, int ms) {
    if (control == nullptr) {
        return;
    }
    auto& timer = controlTimers_[{control, id}];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        connect(timer.get(), &QTimer::timeout, this, [this, control, id] {
            dispatch({"timer", control, static_cast<std::uintptr_t>(id)});
        });
        // A control that goes away takes its timers with it.
        connect(control, &QObject::destroyed, this, [this, control, id] {
            controlTimers_.erase({control, id});
        });
    }
    timer->start(ms);
}

void WindowImplBase::killControlTimer(QWidget* control, int id) {
    const auto it = controlTimers_.find({control, id});
    if (it != controlTimers_.end()) {
        it->second->stop();
    }
}

void WindowImplBase::postMessage(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    // Qt takes the event and deletes it once delivered.
    QCoreApplication::postEvent(this, new MessageEvent(message, wParam, lParam));
}

bool WindowImplBase::sendMessage(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    return handleCustomMessage(message, wParam, lParam);
}

void WindowImplBase::customEvent(QEvent* event) {
    if (event->type() == MessageEvent::kind()) {
        const auto* m = static_cast<MessageEvent*>(event);
        handleCustomMessage(m->message, m->wParam, m->lParam);
        return;
    }
    QWidget::customEvent(event);
}

void WindowImplBase::postThunk(MessageWindow* self, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
    static_cast<WindowImplBase*>(self)->postMessage(message, wParam, lParam);
}

void WindowImplBase::setCheckedQuietly(QAbstractButton* button, bool checked) {
    if (button != nullptr) {
        const QSignalBlocker blocker(button);
        button->setChecked(checked);
    }
}

void WindowImplBase::selectQuietly(QComboBox* combo, int index) {
    if (combo != nullptr) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(index);
    }
}

void WindowImplBase::selectRowQuietly(QListWidget* list, int row) {
    if (list != nullptr) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(row);
    }
}

void WindowImplBase::setValueQuietly(QAbstractSlider* slider, int value) {
    if (slider != nullptr) {
        const QSignalBlocker blocker(slider);
        slider->setValue(value);
    }
}

}  // namespace tvq
