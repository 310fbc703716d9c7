// The page's controls, as the page's logic drives them. The application
// implements it with real controls and timers; tests with a recording fake.
// Every call comes on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvq {

class PageView {
  public:
    virtual ~PageView() = default;

    // Controls by name; a control the layout lacks is skipped silently.
    virtual bool exists(std::string_view control) const = 0;
    virtual void setVisible(std::string_view control, bool visible) = 0;
    virtual bool isVisible(std::string_view control) const = 0;
    virtual bool isChecked(std::string_view control) const = 0;
    // Selecting or checking without raising the control's notification.
    virtual void selectOption(std::string_view control) = 0;
    virtual void setChecked(std::string_view control, bool checked) = 0;
    virtual void setText(std::string_view control, std::string_view text) = 0;
    // Shows the language text of `key` (and follows a change of language).
    virtual void setTextKey(std::string_view control, std::string_view key) = 0;
    virtual void setProgress(std::string_view control, int value) = 0;
    // A slider's position and a list's item, without notification.
    virtual void setSliderValue(std::string_view control, int value) = 0;
    virtual void selectItem(std::string_view control, int index) = 0;
    // A button's background, as opaque 0xFFRRGGBB.
    virtual void setBackgroundColor(std::string_view control, std::uint32_t argb) = 0;

    // Control timers: `id` of `control`; each expiry reaches the page's
    // onTimer with the control and the id.
    virtual void startControlTimer(std::string_view control, int id, int ms) = 0;
    virtual void stopControlTimer(std::string_view control, int id) = 0;

    // Posts a message to the main window.
    virtual void postMessage(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;

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
