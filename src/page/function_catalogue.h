// What the page makes of the button functions: the function a menu item
// assigns, the left-click rule, and the text of a key button.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_source.h"
#include "input/key_names.h"
#include "profiles/profile.h"
#include "protocol/button_functions.h"

namespace tvq {

// The left-click rule: in every mode slot, one of the buttons a hand presses
// (0..15; 16 and 17 are not) keeps the left click.
inline constexpr std::uint8_t kLeftClickFunction = 1;
inline constexpr std::size_t kClickableButtons = 16;
// Whether `mode` keeps it, with button `changed` holding `code` instead of
// its own function (an index past the clickable buttons changes none).
bool keepsALeftClick(const ModeSettings& mode, std::size_t changed = kClickableButtons,
                     std::uint8_t code = 0);

// The code a menu item assigns (item names compare without letter case); 1,
// the left click, for a name that is not in the catalogue.
std::uint8_t functionForMenuItem(std::string_view item);

// The text key of a code; empty for the composed ones and for unknown codes.
std::string_view functionTextKey(std::uint8_t code);

// What a key button shows: a literal text (shortcut, macro) or a language key.
struct KeyButtonText {
    std::string text;
    bool isLanguageKey = false;
};

// The key button's text for a binding: a shortcut as its modifiers' texts,
// each followed by "+", then the key's name; a macro as the text of
// "assign_macro_text" followed by its name; any other function by its text
// key (empty for codes not in the catalogue).
KeyButtonText keyButtonText(const ButtonBinding& binding, const KeyNames& keys,
                            const TextSource& texts);

}  // namespace tvq
