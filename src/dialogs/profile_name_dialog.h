// The profile name dialog: a title, a name field of at most 49 UTF-16 units,
// OK, Cancel and a close button. It accepts a name only when it is not empty
// and no profile has it, letter case ignored (the profile being renamed
// included); otherwise it says why and stays open.
#pragma once

#include <QString>
#include <string>

#include "toolkit/dialog_base.h"

namespace tvq {

class ProfileStore;

class ProfileNameDialog final : public DialogBase {
  public:
    ProfileNameDialog(const LanguageManager* language, QString titleKey,
                      const ProfileStore& profiles, QWidget* owner);

    // The name the user confirmed; empty until then.
    const QString& acceptedName() const { return accepted_; }

  protected:
    void setup() override;

  private:
    void onOk();

    const LanguageManager* language_;
    QString titleKey_;
    const ProfileStore& profiles_;
    QString accepted_;
};

}  // namespace tvq
