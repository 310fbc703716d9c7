// The window base of the program's windows, on Qt Widgets.
//
// A window has a class name, a layout file under "res/" beside the program
// (a Qt Designer file, loaded at run time), and a set-up that binds its
// controls by name. Widgets' signals become notifications ("click",
// "selectchanged", "itemselect", ...) with the sending control. Controls
// inside a container whose dynamic property "virtualWindow" names a
// registered virtual window notify that window's table instead.
//
// Every window is also a MessageWindow: libraries post (message, wParam,
// lParam) to it from any thread, and the window handles them on its own.
#pragma once

#include <QEventLoop>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "tvq/message_window.h"

class QAbstractButton;
class QComboBox;
class QListWidget;
class QAbstractSlider;

namespace tvq {

class LanguageManager;

struct Notification {
    QString type;
    QWidget* sender = nullptr;
    // The timer id of a "timer" notification; the new item of an "itemselect".
    std::uintptr_t wParam = 0;
    QString senderName() const { return sender != nullptr ? sender->objectName() : QString(); }
};

struct NotifyEntry {
    QString type;
    std::function<void(const Notification&)> handler;
};
using NotifyTable = std::vector<NotifyEntry>;

class WindowImplBase : public QWidget, public MessageWindow {
  public:
    WindowImplBase(QString className, QString layoutFile, const LanguageManager* language);
    ~WindowImplBase() override;

    const QString& windowClassName() const { return className_; }
    const QString& layoutFileName() const { return layoutFile_; }

    // Loads the layout (a missing or malformed file leaves the window without
    // controls), shows language texts, wires notifications and runs setup().
    void create(QWidget* owner = nullptr, Qt::WindowFlags flags = Qt::Window);

    template <class T = QWidget>
    T* control(const QString& name) const {
        return content_ != nullptr ? content_->findChild<T*>(name) : nullptr;
    }

    // Runs the window modally; the result is what close() was given (0 when
    // the window was closed otherwise).
    int showModal();
    void close(int result);
    void centerWindow();

    // Window timers by id; each expiry arrives as WM_TIMER (275) with the id.
    void setTimer(int id, int ms);
    void killTimer(int id);
    bool timerActive(int id) const;

    // Control timers: each expiry is a "timer" notification from `control`
    // with the id in wParam, dispatched like the control's other
    // notifications.
    void setControlTimer(QWidget* control, int id, int ms);
    void killControlTimer(QWidget* control, int id);

    // Messages to this window: post from any thread, send on its own.
    void postMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    bool sendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    // Virtual windows: a non-window object's notification table; the first
    // entry whose type matches acts.
    void registerVirtualWindow(const QString& name, NotifyTable table);
    void unregisterVirtualWindow(const QString& name);

    // Changing a control without raising its notification.
    static void setCheckedQuietly(QAbstractButton* button, bool checked);
    static void selectQuietly(QComboBox* combo, int index);
    static void selectRowQuietly(QListWidget* list, int row);
    static void setValueQuietly(QAbstractSlider* slider, int value);

    // "<program folder>res/".
    static QString resourceFolder();

  protected:
    virtual void setup() {}
    virtual void notify(const Notification&) {}
    virtual void onClick(const Notification&) {}
    // A message for this window; true when handled.
    virtual bool handleCustomMessage(std::uint32_t, std::uintptr_t, std::intptr_t) { return false; }
    // The window is gone for good.
    virtual void onFinalMessage() {}

    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void load();
    void wireNotifications();
    void dispatch(const Notification& n);
    static void postThunk(MessageWindow* self, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam);

    QString className_;
    QString layoutFile_;
    const LanguageManager* language_;
    QWidget* content_ = nullptr;  // the loaded layout, a child of this window
    std::map<int, std::unique_ptr<QTimer>> timers_;
    std::map<std::pair<QWidget*, int>, std::unique_ptr<QTimer>> controlTimers_;
    QHash<QString, NotifyTable> virtualWindows_;
    QPointer<QEventLoop> modalLoop_;
    int result_ = 0;
};

}  // namespace tvq
