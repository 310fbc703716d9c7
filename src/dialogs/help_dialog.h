// Help: the user guide that comes with the program ("res/user-guide.md"),
// shown as a formatted document whose links open in the browser, and Close.
#pragma once

#include "toolkit/dialog_base.h"

namespace tvq {

class HelpDialog final : public DialogBase {
  public:
    static constexpr const char* kGuideFile = "user-guide.md";

    HelpDialog(const LanguageManager* language, QWidget* owner);

  protected:
    void setup() override;
};

}  // namespace tvq
