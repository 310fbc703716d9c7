#include "toolkit/window_style.h"

#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTextBrowser>
#include <QToolButton>
#include <optional>

#include "toolkit/window_look.h"

// The main window's widgets dressed in its look: fonts, text colours and
// sizes by their kind, again when the scheme changes.

namespace tvq {
namespace look {
namespace {

constexpr char kFontFamily[] = "DejaVu Sans";
constexpr int kComboMinWidth = 150;
// A drop-down list shows this many entries before it scrolls: every
// lighting effect at once.
constexpr int kComboVisibleEntries = 16;
constexpr int kListPadding = 4;
constexpr int kTextMargin = 10;  // around a text browser's document
constexpr int kSwatchWidth = 22;
constexpr int kSwatchHeight = 18;
constexpr int kKeyNumberWidth = 18;
constexpr QSize kMenuButtonMinimum(34, 30);
constexpr QMargins kLinkMargins(10, 3, 10, 3);  // the pill's padding and edge
constexpr QMargins kBadgeMargins(6, 2, 6, 2);
constexpr int kPowerBarHeight = 8;
constexpr int kApplyRingHeight = 4;
constexpr int kApplyProgressHeight = 3;

struct Look {
    int pixelSize = 0;  // 0: the window's size
    bool bold = false;
    const char16_t* text = nullptr;  // the text colour, when not the scheme's text
};

// What each kind of label and button shows; the rest keep the window's font.
std::optional<Look> lookOf(const QWidget* w) {
    const QString kind = kindOf(w);
    if (qobject_cast<const QLabel*>(w) != nullptr) {
        if (kind == u"link") {
            return Look{
                11, true,
                w->property(kStateProperty).toString() == u"writing" ? u"value" : u"text_muted"};
        }
        if (kind == u"value" || named(w, QLatin1StringView("ms_1_label_power"))) {
            return Look{0, true, u"value"};
        }
        if (kind == u"keyno") {
            return Look{11, true, u"value"};
        }
        if (kind == u"keyhint") {
            return Look{12, false, u"accent"};
        }
        if (named(w, QLatin1StringView("ms_1_apply_status"))) {
            // A failure in the error colour, the rest quieter.
            const QString state = w->property(kStateProperty).toString();
            return state == u"error" ? Look{13, true, u"danger"}
                   : state == u"ok"  ? Look{13, false, u"value"}
                                     : Look{13, false, u"text_soft"};
        }
        static constexpr std::pair<QLatin1StringView, Look> kNamed[] = {
            {QLatin1StringView("product_name"), {15, true, nullptr}},
            {QLatin1StringView("product_badge"), {11, true, u"on_accent"}},
            {QLatin1StringView("ms_1_no_mouse_note"), {12, false, u"warning"}},
            {QLatin1StringView("ms_1_sleep_label"), {12, false, u"warning"}},
            {QLatin1StringView("ms_1_low_power_label"), {12, false, u"danger"}},
            // The dialogs'.
            {QLatin1StringView("warning_title"), {15, true, u"accent"}},
            {QLatin1StringView("warning"), {13, false, u"text_soft"}},
            {QLatin1StringView("about_name"), {17, true, nullptr}},
            {QLatin1StringView("about_version"), {0, false, u"text_soft"}},
            {QLatin1StringView("about_licence"), {0, false, u"text_soft"}},
            {QLatin1StringView("alerts_note"), {12, false, u"text_soft"}},
            {QLatin1StringView("focus_note"), {12, false, u"text_soft"}},
            {QLatin1StringView("stale_note"), {12, false, u"text_soft"}},
            {QLatin1StringView("add_problem"), {12, false, u"text_soft"}},
            {QLatin1StringView("ms_1_macro_wayland_note"), {0, false, u"warning"}},
        };
        for (const auto& [name, look] : kNamed) {
            if (named(w, name)) {
                return look;
            }
        }
        return std::nullopt;
    }
    if (qobject_cast<const QToolButton*>(w) != nullptr && kind == u"section") {
        return Look{13, true, u"text_soft"};
    }
    if (qobject_cast<const QPushButton*>(w) != nullptr) {
        if (named(w, QLatin1StringView("main_menu_btn"))) {
            return Look{16, false, u"text_muted"};
        }
        if (named(w, QLatin1StringView("ms_1_apply_btn"))) {
            return Look{14, true, u"on_accent"};
        }
        switch (buttonRole(w)) {
            case ButtonRole::kSuggested:
                return Look{0, true, u"on_accent"};
            case ButtonRole::kDestructive:
                return Look{0, true, u"on_danger"};
            case ButtonRole::kPlain:
                break;
        }
    }
    return std::nullopt;
}

}  // namespace

namespace {

// The kind of each dressed widget, until it is destroyed. Never freed: a
// widget may be destroyed after static objects are.
QHash<const QObject*, QString>& dressedKinds() {
    static auto* kinds = new QHash<const QObject*, QString>;
    return *kinds;
}

}  // namespace

bool dressed(const QWidget* w) {
    return w != nullptr && dressedKinds().contains(w);
}

QString kindOf(const QWidget* w) {
    const QHash<const QObject*, QString>& kinds = dressedKinds();
    if (const auto kept = kinds.constFind(w); kept != kinds.cend()) {
        return *kept;
    }
    return ownProperty(w, kClassProperty).toString();
}

void dressWidget(QWidget* w) {
    QHash<const QObject*, QString>& kinds = dressedKinds();
    if (!kinds.contains(w)) {
        QObject::connect(w, &QObject::destroyed,
                         [](QObject* gone) { dressedKinds().remove(gone); });
    }
    kinds.insert(w, ownProperty(w, kClassProperty).toString());
    if (const std::optional<Look> look = lookOf(w)) {
        if (look->pixelSize > 0 || look->bold) {
            QFont font;  // only what is set here; the family comes from the window
            if (look->pixelSize > 0) {
                font.setPixelSize(look->pixelSize);
            }
            if (look->bold) {
                font.setBold(true);
            }
            if (named(w, QLatin1StringView("product_name"))) {
                font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
            }
            w->setFont(font);
        }
        if (look->text != nullptr) {
            QPalette p = w->palette();
            const QColor text = colour(look->text);
            for (const auto group : {QPalette::Active, QPalette::Inactive}) {
                p.setColor(group, QPalette::WindowText, text);
                p.setColor(group, QPalette::ButtonText, text);
            }
            w->setPalette(p);
        }
    }
    const QString kind = kindOf(w);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (kind == u"link") {
            label->setContentsMargins(kLinkMargins);
        } else if (named(w, QLatin1StringView("product_badge"))) {
            label->setContentsMargins(kBadgeMargins);
        } else if (kind == u"keyno") {
            label->setFixedWidth(kKeyNumberWidth);
        }
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
        if (kind == u"swatch") {
            button->setFixedSize(kSwatchWidth, kSwatchHeight);
        } else if (named(w, QLatin1StringView("main_menu_btn"))) {
            button->setMinimumSize(kMenuButtonMinimum);
        }
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setMinimumWidth(kComboMinWidth);
        combo->setMaxVisibleItems(kComboVisibleEntries);
    } else if (auto* bar = qobject_cast<QProgressBar*>(w)) {
        bar->setMaximumHeight(named(w, QLatin1StringView("ms_1_progress_power")) ? kPowerBarHeight
                              : named(w, QLatin1StringView("apply_ring"))        ? kApplyRingHeight
                                                                          : kApplyProgressHeight);
    } else if (auto* text = qobject_cast<QTextBrowser*>(w)) {
        text->document()->setDocumentMargin(kTextMargin);
        QPalette p = text->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(group, QPalette::Base, colour(u"sunken"));
        }
        text->setPalette(p);
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        list->setContentsMargins(kListPadding, kListPadding, kListPadding, kListPadding);
        list->viewport()->setAttribute(Qt::WA_Hover);
        QPalette p = list->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(group, QPalette::Base, colour(u"sunken"));
        }
        list->setPalette(p);
    } else if (auto* area = qobject_cast<QScrollArea*>(w)) {
        // The window's background shows through the scrolled settings.
        area->viewport()->setAutoFillBackground(false);
        if (QWidget* content = area->widget()) {
            content->setAutoFillBackground(false);
        }
    } else if (kind == u"keycell") {
        w->setAttribute(Qt::WA_Hover);  // its edge lights up under the pointer
    }
}

namespace {

void dressAll(QWidget* root) {
    dressWidget(root);
    for (QWidget* w : root->findChildren<QWidget*>()) {
        dressWidget(w);
    }
}

}  // namespace
}  // namespace look

void dressPart(QWidget* part) {
    look::dressAll(part);
}

void dressWindow(QWidget* root) {
    if (dynamic_cast<WindowStyle*>(QApplication::style()) == nullptr) {
        QApplication::setStyle(new WindowStyle);  // owned by the application
    }
    if (!look::dressed(root)) {
        QFont family;
        family.setFamily(QString::fromLatin1(look::kFontFamily));
        root->setFont(family);
        // Every widget now, and again in each new scheme.
        followScheme(root, [root](Scheme) { look::dressAll(root); });
        return;
    }
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!look::dressed(w)) {  // a part built since
            look::dressWidget(w);
        }
    }
}

}  // namespace tvq
