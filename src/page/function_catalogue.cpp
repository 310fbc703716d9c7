#include "page/function_catalogue.h"

#include <algorithm>
#include <utility>

#include "base/text.h"
#include "profiles/record_layout.h"

namespace tvq {

bool keepsALeftClick(const ModeSettings& mode, std::size_t changed, std::uint8_t code) {
    for (std::size_t k = 0; k < kClickableButtons; ++k) {
        if ((k == changed ? code : mode.buttons[k].function) == kLeftClickFunction) {
            return true;
        }
    }
    return false;
}

std::uint8_t functionForMenuItem(std::string_view item) {
    for (const ButtonFunction& f : kButtonFunctions) {
        if (!f.menuItem.empty() && equalIgnoringAsciiCase(f.menuItem, item)) {
            return f.code;
        }
    }
    return kLeftClickFunction;
}

std::string_view functionTextKey(std::uint8_t code) {
    const ButtonFunction* f = buttonFunction(code);
    return f != nullptr ? f->textKey : std::string_view();
}

KeyButtonText keyButtonText(const ButtonBinding& binding, const KeyNames& keys,
                            const TextSource& texts) {
    if (binding.function == function::kShortcut) {
        constexpr std::array<std::pair<std::uint8_t, const char*>, 4> kModifiers = {{
            {layout::binding::kModCtrl, "keyboard_ctrl_text"},
            {layout::binding::kModShift, "keyboard_shift_text"},
            {layout::binding::kModAlt, "keyboard_alt_text"},
            {layout::binding::kModWin, "keyboard_win_text"},
        }};
        std::string text;
        for (const auto& [bit, key] : kModifiers) {
            if ((binding.shortcutModifiers & bit) != 0) {
                text += texts.text(key) + "+";
            }
        }
        return {text + keys.keyNameFromCode(binding.shortcutKey), false};
    }
    if (binding.function == function::kMacro) {
        return {texts.text("assign_macro_text") + utf8FromUtf16(fieldText(binding.macroName)),
                false};
    }
    return {std::string(functionTextKey(binding.function)), true};
}

}  // namespace tvq
