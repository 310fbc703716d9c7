#include "toolkit/window_style.h"

#include <QAbstractScrollArea>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyleOption>
#include <QTextBrowser>
#include <QToolButton>

#include "toolkit/window_look.h"

namespace tvq {
namespace {

using look::colour;
using look::dressed;
using look::kindOf;
using look::kStateProperty;
using look::named;

// Sizes, in pixels.
constexpr int kPanelRadius = 10;
constexpr int kControlRadius = 6;
constexpr int kButtonPadX = 8;
constexpr int kButtonPadY = 4;
constexpr int kButtonMinContentHeight = 20;
constexpr int kApplyRadius = 8;
constexpr int kIndicatorSize = 16;
constexpr int kSliderHandle = 14;
constexpr int kSliderGroove = 4;
constexpr int kSliderThickness = 18;
constexpr int kScrollBarWidth = 8;
constexpr int kScrollBarHandleMin = 30;
constexpr int kComboPadX = 8;
constexpr int kComboPadY = 3;
constexpr int kComboArrowWidth = 18;
constexpr int kListItemIndent = 8;

// A rectangle with rounded corners, its one-pixel border inside the rect.
void roundedBox(QPainter* p, const QRectF& r, qreal radius, const QColor& fill,
                const QColor& border, qreal borderWidth = 1.0) {
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const qreal inset = border.isValid() ? borderWidth / 2 : 0;
    const QRectF box = r.adjusted(inset, inset, -inset, -inset);
    p->setPen(border.isValid() ? QPen(border, borderWidth) : QPen(Qt::NoPen));
    p->setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    p->drawRoundedRect(box, radius, radius);
    p->restore();
}

// The frame of a button of the window, in its state.
void drawButtonPanel(QPainter* p, const QStyleOption* option, const QWidget* w) {
    const bool enabled = option->state & QStyle::State_Enabled;
    const bool hover = enabled && (option->state & QStyle::State_MouseOver);
    const bool down = enabled && (option->state & (QStyle::State_Sunken | QStyle::State_On));
    const QString kind = kindOf(w);
    const QRectF r = option->rect;
    if (kind == u"key") {
        return;  // the cell around it is the button's face
    }
    if (kind == u"swatch") {
        roundedBox(p, r, 5, w->property(kSwatchColourProperty).value<QColor>(), colour(u"line"));
        return;
    }
    if (named(w, QLatin1StringView("main_menu_btn"))) {
        if (hover || (option->state & QStyle::State_HasFocus)) {
            roundedBox(p, r, kControlRadius, colour(u"control"), QColor());
        }
        return;
    }
    if (named(w, QLatin1StringView("ms_1_apply_btn"))) {
        roundedBox(p, r, kApplyRadius,
                   !enabled ? colour(u"control_disabled")
                   : hover  ? colour(u"accent_hover")
                            : colour(u"accent"),
                   QColor());
        return;
    }
    if (const look::ButtonRole role = look::buttonRole(w); role != look::ButtonRole::kPlain) {
        const bool suggested = role == look::ButtonRole::kSuggested;
        const QColor fill = !enabled    ? colour(u"control_disabled")
                            : suggested ? (hover ? colour(u"accent_hover") : colour(u"accent"))
                                        : colour(u"danger_button");
        roundedBox(p, r, kControlRadius, fill,
                   enabled && !suggested && hover ? colour(u"danger") : QColor());
        return;
    }
    const QColor fill = !enabled ? colour(u"control_disabled")
                        : down   ? colour(u"control_pressed")
                        : hover  ? colour(u"control_hover")
                                 : colour(u"control");
    roundedBox(p, r, kControlRadius, fill, hover ? colour(u"accent") : colour(u"line"));
}

// The frame and background of a frame or label of the window.
bool drawFrameOf(QPainter* p, const QStyleOption* option, const QWidget* w) {
    const QString kind = kindOf(w);
    const QRectF r = w->rect();
    if (named(w, QLatin1StringView("main_root"))) {
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, colour(u"window_top"));
        g.setColorAt(1, colour(u"window_bottom"));
        p->fillRect(r, g);
    } else if (named(w, QLatin1StringView("title_bar"))) {
        p->fillRect(r, colour(u"surface"));
        p->fillRect(QRectF(r.left(), r.bottom(), r.width(), 1), colour(u"control"));
    } else if (named(w, QLatin1StringView("status_bar"))) {
        p->fillRect(r, colour(u"surface"));
        p->fillRect(QRectF(r.left(), r.top(), r.width(), 1), colour(u"control"));
    } else if (kind == u"panel") {
        roundedBox(p, r, kPanelRadius, colour(u"surface"), colour(u"control"));
    } else if (kind == u"keycell") {
        const bool hover = option->state & QStyle::State_MouseOver;
        roundedBox(p, r, kControlRadius, colour(u"sunken"),
                   hover ? colour(u"accent") : colour(u"control"));
    } else if (kind == u"link") {
        const bool writing = w->property(kStateProperty).toString() == u"writing";
        roundedBox(p, r, 9, writing ? colour(u"accent_surface") : colour(u"surface"),
                   writing ? colour(u"accent") : colour(u"line"), writing ? 2 : 1);
    } else if (named(w, QLatin1StringView("product_badge"))) {
        roundedBox(p, r, 4, colour(u"accent"), QColor());
    } else if (qobject_cast<const QListWidget*>(w) != nullptr ||
               qobject_cast<const QTextBrowser*>(w) != nullptr) {
        roundedBox(p, r, kControlRadius, colour(u"sunken"), colour(u"control"));
    } else {
        return qobject_cast<const QAbstractScrollArea*>(w) != nullptr;  // no frame
    }
    return true;
}

void drawIndicator(QPainter* p, const QStyleOption* option, bool round) {
    const bool on = option->state & QStyle::State_On;
    const bool enabled = option->state & QStyle::State_Enabled;
    const QRectF r = QRectF(option->rect).adjusted(1, 1, -1, -1);
    const QColor edge = on && enabled ? colour(u"accent") : colour(u"line");
    roundedBox(p, r, round ? r.width() / 2 : 3,
               on && enabled ? colour(u"accent") : colour(u"sunken"), edge, 2);
    if (on && !round) {  // a tick, so that "on" is more than a colour
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(QPen(enabled ? colour(u"on_accent") : colour(u"text_disabled"), 2));
        const QPointF c = r.center();
        p->drawPolyline(
            QPolygonF{c + QPointF(-3.5, 0), c + QPointF(-1, 2.5), c + QPointF(3.5, -2.5)});
        p->restore();
    } else if (on) {  // a dot, so that "on" is more than a colour
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(Qt::NoPen);
        p->setBrush(enabled ? colour(u"on_accent") : colour(u"text_disabled"));
        p->drawEllipse(r.center(), 3, 3);
        p->restore();
    }
}

void drawProgress(QPainter* p, const QStyleOptionProgressBar* bar, const QWidget* w) {
    const QRectF r = bar->rect;
    const bool power = named(w, QLatin1StringView("ms_1_progress_power"));
    const qreal radius = power ? 4 : named(w, QLatin1StringView("apply_ring")) ? 2 : 0;
    if (!named(w, QLatin1StringView("apply_progress"))) {
        roundedBox(p, r, radius, colour(u"control"), QColor());
    }
    const qint64 span = qint64(bar->maximum) - bar->minimum;
    const qreal share = span > 0 ? qreal(qint64(bar->progress) - bar->minimum) / span : 0;
    if (share <= 0) {
        return;
    }
    const QString state = w->property(kStateProperty).toString();
    const QColor fill = !power                 ? colour(u"accent")
                        : state == u"critical" ? colour(u"danger_fill")
                        : state == u"low"      ? colour(u"warning_fill")
                                               : colour(u"accent");
    roundedBox(p, QRectF(r.left(), r.top(), r.width() * std::min<qreal>(share, 1), r.height()),
               radius, fill, QColor());
}

QRect sliderHandle(const QStyleOptionSlider* s) {
    const int room = s->rect.width() - kSliderHandle;
    const int at = QStyle::sliderPositionFromValue(s->minimum, s->maximum, s->sliderPosition, room,
                                                   s->upsideDown);
    return QRect(s->rect.left() + at, s->rect.center().y() - kSliderHandle / 2 + 1, kSliderHandle,
                 kSliderHandle);
}

QRect scrollBarHandle(const QStyleOptionSlider* s) {
    const int length = s->rect.height();
    const qint64 range = qint64(s->maximum) - s->minimum;
    int handle = range > 0 ? int(qint64(length) * s->pageStep / (range + s->pageStep)) : length;
    handle = std::clamp(handle, std::min(kScrollBarHandleMin, length), length);
    const int at =
        QStyle::sliderPositionFromValue(s->minimum, s->maximum, s->sliderPosition, length - handle);
    return QRect(s->rect.left(), s->rect.top() + at, s->rect.width(), handle);
}

bool horizontal(const QStyleOptionComplex* option) {
    const auto* s = qstyleoption_cast<const QStyleOptionSlider*>(option);
    return s != nullptr && s->orientation == Qt::Horizontal;
}

}  // namespace

