// What the settings page opens besides its controls, with the dialogs of
// dialogs/: the colour picker, the profile name dialog, the message dialog,
// file dialogs, the key buttons' function menus, the shortcut dialog, the
// macro picker and the macro editor, and the desktop's mouse settings.
#pragma once

#include <QString>
#include <memory>

#include "base/clock.h"
#include "page/page_dialogs.h"

class QWidget;

namespace tvq {

class InputHook;
class KeyNames;
class LanguageManager;
class LibraryMessages;
class LoadedMenu;
class MouseSession;

class PageDialogLauncher final : public PageDialogs {
  public:
    // `findControl` finds a control of the page by name (null when the
    // layout lacks it).
    PageDialogLauncher(const LanguageManager& language, const KeyNames& keys, MouseSession& session,
                       std::function<QWidget*(std::string_view)> findControl);
    ~PageDialogLauncher() override;

    // The window the dialogs belong to, the input hook and the object its
    // reports reach (both may be null: the dialogs then take their own key
    // events only).
    void setOwner(QWidget* owner, InputHook* hook, LibraryMessages* hookMessages);

    // The function menu open now; null when none is.
    LoadedMenu* functionMenu() const { return functionMenu_.get(); }

    std::optional<std::uint32_t> pickColour(std::string_view anchorControl,
                                            std::uint32_t argb) override;
    void openDesktopMouseSettings() override;
    std::optional<std::u16string> askProfileName(const NameRequest& request) override;
    bool confirm(std::string_view textKey, const std::vector<std::string>& arguments,
                 std::string_view verbKey) override;
    void tell(std::string_view textKey, const std::vector<std::string>& arguments) override;
    std::optional<std::string> chooseProfileFile(bool forSaving,
                                                 const std::string& name = {}) override;
    void openFunctionMenu(std::string_view menuFile, std::string_view keyButton,
                          std::function<void(std::string_view item)> picked) override;
    std::optional<ShortcutChoice> askShortcut(const ShortcutChoice& start) override;
    std::optional<MacroChoice> pickMacro(const MacroChoice& start) override;
    void openMacroEditor(MacroBindings& bindings) override;

  private:
    const LanguageManager& language_;
    const KeyNames& keys_;
    MouseSession& session_;
    std::function<QWidget*(std::string_view)> findControl_;
    QWidget* owner_ = nullptr;
    QString lastFolder_;  // of the last profile file chosen, for the next
    InputHook* hook_ = nullptr;
    LibraryMessages* hookMessages_ = nullptr;
    std::unique_ptr<LoadedMenu> functionMenu_;
    SystemClock ticks_;  // times recorded delays
};

}  // namespace tvq
