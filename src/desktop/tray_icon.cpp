#include "desktop/tray_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

#include "toolkit/loaded_menu.h"

namespace tvq {
namespace {

// Colours chosen to read on light and dark panels alike: each fill and the
// marks' edges stand out 3:1 from either.
const QColor kBarGood(0x2e, 0xa0, 0x43);
const QColor kBarLow(0xb9, 0x7c, 0x00);
const QColor kBarCritical(0xe5, 0x35, 0x35);
const QColor kOutline(0x10, 0x12, 0x16);
const QColor kEdge(0xf5, 0xf7, 0xfa);
const QColor kMarkEdge(0x7a, 0x85, 0x94);
const QColor kFlash(0xff, 0xd2, 0x3f);
constexpr double kAwayOpacity = 0.45;

class TrayIconEngine final : public QIconEngine {
  public:
    TrayIconEngine(MouseStatus status, BatteryAlertSettings thresholds)
        : status_(status), thresholds_(thresholds) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const int pixels = std::max(1, std::min(rect.width(), rect.height()));
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1;
        QImage image = drawTrayIcon(static_cast<int>(pixels * ratio), status_, thresholds_);
        image.setDevicePixelRatio(ratio);
        painter->drawImage(QRectF(rect.topLeft(), QSizeF(pixels, pixels)), image);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        return QPixmap::fromImage(
            drawTrayIcon(std::max(1, std::min(size.width(), size.height())), status_, thresholds_));
    }
    QIconEngine* clone() const override { return new TrayIconEngine(status_, thresholds_); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        // Trays that take a list of images (StatusNotifierItem) choose from these.
        return {QSize(16, 16), QSize(22, 22), QSize(24, 24),  QSize(32, 32),
                QSize(48, 48), QSize(64, 64), QSize(128, 128)};
    }

  private:
    MouseStatus status_;
    BatteryAlertSettings thresholds_;
};

void drawBar(QPainter& p, qreal s, int percent, const BatteryAlertSettings& thresholds) {
    const qreal edge = std::max(1.5, s / 24);
    const QRectF outer(s * 0.04, s * 0.70, s * 0.92, std::max(4.0, s * 0.26));
    p.setPen(QPen(kMarkEdge, edge));
    p.setBrush(kOutline);
    p.drawRoundedRect(outer, edge * 2, edge * 2);
    const QRectF inner = outer.adjusted(edge * 1.5, edge * 1.5, -edge * 1.5, -edge * 1.5);
    const int tenths = std::clamp((percent + 5) / 10, 1, 10);
    QRectF filled = inner;
    filled.setWidth(inner.width() * tenths / 10);
    const QColor colour = percent <= thresholds.critical ? kBarCritical
                          : percent <= thresholds.low    ? kBarLow
                                                         : kBarGood;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(filled);
}

void drawFlash(QPainter& p, qreal s) {
    QPainterPath bolt;
    const qreal x = s * 0.58, y = s * 0.0, w = s * 0.42, h = s * 0.62;
    bolt.moveTo(x + w * 0.62, y);
    bolt.lineTo(x + w * 0.05, y + h * 0.58);
    bolt.lineTo(x + w * 0.45, y + h * 0.58);
    bolt.lineTo(x + w * 0.30, y + h);
    bolt.lineTo(x + w * 0.95, y + h * 0.38);
    bolt.lineTo(x + w * 0.55, y + h * 0.38);
    bolt.closeSubpath();
    p.setPen(QPen(kOutline, std::max(1.0, s / 20), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kFlash);
    p.drawPath(bolt);
}

void drawWarning(QPainter& p, qreal s, bool critical) {
    const QRectF badge(s * 0.54, s * 0.0, s * 0.46, s * 0.46);
    p.setPen(QPen(kMarkEdge, std::max(1.0, s / 32)));
    p.setBrush(critical ? kBarCritical : kBarLow);
    p.drawEllipse(badge);
    // The "!" as two shapes, readable at 16 pixels.
    p.setPen(Qt::NoPen);
    p.setBrush(critical ? kEdge : kOutline);
    const qreal cx = badge.center().x(), w = std::max(1.5, s * 0.07);
    p.drawRoundedRect(QRectF(cx - w / 2, badge.top() + s * 0.08, w, s * 0.19), w / 2, w / 2);
    p.drawEllipse(QPointF(cx, badge.bottom() - s * 0.09), w * 0.6, w * 0.6);
}

}  // namespace

QImage drawTrayIcon(int pixels, const MouseStatus& status, const BatteryAlertSettings& thresholds) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = pixels;
    const bool away = status.link == MouseStatus::Link::kNone;
    p.setOpacity(away ? kAwayOpacity : 1.0);
    p.drawPixmap(QRectF(0, 0, s, s), productPixmap(pixels, ProductBody::kMiddleTone),
                 QRectF(0, 0, pixels, pixels));
    p.setOpacity(1.0);
    if (away) {
        return image;
    }
    if (status.battery > 0) {
        drawBar(p, s, status.battery, thresholds);
    }
    if (status.charging) {
        drawFlash(p, s);
    } else if (status.battery > 0 && status.battery <= thresholds.low) {
        drawWarning(p, s, status.battery <= thresholds.critical);
    }
    return image;
}

QIcon trayIcon(const MouseStatus& status, const BatteryAlertSettings& thresholds) {
    return QIcon(new TrayIconEngine(status, thresholds));
}

}  // namespace tvq
