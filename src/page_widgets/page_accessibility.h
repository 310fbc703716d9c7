// Accessible names of the settings page's controls, from the control table
// and the language texts.
#pragma once

#include <QString>
#include <functional>
#include <string_view>

class QWidget;

namespace tvq {

class LanguageManager;

// A control whose accessible name tells its text too (the key buttons name
// the function they hold) keeps the name without the text in this property.
inline constexpr const char* kAccessibleBase = "tvqAccessibleBase";

// Names every control of the table that `find` finds, gives the combos a
// description of what they are for and each value label its slider as buddy.
void nameControlsForAccessibility(const LanguageManager& language,
                                  const std::function<QWidget*(std::string_view)>& find);

// Sets `button`'s text, and its accessible name where it tells the text too.
void setButtonText(QWidget* button, const QString& text);

}  // namespace tvq
