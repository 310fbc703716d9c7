#include "program/battery_alerts.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/text.h"
#include "fake_texts.h"

namespace tvq {
namespace {

using Link = MouseStatus::Link;

MouseStatus onReceiver(int battery, bool asleep = false) {
    return {Link::kReceiver, battery, false, asleep};
}
MouseStatus onCable(int battery) {
    return {Link::kCable, battery, true, false};
}

// Feeds every status and collects what was told.
std::vector<BatteryAlert> alertsOf(BatteryAlerts& alerts, const std::vector<MouseStatus>& series) {
    std::vector<BatteryAlert> told;
    for (const MouseStatus& s : series) {
        if (auto a = alerts.update(s)) {
            told.push_back(*a);
        }
    }
    return told;
}

TEST(BatteryAlertsTest, FallingToTheThresholdsTellsOnceEachWhatSleepsOrIsAwayIsNotLookedAt) {
    BatteryAlerts alerts;
    std::vector<MouseStatus> series;
    for (int level = 60; level >= 10; level -= 10) {
        series.push_back(onReceiver(level));
        series.push_back(onReceiver(level));             // the next heartbeat, unchanged
        series.push_back(onReceiver(level - 10, true));  // asleep: not read
        series.push_back(onReceiver(0));                 // unknown level
        series.push_back({Link::kNone, 0, false, false});
    }
    EXPECT_EQ(alertsOf(alerts, series),
              (std::vector<BatteryAlert>{BatteryAlert::kLow, BatteryAlert::kCritical}));

    BatteryAlerts straightToCritical;
    EXPECT_EQ(alertsOf(straightToCritical, {onReceiver(10), onReceiver(20)}),
              std::vector<BatteryAlert>{BatteryAlert::kCritical});
}

TEST(BatteryAlertsTest, OnlyChargingTenPointsAboveAThresholdMakesItTellAgain) {
    BatteryAlerts wandering;
    EXPECT_EQ(alertsOf(wandering, {onReceiver(20), onReceiver(30), onReceiver(20)}),
              std::vector<BatteryAlert>{BatteryAlert::kLow});

    BatteryAlerts charged;
    EXPECT_EQ(alertsOf(charged,
                       {onReceiver(20), onCable(20), onCable(30), onReceiver(30), onReceiver(20)}),
              (std::vector<BatteryAlert>{BatteryAlert::kLow, BatteryAlert::kLow}));

    // Charged elsewhere while away: it comes back well above the threshold.
    BatteryAlerts away;
    EXPECT_EQ(
        alertsOf(away,
                 {onReceiver(20), {Link::kNone, 0, false, false}, onReceiver(60), onReceiver(20)}),
        (std::vector<BatteryAlert>{BatteryAlert::kLow, BatteryAlert::kLow}));
}

TEST(BatteryAlertsTest, ChargingToAHundredTellsOnceUntilItRunsDownAgain) {
    BatteryAlerts alerts;
    EXPECT_EQ(alertsOf(alerts, {onCable(90), onCable(100), onCable(100), onCable(90), onCable(100),
                                onReceiver(100)}),
              std::vector<BatteryAlert>{BatteryAlert::kFull});
    EXPECT_EQ(alertsOf(alerts, {onReceiver(90), onCable(100)}),
              std::vector<BatteryAlert>{BatteryAlert::kFull});
}

TEST(BatteryAlertsTest, SettingsChangedWhileRunningTakeEffectAndOffTellsNothing) {
    BatteryAlerts alerts;
    EXPECT_EQ(alertsOf(alerts, {onReceiver(40)}), std::vector<BatteryAlert>{});
    alerts.setSettings({true, 40, 10});
    EXPECT_EQ(alertsOf(alerts, {onReceiver(40)}), std::vector<BatteryAlert>{BatteryAlert::kLow});

    alerts.setSettings({false, 40, 30});
    EXPECT_EQ(alertsOf(alerts, {onReceiver(30)}), std::vector<BatteryAlert>{});
    // Switched on again, it does not tell of the crossing it already passed.
    alerts.setSettings({true, 40, 30});
    EXPECT_EQ(alertsOf(alerts, {onReceiver(30)}), std::vector<BatteryAlert>{});
    EXPECT_EQ(alertsOf(alerts, {onReceiver(20)}), std::vector<BatteryAlert>{});
}

TEST(BatteryAlertsTest, TheStateAndTheAlertsInWords) {
    testing::FakeTexts texts;
    texts.texts = {{"status_receiver_text", "Connected through the receiver"},
                   {"status_not_connected_text", "Not connected"},
                   {"status_battery_text", "Battery %1 %"},
                   {"charging_text", "Charging"},
                   {"status_asleep_text", "Asleep"},
                   {"battery_low_title_text", "Mouse battery low"},
                   {"battery_low_body_text", "%1 % left."}};
    EXPECT_EQ(statusText({Link::kReceiver, 70, false, true}, texts),
              "Connected through the receiver\nBattery 70 %\nAsleep");
    EXPECT_EQ(statusText({Link::kNone, 70, true, true}, texts), "Not connected");
    const AlertText low = alertText(BatteryAlert::kLow, 20, texts);
    EXPECT_EQ(low.summary, "Mouse battery low");
    EXPECT_EQ(low.body, "20 % left.");
    EXPECT_EQ(formatText("%1 of %2, %3 %%9", {"3", "12"}), "3 of 12, %3 %%9");
}

}  // namespace
}  // namespace tvq
