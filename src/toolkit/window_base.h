// The base of the program's windows that are not dialogs (the main window
// and the DPI display), on Qt Widgets.
//
// A window has a class name, a layout file under "res/" and a set-up that
// binds its controls by name through its ControlBinder. Its timers are its
// own: ids of different windows never meet. Messages posted to it (from any
// thread) are handled on its own thread by handleCustomMessage.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>

#include "toolkit/control_binder.h"
#include "toolkit/layout.h"

namespace tvq {

class LanguageManager;

class WindowImplBase : public QWidget {
  public:
    WindowImplBase(QString className, QString layoutFile, const LanguageManager* language);
    ~WindowImplBase() override;

    const QString& windowClassName() const { return className_; }
    const QString& layoutFileName() const { return layoutFile_; }

    // Loads the layout (a missing or malformed file leaves the window without
    // controls), shows language texts and runs setup(). With `deferParts`
    // the layout's deferred widgets wait for buildDeferredParts().
    void create(QWidget* owner = nullptr, Qt::WindowFlags flags = Qt::Window,
                bool deferParts = false);
    // Builds the deferred widgets, then runs onDeferredPartsBuilt(). Once.
    void buildDeferredParts();
    bool deferredPartsPending() const { return layout_ && layout_->hasDeferred(); }

    template <class T = QWidget>
    T* control(const QString& name) const {
        return controls_ ? controls_->find<T>(name) : nullptr;
    }
    // Null before create().
    ControlBinder* controls() const { return controls_.get(); }

    void centerWindow();

    // Window timers by id, this window's own; each expiry calls
    // onWindowTimer(id) until the timer is stopped.
    void startWindowTimer(int id, int ms);
    void stopWindowTimer(int id);
    bool windowTimerActive(int id) const;

    // Messages to this window: post from any thread, send on its own.
    void postMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    bool sendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  protected:
    virtual void setup() {}
    // A message for this window; true when handled.
    virtual bool handleCustomMessage(std::uint32_t, std::uintptr_t, std::intptr_t) { return false; }
    virtual void onWindowTimer(int) {}
    // Every widget of the layout exists: after setup(), or after
    // buildDeferredParts() when the window was created with deferred parts;
    // never when the layout could not be read.
    virtual void onDeferredPartsBuilt() {}

    void customEvent(QEvent* event) override;

  private:
    QString className_;
    QString layoutFile_;
    const LanguageManager* language_;
    std::unique_ptr<LoadedLayout> layout_;
    std::unique_ptr<ControlBinder> controls_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace tvq
