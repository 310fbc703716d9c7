// The macro picker: the macro library as a list, three repeat options and,
// for the first, a loop count of 1 to 255. It returns the list position
// chosen (-1 for none), the repeat option and the count; the caller copies
// the macro into the binding.
#pragma once

#include "editing/macro_choice.h"
#include "toolkit/dialog_base.h"

namespace tvq {

class MacroStore;

class MacroPickerDialog final : public DialogBase {
  public:
    MacroPickerDialog(const LanguageManager* language, const MacroStore& macros,
                      const MacroChoice& start, QWidget* owner);

    const MacroChoice& choice() const { return choice_; }

  protected:
    void setup() override;

  private:
    void selectRepeatMode(int mode);
    void filterLoopText(const QString& text);
    void takeLoopCount();

    const LanguageManager* language_;
    const MacroStore& macros_;
    MacroChoice choice_;
};

}  // namespace tvq
