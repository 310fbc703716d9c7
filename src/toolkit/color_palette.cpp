#include "toolkit/color_palette.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace tvq {
namespace {

constexpr int kStripWidth = 14;
constexpr int kGap = 6;
// Room around the field and the strip for the selection marks, which stand
// out of them by up to 8 pixels: a mark in a corner is drawn whole.
constexpr int kMarkRoom = 8;

}  // namespace

ColorPalette::ColorPalette(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(60, 40);
}

QRect ColorPalette::fieldRect() const {
    return {kMarkRoom, kMarkRoom, std::max(1, width() - kStripWidth - kGap - 2 * kMarkRoom),
            std::max(1, height() - 2 * kMarkRoom)};
}

QRect ColorPalette::stripRect() const {
    return {width() - kStripWidth - kMarkRoom / 2, kMarkRoom, kStripWidth,
            std::max(1, height() - 2 * kMarkRoom)};
}

void ColorPalette::resizeEvent(QResizeEvent*) {
    // Hue across, saturation down (full at the top), at full value.
    const QRect f = fieldRect();
    field_ = QImage(f.size(), QImage::Format_RGB32);
    for (int y = 0; y < f.height(); ++y) {
        const int s = 255 - y * 255 / std::max(1, f.height() - 1);
        for (int x = 0; x < f.width(); ++x) {
            const int h = x * 359 / std::max(1, f.width() - 1);
            field_.setPixel(x, y, QColor::fromHsv(h, s, 255).rgb());
        }
    }
}

void ColorPalette::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect f = fieldRect();
    p.drawImage(f.topLeft(), field_);
    const QRect s = stripRect();
    QLinearGradient strip(s.topLeft(), s.bottomLeft());
    strip.setColorAt(0, QColor::fromHsv(hue_, saturation_, 255));
    strip.setColorAt(1, Qt::black);
    p.fillRect(s, strip);
    // The selection: a ring on the field, a bar on the strip.
    const int x = f.left() + hue_ * (f.width() - 1) / 359;
    const int y = f.top() + (255 - saturation_) * (f.height() - 1) / 255;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2));
    p.drawEllipse(QPoint(x, y), 5, 5);
    p.setPen(QPen(Qt::black, 1));
    p.drawEllipse(QPoint(x, y), 7, 7);
    const int v = s.top() + (255 - value_) * (s.height() - 1) / 255;
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(s.left() - 2, v, s.right() + 2, v);
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ColorPalette::pick(const QPoint& at, Part part) {
    if (part == Part::kField) {
        const QRect f = fieldRect();
        const int x = std::clamp(at.x(), f.left(), f.right());
        const int y = std::clamp(at.y(), f.top(), f.bottom());
        const int h = (x - f.left()) * 359 / std::max(1, f.width() - 1);
        const int s = 255 - (y - f.top()) * 255 / std::max(1, f.height() - 1);
        // Picking on the field at value 0 would show only black.
        select(h, s, value_ == 0 ? 255 : value_, true);
    } else if (part == Part::kStrip) {
        const QRect s = stripRect();
        const int y = std::clamp(at.y(), s.top(), s.bottom());
        select(hue_, saturation_, 255 - (y - s.top()) * 255 / std::max(1, s.height() - 1), true);
    }
}

void ColorPalette::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint at = event->position().toPoint();
    dragging_ = stripRect().adjusted(-kGap / 2, 0, 0, 0).contains(at) ? Part::kStrip : Part::kField;
    pick(at, dragging_);
}

void ColorPalette::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ != Part::kNone) {
        pick(event->position().toPoint(), dragging_);
    }
}

void ColorPalette::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || dragging_ == Part::kNone) {
        return;
    }
    pick(event->position().toPoint(), dragging_);
    dragging_ = Part::kNone;
    emit colorChangedButtonUp(color_);
}

void ColorPalette::keyPressEvent(QKeyEvent* event) {
    int h = hue_, s = saturation_, v = value_;
    switch (event->key()) {
        case Qt::Key_Left:
            h = (h + 359) % 360;
            break;
        case Qt::Key_Right:
            h = (h + 1) % 360;
            break;
        case Qt::Key_Up:
            s = std::min(255, s + 5);
            break;
        case Qt::Key_Down:
            s = std::max(0, s - 5);
            break;
        case Qt::Key_PageUp:
            v = std::min(255, v + 10);
            break;
        case Qt::Key_PageDown:
            v = std::max(0, v - 10);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    select(h, s, v, true);
    emit colorChangedButtonUp(color_);
}

void ColorPalette::select(int hue, int saturation, int value, bool notify) {
    hue_ = hue;
    saturation_ = saturation;
    value_ = value;
    color_ = QColor::fromHsv(hue_, saturation_, value_);
    update();
    if (notify) {
        QAccessibleValueChangeEvent changed(this, color_.name());
        QAccessible::updateAccessibility(&changed);
        emit colorChanged(color_);
    }
}

void ColorPalette::setSelectedColor(const QColor& color) {
    const QColor c = color.toHsv();
    // A grey has no hue of its own: keep the one shown.
    select(c.hsvHue() < 0 ? hue_ : c.hsvHue(), c.hsvSaturation(), c.value(), false);
    color_ = QColor(color.red(), color.green(), color.blue());
}

}  // namespace tvq
