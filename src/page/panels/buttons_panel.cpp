#include "page/panels/buttons_panel.h"

#include <algorithm>

#include "base/text.h"
#include "editing/macro_choice.h"
#include "page/controls.h"
#include "page/function_catalogue.h"

namespace tvq {
namespace {

constexpr std::size_t kFirstOwnMenuButton = 12;
constexpr std::size_t kLastOwnMenuButton = 15;

// Binding bytes 3 to 6: the key and its padding.
void clearShortcutKey(ButtonBinding& b) {
    b.shortcutKey = 0;
    b.shortcutPad.fill(0);
}

void copyMacro(ButtonBinding& b, const MacroRecord& macro) {
    b.macroName = macro.name;
    b.macroActionCount = static_cast<std::uint16_t>(macro.actionCount & 0xFFFF);
    b.macroActions = macro.actions;
}

bool namesAMacro(const ButtonBinding& b) {
    return b.function == function::kMacro || !fieldText(b.macroName).empty();
}

}  // namespace

std::string_view functionMenuFile(std::size_t buttonIndex) {
    if (buttonIndex >= kFirstOwnMenuButton && buttonIndex <= kLastOwnMenuButton) {
        return "MS/MS_1/ms_1_menu_1.xml";
    }
    return "MS/MS_1/ms_1_menu.xml";
}

void ButtonsPanel::refresh(const Profile& current) {
    if (current.buttonMode == 0 || current.buttonMode == 1) {
        view_.selectOption(numbered(control::kOptionButtonMode, current.buttonMode + 1));
    } else {
        view_.clearOptions(control::kOptionButtonMode, control::kButtonModeOptionCount);
    }
    for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
        refreshKeyText(current, k);
    }
}

void ButtonsPanel::showButtonMode(std::int32_t buttonMode) {
    if (buttonMode == 0 || buttonMode == 1) {
        view_.selectOption(numbered(control::kOptionButtonMode, buttonMode + 1));
    }
}

void ButtonsPanel::refreshKeyText(const Profile& current, std::size_t buttonIndex) {
    if (buttonIndex >= layout::mode::kUsedBindingCount) {
        return;
    }
    const KeyButtonText t = keyButtonText(modeOf(current).buttons[buttonIndex], keys_, texts_);
    const std::string control = numbered(control::kKeyButton, buttonIndex + 1);
    if (t.isLanguageKey) {
        view_.setTextKey(control, t.text);
    } else {
        view_.setText(control, t.text);
    }
}

void ButtonsPanel::refreshAllKeyTexts() {
    if (const Profile* current = session_.profiles().current()) {
        for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
            refreshKeyText(*current, k);
        }
    }
}

void ButtonsPanel::showKeyOverlay(std::size_t buttonIndex, bool shown) {
    view_.setVisible(numbered(control::kKeyOverlay, buttonIndex + 1), shown);
}

void ButtonsPanel::bind(ControlEvents& events) {
    for (std::size_t k = 1; k <= control::kKeyButtonCount; ++k) {
        const std::string key = numbered(control::kKeyButton, k);
        events.onClick(key, [this, k] { openFunctionMenu(k - 1); });
        events.onKey(key, "Return", [this, k] { openFunctionMenu(k - 1); });
        events.onHover(key, [this, k](bool entered) { showKeyOverlay(k - 1, entered); });
    }
}

void ButtonsPanel::openFunctionMenu(std::size_t buttonIndex) {
    if (buttonIndex >= layout::mode::kUsedBindingCount) {
        return;
    }
    if (dialogs_ != nullptr) {
        dialogs_->openFunctionMenu(
            functionMenuFile(buttonIndex), numbered(control::kKeyButton, buttonIndex + 1),
            [this, buttonIndex](std::string_view item) { assignFunction(buttonIndex, item); });
    }
}

bool ButtonsPanel::completeShortcut(ButtonBinding& b, bool& becomesShortcut) {
    if (b.function != function::kShortcut) {
        clearShortcutKey(b);
    }
    const ShortcutChoice start{
        static_cast<std::uint8_t>(b.shortcutModifiers & layout::binding::kModifierBits),
        b.shortcutKey};
    const std::optional<ShortcutChoice> chosen = dialogs_->askShortcut(start);
    if (!chosen) {
        return false;
    }
    b.shortcutKey = chosen->key;
    b.shortcutModifiers = chosen->modifiers & layout::binding::kModifierBits;
    // With neither key nor modifier the key bytes are kept, the function not.
    becomesShortcut = chosen->key != 0 || b.shortcutModifiers != 0;
    return true;
}

