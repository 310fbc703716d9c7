// A text field that holds at most a number of UTF-16 units, cut at whole
// characters: QLineEdit's own maximum length counts units and may keep half
// of a character outside the Basic Multilingual Plane (an emoji).
#pragma once

class QLineEdit;

namespace tvq {

void limitToWholeCharacters(QLineEdit* field, int maxUnits);

}  // namespace tvq
