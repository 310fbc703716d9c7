#include "json_view.h"

#include <algorithm>
#include <cstdio>

#include "base/text.h"

namespace tvq {
namespace {

using Json = nlohmann::ordered_json;

Json actionsJson(std::span<const MacroAction> actions) {
    Json list = Json::array();
    for (const MacroAction& a : actions) {
        list.push_back({{"code", a.code}, {"type", a.type}, {"delay", a.delay}});
    }
    return list;
}

Json colorsJson(const ColorTable& colors) {
    Json list = Json::array();
    for (std::uint32_t c : colors) {
        list.push_back(colorText(c));
    }
    return list;
}

std::string hexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", b);
        text += pair;
    }
    return text;
}

Json bindingJson(const ButtonBinding& b) {
    // The bound macro's actions as the mouse gets them: the copy's count,
    // bounded by the slots the binding has.
    const std::size_t used = std::min<std::size_t>(b.macroActionCount, b.macroActions.size());
    return {
        {"buttonIndex", b.buttonIndex},
        {"function", b.function},
        {"reservedFlag", b.reservedFlag},
        {"shortcutKey", b.shortcutKey},
        {"shortcutModifiers", b.shortcutModifiers},
        {"reservedWord", b.reservedWord},
        {"macro",
         {
             {"name", utf8FromUtf16(fieldText(b.macroName))},
             {"repeatMode", b.macroRepeatMode},
             {"loopCount", b.macroLoopCount},
             {"actionCount", b.macroActionCount},
             {"index", b.macroIndex},
             {"optionByte", b.macroOptionByte},
             {"actions", actionsJson(std::span(b.macroActions).first(used))},
         }},
        {"reservedIndex", b.reservedIndex},
    };
}

Json modeJson(const ModeSettings& m, std::size_t slot) {
    Json buttons = Json::array();
    for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
        buttons.push_back(bindingJson(m.buttons[k]));
    }
    return {
        {"slot", slot},
        {"reservedHead", hexBytes(m.reservedHead)},
        {"reservedTextA", utf8FromUtf16(fieldText(m.reservedTextA))},
        {"reservedTextB", utf8FromUtf16(fieldText(m.reservedTextB))},
        {"reservedValueA", m.reservedValueA},
        {"reservedValueB", m.reservedValueB},
        {"reservedFlagA", m.reservedFlagA},
        {"reservedValueC", m.reservedValueC},
        {"dpiAux", m.dpiAux},
        {"dpiReportA", m.dpiReportA},
        {"dpiReportB", m.dpiReportB},
        {"dpiValue", m.dpiValue},
        {"dpiValueAlt", m.dpiValueAlt},
        {"dpiEnabled", m.dpiEnabled},
        {"brightness", m.brightness},
        {"breathSpeed", m.breathSpeed},
        {"sleepTimer", m.sleepTimer},
        {"dpiStage", m.dpiStage},
        {"pollingRate", m.pollingRate},
        {"movementMode", m.movementMode},
        {"lightMode", m.lightMode},
        {"lightModeBle", m.lightModeBle},
        {"reservedFlagB", m.reservedFlagB},
        {"lightAux", m.lightAux},
        {"lightColor", colorText(m.lightColor)},
        {"dpiColor", colorsJson(m.dpiColor)},
        {"paletteColor", colorsJson(m.paletteColor)},
        {"reservedValueD", m.reservedValueD},
        {"buttons", buttons},
    };
}

}  // namespace

std::string colorText(std::uint32_t stored) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", shownColor(stored) & 0xFFFFFFu);
    return text;
}

nlohmann::ordered_json profileJson(const Profile& profile) {
    Json modes = Json::array();
    for (std::size_t slot = 0; slot < profile.modes.size(); ++slot) {
        modes.push_back(modeJson(profile.modes[slot], slot));
    }
    return {
        {"name", utf8FromUtf16(fieldText(profile.name))},
        {"buttonMode", profile.buttonMode},
        {"modes", modes},
    };
}

nlohmann::ordered_json macroJson(const MacroRecord& record) {
    const auto used = static_cast<std::size_t>(std::clamp<std::int32_t>(
        record.actionCount, 0, static_cast<std::int32_t>(layout::macro::kMaxActions)));
    return {
        {"name", utf8FromUtf16(fieldText(record.name))},
        {"reserved", record.reserved},
        {"actionCount", record.actionCount},
        {"actions", actionsJson(std::span(record.actions).first(used))},
    };
}

}  // namespace tvq