bool ButtonsPanel::completeMacro(ButtonBinding& b) {
    const MacroStore& macros = session_.macros();
    if (macros.size() == 0) {
        dialogs_->tell("no_macros_text");
        return false;
    }
    MacroChoice start;
    if (b.function == function::kMacro) {
        const bool named =
            b.macroIndex >= 0 && static_cast<std::size_t>(b.macroIndex) < macros.size();
        start.index = named ? b.macroIndex : -1;
        start.repeatMode = std::clamp<std::int32_t>(b.macroRepeatMode, 0, kLastRepeatMode);
        start.loopCount = std::clamp<std::int32_t>(b.macroLoopCount, kMinLoopCount, kMaxLoopCount);
    }
    const std::optional<MacroChoice> chosen = dialogs_->pickMacro(start);
    if (!chosen || chosen->index < 0 || static_cast<std::size_t>(chosen->index) >= macros.size()) {
        return false;
    }
    b.macroRepeatMode = std::clamp<std::int32_t>(chosen->repeatMode, 0, kLastRepeatMode);
    b.macroLoopCount = std::clamp<std::int32_t>(chosen->loopCount, kMinLoopCount, kMaxLoopCount);
    b.macroIndex = chosen->index;
    copyMacro(b, macros.at(static_cast<std::size_t>(chosen->index)));
    return true;
}

void ButtonsPanel::assignFunction(std::size_t index, std::string_view menuItem) {
    const Profile* current = session_.profiles().current();
    if (current == nullptr || index >= layout::mode::kUsedBindingCount) {
        return;
    }
    const std::uint8_t code = functionForMenuItem(menuItem);
    if (!keepsALeftClick(modeOf(*current), index, code)) {
        if (dialogs_ != nullptr) {
            dialogs_->tell("one_click_text");
        }
        return;
    }
    // The binding is completed on a copy: a cancelled dialog leaves the
    // profile as it was.
    ButtonBinding b = modeOf(*current).buttons[index];
    bool assign = true;
    if (code == function::kShortcut) {
        if (dialogs_ == nullptr || !completeShortcut(b, assign)) {
            return;
        }
    } else if (code == function::kMacro) {
        if (dialogs_ == nullptr || !completeMacro(b)) {
            return;
        }
    }
    if (assign) {
        b.function = code;
    }
    session_.edit([&](Profile& p) { storeBinding(p, index, b); },
                  assign ? AfterEdit::kApply : AfterEdit::kSave);
    if (const Profile* now = session_.profiles().current()) {
        refreshKeyText(*now, index);
    }
}

void ButtonsPanel::macroRenamed(std::u16string_view from, std::u16string_view to) {
    bool changed = false;
    session_.profiles().editEvery([&](Profile& p, bool) {
        for (ModeSettings& m : p.modes) {
            for (ButtonBinding& b : m.buttons) {
                if (namesAMacro(b) && equalIgnoringCase(fieldText(b.macroName), from)) {
                    setFieldText(b.macroName, to);
                    changed = true;
                }
            }
        }
    });
    if (changed) {
        // The frames carry no names: the profiles are written, nothing sent.
        session_.link().requestSave();
        refreshAllKeyTexts();
    }
}

MacroBindings::Count ButtonsPanel::boundTo(std::u16string_view name) const {
    Count count;
    for (const auto& p : session_.profiles().profiles()) {
        // A button counts once, in whichever mode slots it names the macro.
        int here = 0;
        for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
            const bool bound = std::any_of(p->modes.begin(), p->modes.end(), [&](const auto& m) {
                const ButtonBinding& b = m.buttons[k];
                return namesAMacro(b) && equalIgnoringCase(fieldText(b.macroName), name);
            });
            here += bound ? 1 : 0;
        }
        count.buttons += here;
        count.profiles += here > 0 ? 1 : 0;
    }
    return count;
}

void ButtonsPanel::syncMacroBindings() {
    const MacroStore& macros = session_.macros();
    bool changed = false;
    bool currentLookedUp = false;
    session_.profiles().editEvery([&](Profile& p, bool selected) {
        for (std::size_t slot = 0; slot < p.modes.size(); ++slot) {
            for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
                ButtonBinding& b = p.modes[slot].buttons[k];
                if (!namesAMacro(b)) {
                    continue;
                }
                currentLookedUp = currentLookedUp || selected;
                const ButtonBinding before = b;
                if (const MacroRecord* macro = macros.findByName(fieldText(b.macroName))) {
                    copyMacro(b, *macro);
                } else {
                    // A button whose macro is gone takes the default shared
                    // by slots 0, 2, 3 and 4, in every slot.
                    b = ButtonBinding{};
                    b.function = defaultFunction(0, k);
                    b.macroIndex = -1;
                }
                changed = changed || !(b == before);
            }
        }
    });
    if (currentLookedUp) {
        refreshAllKeyTexts();
        session_.requestApply();
    } else if (changed) {
        session_.link().requestSave();
    }
}

}  // namespace tvq
