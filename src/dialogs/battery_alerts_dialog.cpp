#include "dialogs/battery_alerts_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "toolkit/language.h"

namespace tvq {

BatteryAlertsDialog::BatteryAlertsDialog(const LanguageManager* language,
                                         BatteryAlertSettings current, QWidget* owner)
    : DialogBase("BatteryAlertsDialog", "battery_alerts.xml", language, owner), current_(current) {}

void BatteryAlertsDialog::setup() {
    if (language() != nullptr) {
        setWindowTitle(language()->text(QStringLiteral("battery_alerts_title_text")));
    }
    if (auto* check = control<QCheckBox>("check_notify")) {
        check->setChecked(current_.enabled);
        check->setFocus();
    }
    for (const auto& [spin, label, value] :
         {std::tuple{"spin_low", "low_label", current_.low},
          std::tuple{"spin_critical", "critical_label", current_.critical}}) {
        auto* box = control<QSpinBox>(QString::fromLatin1(spin));
        if (box == nullptr) {
            continue;
        }
        box->setRange(BatteryAlertSettings::kMinPercent, BatteryAlertSettings::kMaxPercent);
        box->setValue(value);
        if (auto* text = control<QLabel>(QString::fromLatin1(label))) {
            text->setBuddy(box);
            box->setAccessibleName(text->text().remove(QLatin1Char('&')));
        }
        connect(box, &QSpinBox::valueChanged, this, [this] { follow(); });
    }
    if (auto* ok = control<QPushButton>("btn_ok")) {
        ok->setDefault(true);
    }
    controls()->onToggled("check_notify", [this](bool) { follow(); });
    controls()->onClick("btn_ok", [this] { finish(1); });
    controls()->onClick("btn_cancel", [this] { finish(0); });
    follow();
}

void BatteryAlertsDialog::follow() {
    const bool on = chosen().enabled;
    for (const char* name : {"spin_low", "spin_critical", "low_label", "critical_label"}) {
        if (QWidget* w = control(QString::fromLatin1(name))) {
            w->setEnabled(on);
        }
    }
    auto* low = control<QSpinBox>("spin_low");
    auto* critical = control<QSpinBox>("spin_critical");
    if (low != nullptr && critical != nullptr) {
        critical->setMaximum(low->value());  // a lower low level pulls the critical one down
    }
}

BatteryAlertSettings BatteryAlertsDialog::chosen() const {
    BatteryAlertSettings s = current_;
    if (const auto* check = control<QCheckBox>("check_notify")) {
        s.enabled = check->isChecked();
    }
    if (const auto* low = control<QSpinBox>("spin_low")) {
        s.low = low->value();
    }
    if (const auto* critical = control<QSpinBox>("spin_critical")) {
        s.critical = critical->value();
    }
    return s.valid() ? s : current_;
}

}  // namespace tvq
