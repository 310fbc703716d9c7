// The page's controls, as the page's logic drives them. The application
// implements it with real controls and timers; tests with a recording fake.
// Every call comes on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "device/mouse_status.h"

namespace tvq {

// A repeating timer of the screen: once started, its tick runs every `ms`
// until it is stopped or destroyed.
class Ticker {
  public:
    virtual ~Ticker() = default;
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
};

// Typed handlers for the controls of a layout, bound by name. A control the
// layout lacks is skipped silently. The program's own changes (through the
// PageView setters) raise none of them.
class ControlEvents {
  public:
    virtual ~ControlEvents() = default;
    // A push button was clicked.
    virtual void onClick(std::string_view control, std::function<void()> handler) = 0;
    // The user changed a check box (with the state it now has).
    virtual void onToggle(std::string_view control, std::function<void(bool)> handler) = 0;
    // An option of an exclusive group became selected.
    virtual void onOptionSelected(std::string_view control, std::function<void()> handler) = 0;
    // A combo's item or a list's row was chosen (its index).
    virtual void onItemChosen(std::string_view control, std::function<void(int)> handler) = 0;
    // A slider moved, by the user or the keys (its position).
    virtual void onValueChanged(std::string_view control, std::function<void(int)> handler) = 0;
    // The pointer entered (true) or left (false) the control.
    virtual void onHover(std::string_view control, std::function<void(bool)> handler) = 0;
    // A key pressed while the control has the focus: "Delete", "F2",
    // "Return" (which stands for both Enter keys).
    virtual void onKey(std::string_view control, std::string_view key,
                       std::function<void()> handler) = 0;
};

class PageView : public ControlEvents {
  public:
    // Controls by name; a control the layout lacks is skipped silently.
    virtual bool exists(std::string_view control) const = 0;
    virtual void setVisible(std::string_view control, bool visible) = 0;
    // Whether the user can work the control now (it stays on screen).
    virtual void setEnabled(std::string_view control, bool enabled) = 0;
    virtual bool isVisible(std::string_view control) const = 0;
    virtual bool isChecked(std::string_view control) const = 0;
    // Selecting or checking without raising the control's notification.
    virtual void selectOption(std::string_view control) = 0;
    virtual void setChecked(std::string_view control, bool checked) = 0;
    virtual void setText(std::string_view control, std::string_view text) = 0;
    // Shows the language text of `key` (and follows a change of language).
    virtual void setTextKey(std::string_view control, std::string_view key) = 0;
    virtual void setProgress(std::string_view control, int value) = 0;
    // A slider's position or a spin box's value, and a list's item, without
    // notification.
    virtual void setSliderValue(std::string_view control, int value) = 0;
    virtual void selectItem(std::string_view control, int index) = 0;
    // A button's background, as opaque 0xFFRRGGBB.
    virtual void setBackgroundColor(std::string_view control, std::uint32_t argb) = 0;
    // A state the look of a control follows ("low", "critical"; empty for none).
    virtual void setStyleState(std::string_view /*control*/, std::string_view /*state*/) {}
    // The tooltip of a control by text key (empty: none); screen readers
    // read it as the control's description.
    virtual void setToolTipKey(std::string_view /*control*/, std::string_view /*key*/) {}

    // A timer whose tick runs `tick`; it belongs to whoever holds it.
    virtual std::unique_ptr<Ticker> makeTicker(std::function<void()> tick) = 0;

    // A value with no option: none of the group "<prefix>1".."<prefix><count>"
    // is selected.
    void clearOptions(const char* prefix, int count) {
        for (int n = 1; n <= count; ++n) {
            setChecked(prefix + std::to_string(n), false);
        }
    }
};

// The page's view with its list: rows are added to the profile list as
// plain text rows.
class ListPageView : public PageView {
  public:
    virtual void appendListRow(std::string_view list, std::string_view text) = 0;
    virtual void removeListRow(std::string_view list, int row) = 0;
    virtual void setListRowText(std::string_view list, int row, std::string_view text) = 0;
};

}  // namespace tvq
