// The page's dialogs answered from a script, and what was asked written down.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "page/page_dialogs.h"

namespace tvq::testing {

class FakePageDialogs final : public PageDialogs {
  public:
    std::optional<std::uint32_t> colour;  // nothing: the picker is cancelled
    std::optional<std::u16string> name;   // nothing: the name dialog is cancelled
    bool confirmed = true;
    std::optional<std::string> file;  // nothing: the file dialog is cancelled
    std::vector<std::pair<std::string, std::uint32_t>> picks;
    std::vector<std::string> asked;  // every dialog, with its text key
    int mouseSettings = 0;
    std::vector<std::pair<std::string, std::string>> menus;  // file, key button
    std::optional<ShortcutChoice> shortcut;                  // nothing: the dialog is cancelled
    std::optional<ShortcutChoice> shortcutStart;
    std::optional<MacroChoice> macro;  // nothing: the picker is cancelled
    std::optional<MacroChoice> macroStart;

    std::optional<std::uint32_t> pickColour(std::string_view anchor, std::uint32_t argb) override {
        picks.emplace_back(anchor, argb);
        return colour;
    }
    void openDesktopMouseSettings() override { ++mouseSettings; }
    std::optional<NameRequest> nameRequest;
    std::optional<std::u16string> askProfileName(const NameRequest& request) override {
        asked.push_back("name " + request.titleKey);
        nameRequest = request;
        return name;
    }
    std::vector<std::string> confirmArguments;
    std::string confirmVerb;
    bool confirm(std::string_view textKey, const std::vector<std::string>& arguments,
                 std::string_view verbKey) override {
        asked.push_back("confirm " + std::string(textKey));
        confirmArguments = arguments;
        confirmVerb = verbKey;
        return confirmed;
    }
    void tell(std::string_view textKey, const std::vector<std::string>& arguments) override {
        std::string told = "tell " + std::string(textKey);
        for (const std::string& a : arguments) {
            told += " " + a;
        }
        asked.push_back(told);
    }
    std::optional<std::string> chooseProfileFile(bool forSaving,
                                                 const std::string& name = {}) override {
        asked.push_back(forSaving ? "save file " + name : "open file");
        return file;
    }
    // The menu open last; pick() answers it as the user's choice would.
    std::function<void(std::string_view)> openMenu;
    void openFunctionMenu(std::string_view menuFile, std::string_view keyButton,
                          std::function<void(std::string_view)> picked) override {
        menus.emplace_back(menuFile, keyButton);
        openMenu = std::move(picked);
    }
    void pick(std::string_view item) {
        if (openMenu) {
            openMenu(item);
        }
    }
    std::optional<ShortcutChoice> askShortcut(const ShortcutChoice& start) override {
        shortcutStart = start;
        return shortcut;
    }
    // What the editor does while it is open (the test's edits of the store).
    std::function<void()> macroEditor;
    MacroBindings* editorBindings = nullptr;
    void openMacroEditor(MacroBindings& bindings) override {
        editorBindings = &bindings;
        asked.push_back("macro editor");
        if (macroEditor) {
            macroEditor();
        }
    }
    std::optional<MacroChoice> pickMacro(const MacroChoice& start) override {
        macroStart = start;
        return macro;
    }
};

}  // namespace tvq::testing
