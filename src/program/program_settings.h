// The program's own settings, apart from the mouse's: what it tells the
// user about the battery, and which profile follows which application. Kept
// in a file of their own under the user's configuration folder; the stores
// of the mouse's settings do not hold them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// One application and the profile it calls for. An application is named by
// its desktop application id (a Wayland app id, a ".desktop" file's name
// without the extension) or its X11 WM_CLASS class. Both in UTF-8.
struct AppRule {
    std::string app;
    std::string profile;
    bool operator==(const AppRule&) const = default;
};

struct ApplicationRules {
    bool automatic = true;  // the switching as a whole
    std::vector<AppRule> rules;

    // Longer application ids are not ids.
    static constexpr std::size_t kMaxAppIdBytes = 255;
    // More rules are refused, so that the settings file stays well within
    // what its reader takes (SettingsFile::kMaxBytes).
    static constexpr std::size_t kMaxRules = 1000;

    // The rule for `app`, letter case ignored; null when there is none.
    const AppRule* find(std::string_view app) const;
    // Names `profile` for `app`, replacing the rule it had; an empty profile
    // removes the rule. False for an empty or overlong id, an id or profile
    // with control characters, and for a new rule beyond kMaxRules.
    bool set(std::string_view app, std::string_view profile);
    // The rules follow a profile that was renamed or deleted.
    void renameProfile(std::string_view from, std::string_view to);
    void removeProfile(std::string_view name);
    bool operator==(const ApplicationRules&) const = default;
};

// Light or dark: as the desktop prefers, or the user's own choice.
enum class AppearanceChoice { kSystem, kLight, kDark };

struct AppearanceSettings {
    AppearanceChoice choice = AppearanceChoice::kSystem;
    // What the desktop preferred when last asked: the first frame shows it
    // while the desktop is asked again.
    bool desktopDark = false;
    bool operator==(const AppearanceSettings&) const = default;
};

struct ProgramSettings {
    BatteryAlertSettings battery;
    ApplicationRules applications;
    AppearanceSettings appearance;
    // The page's sections the user closed, by their control names.
    std::vector<std::string> closedSections;
    // The language file the user chose ("de", "pt_BR"); empty follows the
    // desktop's locale.
    std::string language;
    // The user was told once that closing the window leaves the program in the tray.
    bool closedToTrayTold = false;
    bool operator==(const ProgramSettings&) const = default;
};

}  // namespace tvq
