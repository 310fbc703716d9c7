// Section headers that open and close their section: a checkable tool
// button with an arrow (down while open, right while closed) and the
// section's name. Screen readers are told it is an expandable button and
// whether it is expanded; Press and Toggle both open or close it.
#pragma once

class QToolButton;
class QWidget;

namespace tvq {

// Makes every tool button under `root` whose "class" property is "section"
// a disclosure header. Idempotent.
void makeDisclosures(QWidget* root);
// Shows the state of a header whose check was set without a signal.
void showDisclosureState(QToolButton* header);

}  // namespace tvq
