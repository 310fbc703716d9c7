// The base of the program's windows that are not dialogs (the main window
// and the DPI display), on Qt Widgets.
//
// A window has a class name, a layout file under "res/" and a set-up that
// binds its controls by name through its ControlBinder.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "toolkit/control_binder.h"
#include "toolkit/layout.h"

namespace tvq {

class LanguageManager;

class WindowBase : public QWidget {
  public:
    WindowBase(QString className, QString layoutFile, const LanguageManager* language);
    ~WindowBase() override;

    // Loads the layout (a missing or malformed file leaves the window without
    // controls), shows language texts and runs setup(). With `deferParts`
    // the layout's deferred widgets wait for buildDeferredParts().
    void create(QWidget* owner = nullptr, Qt::WindowFlags flags = Qt::Window,
                bool deferParts = false);
    // Builds the deferred widgets, then runs onDeferredPartsBuilt(). Parts
    // deferred within them are built by the next call, which runs
    // onLaterPartsBuilt(). Without parts waiting, does nothing.
    void buildDeferredParts();
    bool deferredPartsPending() const { return layout_ && layout_->hasDeferred(); }

    template <class T = QWidget>
    T* control(const QString& name) const {
        return controls_ ? controls_->find<T>(name) : nullptr;
    }
    // Null before create().
    ControlBinder* controls() const { return controls_.get(); }

    void centerWindow();

  protected:
    virtual void setup() {}
    // Every widget of the layout exists: after setup(), or after
    // buildDeferredParts() when the window was created with deferred parts;
    // never when the layout could not be read.
    virtual void onDeferredPartsBuilt() {}
    // A deferred part is built, before it is put in its place.
    virtual void preparePart(QWidget* /*part*/) {}
    // The parts deferred within the deferred parts are built too.
    virtual void onLaterPartsBuilt() {}

  private:
    QString className_;
    QString layoutFile_;
    const LanguageManager* language_;
    std::unique_ptr<LoadedLayout> layout_;
    std::unique_ptr<ControlBinder> controls_;
    bool firstPartsBuilt_ = false;
};

}  // namespace tvq
