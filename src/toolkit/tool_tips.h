// Long tooltips wrapped at a readable width. A plain-text tooltip shows on
// one line however long it is; the program's explanations run to several
// sentences, so those (on controls and on menu items) are shown as
// paragraphs, which the toolkit wraps. The widgets keep their plain text,
// which screen readers read.
#pragma once

namespace tvq {

class ToolTips {
  public:
    // Texts up to this many characters stay on one line.
    static constexpr int kWrapAfterChars = 70;

    // Watches the application's tooltips from now on; once per application.
    static void install();
};

}  // namespace tvq
