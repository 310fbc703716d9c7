#pragma once

// What the main window's style and its dressing share: which widgets wear
// the window's look, what the layouts call them, and the scheme's colours.

#include <QColor>
#include <QLatin1StringView>
#include <QString>
#include <QWidget>

#include "toolkit/layout_reader.h"
#include "toolkit/scheme.h"

namespace tvq::look {

// The layouts' own word for what a widget is: "panel", "key", "link"…
inline constexpr char kClassProperty[] = "class";
inline constexpr char kStateProperty[] = "state";

// Whether `w` wears the window's look (dressWidget).
bool dressed(const QWidget* w);

// What the layouts call `w`. The style asks both at every size, layout and
// paint: a dressed widget's answers are kept, since a dynamic property is
// found only after a search through every property of the widget's classes.
QString kindOf(const QWidget* w);

inline bool named(const QWidget* w, QLatin1StringView name) {
    return w->objectName() == name;
}

// What a push button does: most are plain; a dialog's suggested answer
// stands out in the accent, one that throws something away in the danger
// colour (the dynamic property "destructive").
enum class ButtonRole { kPlain, kSuggested, kDestructive };
inline ButtonRole buttonRole(const QWidget* w) {
    if (ownProperty(w, "destructive").toBool()) {
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
