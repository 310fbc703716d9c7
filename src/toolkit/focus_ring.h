// The ring around the control that has the keyboard's focus. Most of the
// program's controls have no focused look of their own; the ring is drawn
// over the window instead, whatever the control,
// 2 px wide in the scheme's "focus" colour (3:1 and more against every
// surface of both schemes). It shows when the focus came from the keyboard
// (Tab, a shortcut, a window or dialog opening) and hides when a click
// moved it, as desktops do.
#pragma once

#include <QPointer>
#include <QWidget>

namespace tvq {

class FocusRing final : public QWidget {
  public:
    static constexpr int kWidth = 2;
    static constexpr int kGap = 1;  // between the control and the ring

    // Watches the application's focus from now on; once per application.
    static void install();

    // The control the ring is around, or null while it is hidden.
    static QWidget* around();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    class Watch;
    explicit FocusRing(QWidget* parent);
};

}  // namespace tvq
