#include "toolkit/focus_ring.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QPainter>

#include "toolkit/scheme.h"

namespace tvq {

class FocusRing::Watch final : public QObject {
  public:
    static Watch& instance() {
        static QPointer<Watch> watch;
        if (!watch) {
            watch = new Watch(qApp);
        }
        return *watch;
    }
    QWidget* target() const { return ring_ && ring_->isVisible() ? target_.data() : nullptr; }

  private:
    explicit Watch(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

    static bool wantsRing(const QWidget* w) {
        return w->isWindow() == false && (w->focusPolicy() & Qt::TabFocus) != 0 &&
               qobject_cast<const QMenu*>(w) == nullptr && w->parentWidget() != nullptr;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::FocusIn:
                if (auto* w = qobject_cast<QWidget*>(watched)) {
                    const auto reason = static_cast<QFocusEvent*>(event)->reason();
                    if (reason == Qt::MouseFocusReason || reason == Qt::PopupFocusReason ||
                        !wantsRing(w)) {
                        hide();
                    } else {
                        follow(w);
                    }
                }
                break;
            case QEvent::FocusOut:
                if (watched == target_ || (target_ && target_->focusProxy() == watched)) {
                    hide();
                }
                break;
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
                if (watched == target_ && ring_ && ring_->isVisible()) {
                    place();
                }
                break;
            case QEvent::Hide:
                if (watched == target_) {
                    hide();
                }
                break;
            default:
                break;
        }
        return false;
    }

    void follow(QWidget* w) {
        // The field inside a spin box or a drop-down list has the focus for
        // it: the ring goes around the whole control.
        while (w->parentWidget() != nullptr && w->parentWidget()->focusProxy() == w &&
               !w->parentWidget()->isWindow()) {
            w = w->parentWidget();
        }
        target_ = w;
        QWidget* parent = w->parentWidget();
        if (!ring_) {
            ring_ = new FocusRing(parent);
        } else if (ring_->parentWidget() != parent) {
            ring_->setParent(parent);
        }
        place();
        ring_->show();
        ring_->raise();
    }

    void place() {
        const int out = kWidth + kGap;
        ring_->setGeometry(target_->geometry().adjusted(-out, -out, out, out));
        ring_->update();
    }

    void hide() {
        target_ = nullptr;
        if (ring_) {
            ring_->hide();
        }
    }

    QPointer<FocusRing> ring_;
    QPointer<QWidget> target_;
};

FocusRing::FocusRing(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("focus_ring"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void FocusRing::install() {
    Watch::instance();
}

QWidget* FocusRing::around() {
    return Watch::instance().target();
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(schemeColour(currentScheme(), u"focus"), kWidth);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const qreal half = kWidth / 2.0;
    p.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), 4, 4);
}

}  // namespace tvq
