// The profile name dialog: a title (naming the profile being renamed), a
// labelled name field of at most 49 UTF-16 units that starts with a
// suggested or the current name, selected, a line that says what is wrong
// with the name while something is, OK (enabled only for a usable name),
// Cancel and a close button. A name is usable when it is not empty and no
// other profile has it, letter case ignored.
#pragma once

#include <QString>
#include <string>

#include "toolkit/dialog_base.h"

namespace tvq {

class ProfileStore;

class ProfileNameDialog final : public DialogBase {
  public:
    // `titleKey`'s text takes `prefill` as its argument; `renaming` is the
    // row of the profile being renamed (-1 for a new one).
    ProfileNameDialog(const LanguageManager* language, QString titleKey, QString prefill,
                      int renaming, const ProfileStore& profiles, QWidget* owner);

    // The name the user confirmed; empty until then.
    const QString& acceptedName() const { return accepted_; }

  protected:
    void setup() override;

  private:
    // Says what keeps the typed name from being used, and enables OK when
    // nothing does.
    void check();
    void onOk();

    const LanguageManager* language_;
    QString titleKey_;
    QString prefill_;
    int renaming_;
    const ProfileStore& profiles_;
    QString accepted_;
};

}  // namespace tvq
