// Whether the program has a graphical session to show its windows in,
// checked before the toolkit starts (which would abort without one).
#pragma once

#include <string>

struct xcb_connection_t;

namespace tvq {

class DisplayCheck {
  public:
    // Checks at once. A display that was reached stays connected until
    // release() or the end of this object, which the program lets happen
    // once the toolkit has connected: a server that resets when its last
    // client leaves (Xvfb does) would otherwise be restarting just as the
    // toolkit connects.
    DisplayCheck();
    ~DisplayCheck() { release(); }
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    // Empty when a display can be reached (or the toolkit was told to use a
    // platform of its own, such as offscreen); otherwise one line saying why.
    const std::string& missingReason() const { return reason_; }
    void release();

  private:
    xcb_connection_t* held_ = nullptr;
    std::string reason_;
};

}  // namespace tvq
