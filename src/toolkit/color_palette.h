// A free colour field: hue across and saturation down in a square, with the
// value (brightness) in a strip at its right. It keeps a selected colour,
// raises colorChanged while the user drags in it and colorChangedButtonUp
// when the button is released; a drag that leaves the field stays on its
// edge. The arrow keys move the selection; Page Up and Page Down change the
// value.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace tvq {

class ColorPalette final : public QWidget {
    Q_OBJECT

  public:
    explicit ColorPalette(QWidget* parent = nullptr);

    QColor selectedColor() const { return color_; }
    // Selects `color` without raising a notification.
    void setSelectedColor(const QColor& color);

    QSize sizeHint() const override { return {160, 100}; }

  signals:
    void colorChanged(const QColor& color);
    void colorChangedButtonUp(const QColor& color);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    enum class Part { kNone, kField, kStrip };
    QRect fieldRect() const;
    QRect stripRect() const;
    void pick(const QPoint& at, Part part);
    void select(int hue, int saturation, int value, bool notify);

    QColor color_ = Qt::black;
    int hue_ = 0;         // 0..359
    int saturation_ = 0;  // 0..255
    int value_ = 0;       // 0..255
    Part dragging_ = Part::kNone;
    QImage field_;
};

}  // namespace tvq
