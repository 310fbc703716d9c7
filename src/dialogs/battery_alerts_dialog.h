// Battery notifications: a switch, the low and the critical level (the
// critical one never above the low one), OK, Cancel and a close button.
#pragma once

#include "program/program_settings.h"
#include "toolkit/dialog_base.h"

namespace tvq {

class BatteryAlertsDialog final : public DialogBase {
  public:
    BatteryAlertsDialog(const LanguageManager* language, BatteryAlertSettings current,
                        QWidget* owner);

    // What the dialog shows now: after OK, what the user chose.
    BatteryAlertSettings chosen() const;

  protected:
    void setup() override;

  private:
    // The levels can be changed only while notifications are on; the
    // critical level stays at or below the low one.
    void follow();

    BatteryAlertSettings current_;
};

}  // namespace tvq
