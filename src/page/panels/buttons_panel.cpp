#include "page/panels/buttons_panel.h"

#include "page/controls.h"
#include "page/function_catalogue.h"

namespace tvq {

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

void ButtonsPanel::showKeyOverlay(std::string_view keyButton, bool shown) {
    if (const int k = controlNumber(keyButton, control::kKeyButton, control::kKeyButtonCount)) {
        view_.setVisible(numbered(control::kKeyOverlay, static_cast<std::size_t>(k)), shown);
    }
}

}  // namespace tvq