WindowStyle::WindowStyle() = default;

void WindowStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    // Polished again after a change of state ("writing", "low"…).
    if (dressed(widget)) {
        look::dressWidget(widget);
    }
}

void WindowStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    // Check boxes and radio buttons look the same everywhere: on the page,
    // in dialogs and in menus.
    if (element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton) {
        drawIndicator(painter, option, element == PE_IndicatorRadioButton);
        return;
    }
    if (dressed(widget)) {
        switch (element) {
            case PE_PanelButtonCommand:
                if (qobject_cast<const QPushButton*>(widget) != nullptr) {
                    drawButtonPanel(painter, option, widget);
                    return;
                }
                break;
            case PE_PanelButtonTool:
                if (kindOf(widget) == u"section") {
                    return;  // a heading: only its focus shows an edge
                }
                break;
            case PE_FrameFocusRect:
                if (qobject_cast<const QToolButton*>(widget) != nullptr &&
                    kindOf(widget) == u"section") {
                    roundedBox(painter, widget->rect(), 4, QColor(), colour(u"accent"));
                    return;
                }
                if (qobject_cast<const QListWidget*>(widget) != nullptr ||
                    named(widget, QLatin1StringView("main_menu_btn"))) {
                    return;  // the selection and the hover fill show where it is
                }
                break;
            case PE_PanelItemViewItem:
                if (qobject_cast<const QListWidget*>(widget) != nullptr) {
                    const bool selected = option->state & State_Selected;
                    const bool hover = option->state & State_MouseOver;
                    if (selected || hover) {
                        roundedBox(painter, option->rect, 4,
                                   selected ? colour(u"accent") : colour(u"control"), QColor());
                    }
                    return;
                }
                break;
            default:
                break;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void WindowStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    if (dressed(widget)) {
        switch (element) {
            case CE_ShapedFrame:
                if (drawFrameOf(painter, option, widget)) {
                    return;
                }
                break;
            case CE_PushButtonLabel:
                if (const auto* b = qstyleoption_cast<const QStyleOptionButton*>(option)) {
                    QStyleOptionButton label(*b);
                    if (named(widget, QLatin1StringView("main_menu_btn")) &&
                        (b->state & (State_MouseOver | State_HasFocus))) {
                        label.palette.setColor(QPalette::ButtonText, colour(u"text"));
                    }
                    if (kindOf(widget) == u"key") {
                        // The function's name reads from the left, as in a list.
                        const QRect text = b->rect.adjusted(2, 3, -2, -3);
                        drawItemText(
                            painter, text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                            label.palette, b->state & State_Enabled, b->text, QPalette::ButtonText);
                        return;
                    }
                    QProxyStyle::drawControl(element, &label, painter, widget);
                    return;
                }
                break;
            case CE_ToolButtonLabel:
                if (const auto* t = qstyleoption_cast<const QStyleOptionToolButton*>(option);
                    t != nullptr && kindOf(widget) == u"section" && (t->state & State_MouseOver)) {
                    QStyleOptionToolButton label(*t);
                    label.palette.setColor(QPalette::ButtonText, colour(u"text"));
                    QProxyStyle::drawControl(element, &label, painter, widget);
                    return;
                }
                break;
            case CE_ProgressBarGroove:
                return;  // drawn with the contents
            case CE_ProgressBarContents:
                if (const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(option);
                    bar != nullptr && bar->maximum != bar->minimum) {
                    drawProgress(painter, bar, widget);
                    return;
                }
                break;  // busy: the application's style moves it
            case CE_ProgressBarLabel:
                return;
            default:
                break;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void WindowStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     QPainter* painter, const QWidget* widget) const {
    if (dressed(widget)) {
        const bool enabled = option->state & State_Enabled;
        if (control == CC_Slider && horizontal(option)) {
            const auto* s = qstyleoption_cast<const QStyleOptionSlider*>(option);
            const QRect handle = sliderHandle(s);
            const QRectF groove(s->rect.left(), handle.center().y() - kSliderGroove / 2.0 + 0.5,
                                s->rect.width(), kSliderGroove);
            roundedBox(painter, groove, 2, colour(u"control"), QColor());
            roundedBox(painter,
                       QRectF(groove.left(), groove.top(), handle.center().x() - groove.left(),
                              groove.height()),
                       2, enabled ? colour(u"accent_strong") : colour(u"accent_dim"), QColor());
            roundedBox(painter, handle, kSliderHandle / 2.0,
                       enabled ? colour(u"text") : colour(u"text_disabled"),
                       s->state & State_HasFocus ? colour(u"accent") : QColor(), 2);
            return;
        }
        if (control == CC_ScrollBar && !horizontal(option)) {
            const auto* s = qstyleoption_cast<const QStyleOptionSlider*>(option);
            if (s->maximum > s->minimum) {
                roundedBox(painter, scrollBarHandle(s), kScrollBarWidth / 2.0, colour(u"line"),
                           QColor());
            }
            return;
        }
        if (control == CC_ComboBox) {
            const QRectF r = option->rect;
            roundedBox(painter, r, kControlRadius,
                       enabled ? colour(u"control") : colour(u"control_disabled"),
                       option->state & State_HasFocus ? colour(u"accent") : colour(u"line"));
            const QRectF arrow = subControlRect(control, option, SC_ComboBoxArrow, widget);
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(enabled ? colour(u"text") : colour(u"text_disabled"), 1.5));
            const QPointF c = arrow.center();
            painter->drawPolyline(
                QPolygonF{c + QPointF(-3.5, -1.5), c + QPointF(0, 2), c + QPointF(3.5, -1.5)});
            painter->restore();
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QRect WindowStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                  SubControl sub, const QWidget* widget) const {
    if (dressed(widget)) {
        const QRect r = option->rect;
        if (control == CC_Slider && horizontal(option)) {
            const auto* s = qstyleoption_cast<const QStyleOptionSlider*>(option);
            switch (sub) {
                case SC_SliderHandle:
                    return sliderHandle(s);
                case SC_SliderGroove:
                    return r;
                default:
                    return {};
            }
        }
        if (control == CC_ScrollBar && !horizontal(option)) {
            const auto* s = qstyleoption_cast<const QStyleOptionSlider*>(option);
            const QRect handle = scrollBarHandle(s);
            switch (sub) {
                case SC_ScrollBarSlider:
                    return handle;
                case SC_ScrollBarGroove:
                    return r;
                case SC_ScrollBarSubPage:
                    return QRect(r.left(), r.top(), r.width(), handle.top() - r.top());
                case SC_ScrollBarAddPage:
                    return QRect(r.left(), handle.bottom() + 1, r.width(),
                                 r.bottom() - handle.bottom());
                default:
                    return {};  // no arrows
            }
        }
        if (control == CC_ComboBox) {
            switch (sub) {
                case SC_ComboBoxArrow:
                    return QRect(r.right() - kComboArrowWidth - kComboPadX / 2, r.top(),
                                 kComboArrowWidth, r.height());
                case SC_ComboBoxEditField:
                    return r.adjusted(kComboPadX, kComboPadY, -(kComboPadX / 2 + kComboArrowWidth),
                                      -kComboPadY);
                case SC_ComboBoxFrame:
                case SC_ComboBoxListBoxPopup:
                    return r;
                default:
                    break;
            }
        }
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
}

QRect WindowStyle::subElementRect(SubElement element, const QStyleOption* option,
                                  const QWidget* widget) const {
    if (element == SE_ItemViewItemText && dressed(widget) &&
        qobject_cast<const QListWidget*>(widget) != nullptr) {
        return QProxyStyle::subElementRect(element, option, widget)
            .adjusted(kListItemIndent, 0, 0, 0);
    }
    return QProxyStyle::subElementRect(element, option, widget);
}

int WindowStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                           QStyleHintReturn* data) const {
    if (hint == SH_ComboBox_Popup) {
        // A drop-down list under its box, as wide as the box: a list as
        // wide as its longest entry could leave the window, or the screen.
        return 0;
    }
    return QProxyStyle::styleHint(hint, option, widget, data);
}

int WindowStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    switch (metric) {
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
            return kIndicatorSize;
        default:
            break;
    }
    if (dressed(widget)) {
        switch (metric) {
            case PM_SliderLength:
            case PM_SliderControlThickness:
                return kSliderHandle;
            case PM_SliderThickness:
                return kSliderThickness;
            case PM_ScrollBarExtent:
                return kScrollBarWidth;
            case PM_ScrollBarSliderMin:
                return kScrollBarHandleMin;
            case PM_DefaultFrameWidth:
                if (qobject_cast<const QListWidget*>(widget) != nullptr ||
                    qobject_cast<const QTextBrowser*>(widget) != nullptr) {
                    return 1;
                }
                if (qobject_cast<const QAbstractScrollArea*>(widget) != nullptr) {
                    return 0;
                }
                break;
            case PM_ButtonShiftHorizontal:
            case PM_ButtonShiftVertical:
                return 0;
            default:
                break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize WindowStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                    const QSize& size, const QWidget* widget) const {
    if (dressed(widget)) {
        if (type == CT_PushButton) {
            if (kindOf(widget) == u"key") {
                return QSize(size.width() + 4,
                             std::max(size.height(), kButtonMinContentHeight) + 6);
            }
            // Padding and a one-pixel edge around at least a line of text.
            return QSize(size.width() + 2 * kButtonPadX + 2,
                         std::max(size.height(), kButtonMinContentHeight) + 2 * kButtonPadY + 2);
        }
        if (type == CT_ComboBox) {
            return QSize(size.width() + 2 * kComboPadX + kComboArrowWidth + 2,
                         size.height() + 2 * kComboPadY + 2);
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

}  // namespace tvq
