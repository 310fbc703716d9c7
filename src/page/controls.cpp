#include "page/controls.h"

#include <algorithm>

namespace tvq {
namespace {

using K = ControlKind;
using P = Panel;

std::vector<ControlInfo> buildTable() {
    std::vector<ControlInfo> t;
    const auto add = [&t](std::string name, K kind, P panel, bool editable = false) {
        t.push_back({std::move(name), kind, panel, editable});
    };
    const auto addNumbered = [&add](const char* prefix, int count, K kind, P panel,
                                    bool editable = false) {
        for (int n = 1; n <= count; ++n) {
            add(numbered(prefix, static_cast<std::size_t>(n)), kind, panel, editable);
        }
    };
    addNumbered(control::kKeyButton, control::kKeyButtonCount, K::kButton, P::kButtons);
    addNumbered(control::kKeyOverlay, control::kKeyButtonCount, K::kLabel, P::kButtons);
    addNumbered(control::kOptionButtonMode, control::kButtonModeOptionCount, K::kOption,
                P::kButtons);
    add(control::kMacroButton, K::kButton, P::kButtons);
    add(control::kListProfile, K::kList, P::kProfileList, true);
    for (const char* c :
         {control::kProfileAdd, control::kProfileDelete, control::kProfileRename,
          control::kProfileImport, control::kProfileExport, control::kProfileReset}) {
        add(c, K::kButton, P::kProfileList);
    }
    for (const char* c : {control::kWired, control::kWireless, control::kBle}) {
        add(c, K::kLabel, P::kPage);
    }
    for (const SectionToggle& s : kSectionToggles) {
        add(s.check, K::kCheck, P::kPage, true);
    }
    for (const SectionToggle& s : kSectionToggles) {
        add(s.section, K::kSection, P::kPage);
    }
    addNumbered(control::kSliderDpi, control::kDpiStageControlCount, K::kSlider, P::kDpiStages);
    addNumbered(control::kLabelDpi, control::kDpiStageControlCount, K::kLabel, P::kDpiStages);
    addNumbered(control::kOptionDpiStep, control::kDpiStageControlCount, K::kOption, P::kDpiStages);
    addNumbered(control::kDpiColor, control::kDpiStageControlCount, K::kButton, P::kDpiStages);
    add(control::kComboLight, K::kCombo, P::kLighting);
    add(control::kComboLightBle, K::kCombo, P::kLighting);
    for (const char* c :
         {control::kHorBrightness, control::kHorBreathSpeed, control::kHorLightColor}) {
        add(c, K::kSection, P::kLighting);
    }
    add(control::kSliderBrightness, K::kSlider, P::kLighting);
    add(control::kSliderBreathSpeed, K::kSlider, P::kLighting);
    add(control::kLightColor, K::kButton, P::kLighting);
    addNumbered(control::kOptionPrate, control::kPrateOptionCount, K::kOption, P::kPollingRate);
    add(control::kLabelPrate, K::kLabel, P::kPollingRate);
    add(control::kMouseAttribute, K::kButton, P::kSystemMouse);
    add(control::kSliderSleep, K::kSlider, P::kSleepPower);
    add(control::kLabelSleep, K::kLabel, P::kSleepPower);
    add(control::kCheckMoveMode, K::kCheck, P::kSystemMouse);
    add(control::kApplyButton, K::kButton, P::kPage, true);
    add(control::kProgressPower, K::kProgress, P::kSleepPower);
    add(control::kLabelPower, K::kLabel, P::kSleepPower);
    add(control::kLowPowerLabel, K::kLabel, P::kSleepPower);
    add(control::kSleepLabel, K::kLabel, P::kPage);
    add(control::kApplyRing, K::kProgress, P::kPage);  // shown while an apply runs
    return t;
}

}  // namespace

std::span<const ControlInfo> pageControls() {
    static const std::vector<ControlInfo> table = buildTable();
    return table;
}

const ControlInfo* findPageControl(std::string_view name) {
    const auto table = pageControls();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [name](const ControlInfo& c) { return c.name == name; });
    return it != table.end() ? &*it : nullptr;
}

int controlNumber(std::string_view name, std::string_view prefix, int last) {
    if (name.substr(0, prefix.size()) != prefix) {
        return 0;
    }
    const std::string_view digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 2 || digits.front() == '0') {
        return 0;
    }
    int n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return 0;
        }
        n = n * 10 + (c - '0');
    }
    return n <= last ? n : 0;
}

}  // namespace tvq
