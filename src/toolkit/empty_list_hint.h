// A line of text in an empty list that says how to fill it, drawn in the
// list's muted text colour; screen readers get it as the list's description
// while the list is empty.
#pragma once

#include <QString>

class QListWidget;

namespace tvq {

namespace EmptyListHint {
// Shows `hint` in `list` whenever it has no rows, for as long as it lives.
void attach(QListWidget* list, const QString& hint);
}  // namespace EmptyListHint

}  // namespace tvq
