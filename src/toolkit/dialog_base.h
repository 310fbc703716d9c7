// The base of the program's modal dialogs, on QDialog: transient for and
// modal over the main window, with a layout under "res/" and controls bound
// by name. A dialog ends with 1 (confirmed) or 0 (cancelled, Escape, or the
// window's close button).
#pragma once

#include <QDialog>
#include <QPoint>
#include <QScreen>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "toolkit/control_binder.h"
#include "toolkit/layout.h"

namespace tvq {

class LanguageManager;

class DialogBase : public QDialog {
  public:
    // `owner` is the window the dialog belongs to (the main window); null
    // gives a dialog of its own.
    DialogBase(QString className, QString layoutFile, const LanguageManager* language,
               QWidget* owner);
    ~DialogBase() override;

    // Loads the layout, shows language texts and runs setup(). A missing or
    // malformed layout leaves the dialog without controls.
    void create();

    // Shows the dialog modally and returns 1 or 0.
    int runModal();
    // Ends it with `result` (1 confirm, 0 cancel).
    void finish(int result) { done(result != 0 ? Accepted : Rejected); }

    // Centred on the owner (or the screen without one); or with its top-left
    // corner at `screenPoint`, moved so that it stays inside that screen.
    // A dialog taller or wider than the screen's free area scrolls inside.
    void placeCentred();
    void placeAt(QPoint screenPoint);
    // The top-left corner that keeps a `size` box at `wanted` inside `area`.
    static QPoint keptInside(QPoint wanted, QSize size, const QRect& area);

    template <class T = QWidget>
    T* control(const QString& name) const {
        return controls_ ? controls_->find<T>(name) : nullptr;
    }
    ControlBinder* controls() const { return controls_.get(); }

    const LanguageManager* language() const { return language_; }

  protected:
    virtual void setup() {}
    // The screen's free width is `room`: a dialog that can be laid out
    // narrower (its columns one above the other) is so laid out here, before
    // it is measured and placed.
    virtual void fitWidth(int /*room*/) {}

  private:
    // Room kept on the screen for the window manager's title bar.
    static constexpr int kFrameAllowance = 48;
    // No larger than the free area of `screen`, scrolling inside if need be.
    void fitInside(const QScreen& screen);
    // Puts the layout in a scroll area, for a screen too small for it.
    void scrollInside();

    QString className_;
    QString layoutFile_;
    const LanguageManager* language_;
    std::unique_ptr<LoadedLayout> layout_;
    std::unique_ptr<ControlBinder> controls_;
};

// The platform's file dialog (or the desktop's, through its portal) for one
// kind of file: `description` with `patterns` ("*.pro *.PRO"). Saving adds
// `suffix` to a name typed without one and asks before overwriting. The
// path chosen, or nothing when cancelled.
std::optional<std::string> chooseFile(QWidget* owner, const QString& description,
                                      const QString& patterns, const QString& suffix,
                                      const QString& folder, bool forSaving,
                                      const QString& proposedName = {});

}  // namespace tvq
