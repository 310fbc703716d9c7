#include "toolkit/scheme.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <array>
#include <utility>

namespace tvq {
namespace {

struct Swatch {
    const char16_t* name;
    QRgb dark;
    QRgb light;
};

// Text colours keep at least 4.5:1 against every background they are put on
// in both schemes; the window test measures it.
constexpr std::array kSwatches{
    Swatch{u"window_top", 0x151922, 0xf6f8fa},
    Swatch{u"window_bottom", 0x0e1117, 0xeceff3},
    Swatch{u"surface", 0x1b2029, 0xffffff},  // panels and dialogs
    Swatch{u"sunken", 0x151922, 0xf3f5f8},   // lists and cells inside a panel
    Swatch{u"field", 0x232a35, 0xf6f8fa},    // fields and buttons of dialogs
    Swatch{u"control", 0x262d3a, 0xe6eaf0},  // buttons, troughs, panel edges
    Swatch{u"control_hover", 0x2f3848, 0xdce2ea},
    Swatch{u"control_pressed", 0x1e2530, 0xcfd6df},
    Swatch{u"control_disabled", 0x222833, 0xeef1f5},
    Swatch{u"line", 0x3a4352, 0xaeb9c6},  // borders of fields and buttons
    Swatch{u"text", 0xe6ebf2, 0x1b2029},
    Swatch{u"text_soft", 0xc9d3e3, 0x2f3848},
    Swatch{u"text_muted", 0x8c96a8, 0x4f5b6b},
    Swatch{u"text_disabled", 0xb4bdcc, 0x59636f},
    Swatch{u"accent", 0x00d1c1, 0x00695c},
    Swatch{u"accent_strong", 0x00a99c, 0x005a4f},
    Swatch{u"accent_hover", 0x25e6d6, 0x00796b},
    Swatch{u"accent_dim", 0x00857b, 0x80b4ad},
    Swatch{u"accent_surface", 0x0f3b3a, 0xe0f2f1},
    Swatch{u"on_accent", 0x0d1117, 0xffffff},
    Swatch{u"selection", 0x00665e, 0xb2dfdb},
    Swatch{u"value", 0x5ff0e2, 0x00695c},
    Swatch{u"warning", 0xf0c674, 0x8a5a00},
    Swatch{u"warning_fill", 0xe3a008, 0xc77700},
    Swatch{u"danger", 0xff6b7d, 0xb3261e},
    Swatch{u"danger_fill", 0xff5c6c, 0xd32f2f},
    Swatch{u"danger_button", 0xc4364a, 0xc62828},
    Swatch{u"on_danger", 0xffffff, 0xffffff},
    // The keyboard focus's ring: 3:1 and more against every surface.
    Swatch{u"focus", 0x78aeed, 0x1a5fb4},
};

constexpr char16_t kMark = u'@';

class SchemeFollower final : public QObject {
  public:
    SchemeFollower(QWidget* widget, std::function<void(Scheme)> show)
        : QObject(widget), show_(std::move(show)), shown_(currentScheme()) {
        show_(shown_);
        widget->installEventFilter(this);
    }

  private:
    bool eventFilter(QObject*, QEvent* event) override {
        // A change of the application's palette reaches the widget as a
        // change of its own.
        if (event->type() == QEvent::ApplicationPaletteChange ||
            event->type() == QEvent::PaletteChange) {
            if (const Scheme now = currentScheme(); now != shown_) {
                shown_ = now;
                show_(now);
            }
        }
        return false;
    }
    std::function<void(Scheme)> show_;
    Scheme shown_;
};

}  // namespace

QColor schemeColour(Scheme scheme, QStringView name) {
    for (const Swatch& s : kSwatches) {
        if (name == QStringView(s.name)) {
            return QColor::fromRgb(scheme == Scheme::kDark ? s.dark : s.light);
        }
    }
    return {};
}

QString themedSheet(const QString& sheet, Scheme scheme) {
    QString out;
    out.reserve(sheet.size());
    qsizetype at = 0;
    while (at < sheet.size()) {
        const qsizetype open = sheet.indexOf(kMark, at);
        const qsizetype close = open < 0 ? -1 : sheet.indexOf(kMark, open + 1);
        if (close < 0) {
            out += QStringView(sheet).mid(at);
            break;
        }
        const QColor colour =
            schemeColour(scheme, QStringView(sheet).mid(open + 1, close - open - 1));
        out += QStringView(sheet).mid(at, open - at);
        if (colour.isValid()) {
            out += colour.name();
            at = close + 1;
        } else {  // not a name: kept as it is
            out += kMark;
            at = open + 1;
        }
    }
    return out;
}

QPalette schemePalette(Scheme scheme) {
    const auto c = [scheme](const char16_t* name) { return schemeColour(scheme, name); };
    QPalette p(c(u"control"), c(u"surface"));
    constexpr std::pair<QPalette::ColorRole, const char16_t*> kRoles[] = {
        {QPalette::WindowText, u"text"},
        {QPalette::Text, u"text"},
        {QPalette::ButtonText, u"text"},
        {QPalette::Base, u"field"},
        {QPalette::AlternateBase, u"sunken"},
        {QPalette::Highlight, u"accent"},
        {QPalette::HighlightedText, u"on_accent"},
        {QPalette::ToolTipBase, u"surface"},
        {QPalette::ToolTipText, u"text"},
        {QPalette::PlaceholderText, u"text_muted"},
        {QPalette::Link, u"accent"},
        {QPalette::BrightText, u"on_danger"},
    };
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        for (const auto& [role, name] : kRoles) {
            p.setColor(group, role, c(name));
        }
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, c(u"text_disabled"));
    }
    p.setColor(QPalette::Disabled, QPalette::Base, c(u"control_disabled"));
    p.setColor(QPalette::Disabled, QPalette::Button, c(u"control_disabled"));
    return p;
}

Scheme schemeOf(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128 ? Scheme::kDark : Scheme::kLight;
}

Scheme currentScheme() {
    return schemeOf(QGuiApplication::palette());
}

void followScheme(QWidget* widget, std::function<void(Scheme)> show) {
    new SchemeFollower(widget, std::move(show));  // owned by the widget
}

}  // namespace tvq
