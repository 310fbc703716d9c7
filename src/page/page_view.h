// What the device logic does to the screen, as the settings page offers it.
// The application implements it with real controls and timers; tests with a
// recording fake. Every call comes on the user-interface thread, except
// runOnUiThread, which may be called from any thread.
#pragma once

#include <cstdint>
#include <functional>
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

    // Window and control timers by id.
    virtual void startTimer(int id, int ms) = 0;
    virtual void stopTimer(int id) = 0;

    // Posts a message to the main window.
    virtual void postMessage(std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;

    // Page refreshes.
    virtual void refreshPage() = 0;
    virtual void updateLightRows() = 0;
    virtual void resetChargeAnimation() = 0;

    // Runs `task` on the user-interface thread after `ms` milliseconds,
    // without blocking that thread in the meantime.
    virtual void runLater(int ms, std::function<void()> task) = 0;
    // Hands `task` to the user-interface thread; callable from any thread.
    virtual void runOnUiThread(std::function<void()> task) = 0;
};

}  // namespace tvq
