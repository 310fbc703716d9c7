#pragma once

// What the main window's style and its dressing share: which widgets wear
// the window's look, what the layouts call them, and the scheme's colours.

#include <QColor>
#include <QLatin1StringView>
#include <QString>
#include <QWidget>

#include "toolkit/scheme.h"

namespace tvq::look {

// Marks the widgets drawn in the window's look.
inline constexpr char kDressedProperty[] = "windowLook";
// The layouts' own word for what a widget is: "panel", "key", "link"…
inline constexpr char kClassProperty[] = "class";
inline constexpr char kStateProperty[] = "state";

inline bool dressed(const QWidget* w) {
    return w != nullptr && w->property(kDressedProperty).toBool();
}

inline QString kindOf(const QWidget* w) {
    return w->property(kClassProperty).toString();
}

inline bool named(const QWidget* w, QLatin1StringView name) {
    return w->objectName() == name;
}

// What a push button does: most are plain; a dialog's suggested answer
// stands out in the accent, one that throws something away in the danger
// colour (the dynamic property "destructive").
enum class ButtonRole { kPlain, kSuggested, kDestructive };
inline ButtonRole buttonRole(const QWidget* w) {
    if (w->property("destructive").toBool()) {
        return ButtonRole::kDestructive;
    }
    return kindOf(w) == u"suggested" ? ButtonRole::kSuggested : ButtonRole::kPlain;
}

inline QColor colour(const char16_t* name) {
    return schemeColour(currentScheme(), name);
}

// Gives `w` the fonts, text colours and sizes of its kind, in the scheme
// shown now.
void dressWidget(QWidget* w);

}  // namespace tvq::look
