// What the page opens besides its own controls. The window layer implements
// it with its dialogs; tests with a fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tvq {

class PageDialogs {
  public:
    virtual ~PageDialogs() = default;
    // The colour picker, modal, placed 200 pixels left of `anchorControl`'s
    // left edge and at its bottom edge (kept inside the screen), starting
    // from `argb` (0xFFRRGGBB). The colour chosen, or nothing when cancelled.
    virtual std::optional<std::uint32_t> pickColour(std::string_view anchorControl,
                                                    std::uint32_t argb) = 0;
    // Starts the desktop's own mouse settings without waiting for them, or
    // tells the user that none is installed.
    virtual void openDesktopMouseSettings() = 0;
};

}  // namespace tvq
