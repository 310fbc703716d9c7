// About the program: its icon, name and version, a line on what it does, its
// licence and a link to its home page, and Close.
#pragma once

#include "toolkit/dialog_base.h"

namespace tvq {

class AboutDialog final : public DialogBase {
  public:
    static constexpr const char* kHomePage = "https://github.com/tvq-config/tvq-config";

    AboutDialog(const LanguageManager* language, QWidget* owner);

  protected:
    void setup() override;
};

}  // namespace tvq
