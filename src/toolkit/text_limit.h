// A text field that holds at most a number of UTF-16 units, cut at whole
// characters: QLineEdit's own maximum length counts units and may keep half
// of a character outside the Basic Multilingual Plane (an emoji).
#pragma once

#include <QString>

class QLineEdit;

namespace tvq {

void limitToWholeCharacters(QLineEdit* field, int maxUnits);

// `text` with every decimal digit of any script ("٢", "１") as its ASCII
// digit, so that a number typed with the desktop's digits reads as typed.
QString asciiDigits(const QString& text);

}  // namespace tvq
