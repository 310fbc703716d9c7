// The mouse settings page on the main window's controls: the page's logic
// (SettingsPage) drives the controls through this view and binds their
// handlers through it; the dialogs it opens come from PageDialogLauncher.
#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <memory>

#include "base/clock.h"
#include "page/settings_page.h"
#include "page_widgets/page_dialog_launcher.h"

class QWidget;

class QListWidgetItem;

namespace tvq {

class ControlBinder;
class InputHook;
class LanguageManager;
class LibraryMessages;
class WindowBase;

class SettingsPageView final : public QObject, public ListPageView {
    Q_OBJECT

  public:
    SettingsPageView(const LanguageManager& language, const KeyNames& keys, MouseSession& session);
    ~SettingsPageView() override;

    // The main window's set-up, before the session's links start: finds the
    // controls of its layout and binds them (`libraryWindow` relays the
    // input hook's reports to the dialogs that capture keys; `hook`, the
    // input hook).
    void attach(WindowBase& window, LibraryMessages* libraryWindow, InputHook* hook);
    // The window's later parts are built: their controls are found, bound,
    // named and shown with the profile's values.
    void attachLaterParts();

    SettingsPage& logic() { return logic_; }
    PageDialogLauncher& dialogs() { return dialogs_; }
    QWidget* boundControl(std::string_view name) const;

    // ControlEvents
    void onClick(std::string_view control, std::function<void()> handler) override;
    void onToggle(std::string_view control, std::function<void(bool)> handler) override;
    void onOptionSelected(std::string_view control, std::function<void()> handler) override;
    void onItemChosen(std::string_view control, std::function<void(int)> handler) override;
    void onValueChanged(std::string_view control, std::function<void(int)> handler) override;
    void onHover(std::string_view control, std::function<void(bool)> handler) override;
    void onKey(std::string_view control, std::string_view key,
               std::function<void()> handler) override;

    // ListPageView
    bool exists(std::string_view control) const override;
    void setVisible(std::string_view control, bool visible) override;
    void setEnabled(std::string_view control, bool enabled) override;
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
    void setStyleState(std::string_view control, std::string_view state) override;
    void setToolTipKey(std::string_view control, std::string_view key) override;
    std::unique_ptr<Ticker> makeTicker(std::function<void()> tick) override;
    void appendListRow(std::string_view list, std::string_view text) override;
    void removeListRow(std::string_view list, int row) override;
    void setListRowText(std::string_view list, int row, std::string_view text) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static void showRowText(QListWidgetItem& item, const QString& text);
    // Finds the controls not found yet, binds them, names them and shows
    // them as the page stands.
    void takeNewControls();
    void findControls();
    void keepApplyButtonInPlace();
    // The icon beside the write status: an error's, success's, or none.
    void showApplyStatusIcon(const QString& state);
    // The line under the apply button has room for this many lines.
    static constexpr int kApplyStatusLines = 2;
    bool bindable(std::string_view control) const;
    // Binds `handler` through `bind` when the page found `control`.
    template <class Handler>
    void bindFound(std::string_view control, void (ControlBinder::*bind)(const QString&, Handler),
                   Handler handler);

    const LanguageManager& language_;
    WindowBase* window_ = nullptr;
    QHash<QString, QWidget*> controls_;  // owned by the window's layout
    QSet<QString> boundEarlier_;         // their handlers are bound
    PageDialogLauncher dialogs_;
    SettingsPage logic_;
};

}  // namespace tvq
