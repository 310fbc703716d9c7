// The application in focus on an X server: the root window's
// _NET_ACTIVE_WINDOW (set by the window manager, EWMH) and that window's
// WM_CLASS class, followed through PropertyNotify on a connection of its
// own, so that nothing is polled.
#pragma once

#include <cstdint>
#include <string>

struct xcb_connection_t;

namespace tvq {

class ActiveWindowWatch {
  public:
    ActiveWindowWatch() = default;
    ~ActiveWindowWatch();
    ActiveWindowWatch(const ActiveWindowWatch&) = delete;
    ActiveWindowWatch& operator=(const ActiveWindowWatch&) = delete;

    // Connects to the X server of DISPLAY and asks to hear of the root
    // window's property changes. False without an X server.
    bool open();
    // The connection's descriptor: readable when the server sent something.
    int fd() const;
    // Reads what the server sent; true when the active window changed.
    // False also when the connection broke (fd() is then -1).
    bool dispatch();
    // The class of the active window (the second string of WM_CLASS); empty
    // when no window is active or it has no class.
    std::string activeClass();

    // Longer classes are cut; no application has one.
    static constexpr std::uint32_t kMaxClassBytes = 255;

  private:
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint32_t activeAtom_ = 0;
};

}  // namespace tvq
