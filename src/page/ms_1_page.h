// The mouse settings page on the main window's controls. It binds the
// page's controls by name, hands their notifications to the page's logic,
// gives every operable control an accessible name, and gives the logic its
// screen: controls, control timers and the main window's messages.
#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>

#include "app/hook_library.h"
#include "app/main_window_logic.h"
#include "base/clock.h"

#include "page/page_dialogs.h"
#include "page/settings_page.h"

class QWidget;

namespace tvq {

class LanguageManager;
class LibraryMessages;
class PopupMenu;
class WindowImplBase;

class CMS_1_Page final : public QObject, public ListPageView, public PageDialogs {
  public:
    CMS_1_Page(const LanguageManager& language, const KeyNames& keys, MouseSession& session);
    ~CMS_1_Page() override;

    // The main window's set-up: binds the controls of its layout and starts
    // the links (libraries from `programFolder`, posting to
    // `libraryWindow`; `bleFound`, the Bluetooth LE probe).
    void attach(WindowImplBase& window, LibraryLoader& loader, const std::string& programFolder,
                MessageWindow* libraryWindow, bool bleFound);
    void loadProfiles() { logic_.loadProfiles(); }
    // What the main window lends the page: the input hook's functions and
    // the window its input is posted to (for the shortcut dialog), and the
    // route of a picked menu item, which comes back as assignFunction.
    void setMainWindowParts(const HookFunctions* hooks, LibraryMessages* hookMessages,
                            std::function<void(const MenuCommand&)> menuRoute);
    // The function menu open now; null when none is.
    PopupMenu* functionMenu() const { return functionMenu_.get(); }
    // Where a function menu of `height` pixels opens beside `keyButton`:
    // at its right edge and top, moved up when it would leave `screen`.
    static QPoint functionMenuPlace(const QRect& keyButton, int height, const QRect& screen);

    SettingsPage& logic() { return logic_; }
    QWidget* boundControl(std::string_view name) const;

    // ListPageView
    bool exists(std::string_view control) const override;
    void setVisible(std::string_view control, bool visible) override;
    bool isVisible(std::string_view control) const override;
    bool isChecked(std::string_view control) const override;
    void selectOption(std::string_view control) override;
    void setChecked(std::string_view control, bool checked) override;
    void setText(std::string_view control, std::string_view text) override;
    void setTextKey(std::string_view control, std::string_view key) override;
    void setProgress(std::string_view control, int value) override;
    void setSliderValue(std::string_view control, int value) override;
    void selectItem(std::string_view control, int index) override;
    void setBackgroundColor(std::string_view control, std::uint32_t argb) override;
    void startControlTimer(std::string_view control, int id, int ms) override;
    void stopControlTimer(std::string_view control, int id) override;
    void postMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void appendListRow(std::string_view list, std::string_view text) override;
    void removeListRow(std::string_view list, int row) override;
    void setListRowText(std::string_view list, int row, std::string_view text) override;

    // PageDialogs
    std::optional<std::uint32_t> pickColour(std::string_view anchorControl,
                                            std::uint32_t argb) override;
    void openDesktopMouseSettings() override;
    std::optional<std::u16string> askProfileName(std::string_view titleKey) override;
    bool confirm(std::string_view textKey) override;
    void tell(std::string_view textKey) override;
    std::optional<std::string> chooseProfileFile(bool forSaving) override;
    void openFunctionMenu(std::string_view menuFile, std::string_view keyButton) override;
    std::optional<ShortcutChoice> askShortcut(const ShortcutChoice& start) override;
    std::optional<MacroChoice> pickMacro(const MacroChoice& start) override;
    void openMacroEditor() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void bind();
    void nameForAccessibility();

    const LanguageManager& language_;
    const KeyNames& keys_;
    WindowImplBase* window_ = nullptr;
    const HookFunctions* hooks_ = nullptr;
    LibraryMessages* hookMessages_ = nullptr;
    std::function<void(const MenuCommand&)> menuRoute_;
    std::unique_ptr<PopupMenu> functionMenu_;
    SystemClock ticks_;                  // times recorded delays
    QHash<QString, QWidget*> controls_;  // owned by the window's layout
    MouseSession& session_;
    SettingsPage logic_;
};

}  // namespace tvq
