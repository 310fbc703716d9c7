// The program's own settings, apart from the mouse's: what it tells the
// user about the battery. Kept in a file of their own under the user's
// configuration folder; the stores of the mouse's settings do not hold them.
#pragma once

namespace tvq {

struct BatteryAlertSettings {
    bool enabled = true;  // notifications at all
    int low = 20;         // percent: "battery low" at or below it
    int critical = 10;    // percent: "battery critical" at or below it; at most `low`

    static constexpr int kMinPercent = 5;
    static constexpr int kMaxPercent = 95;

    bool valid() const {
        return low >= kMinPercent && low <= kMaxPercent && critical >= kMinPercent &&
               critical <= low;
    }
    bool operator==(const BatteryAlertSettings&) const = default;
};

struct ProgramSettings {
    BatteryAlertSettings battery;
    bool operator==(const ProgramSettings&) const = default;
};

}  // namespace tvq
