#include "platform/x11/active_window.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tvq {
namespace {

struct FreeReply {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

}  // namespace

ActiveWindowWatch::~ActiveWindowWatch() {
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

bool ActiveWindowWatch::open() {
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_) != 0) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        return false;
    }
    root_ = screens.data->root;
    constexpr const char* kActive = "_NET_ACTIVE_WINDOW";
    const Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(kActive)), kActive),
        nullptr));
    if (!atom) {
        return false;
    }
    activeAtom_ = atom->atom;
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
    return true;
}

int ActiveWindowWatch::fd() const {
    return connection_ != nullptr && xcb_connection_has_error(connection_) == 0
               ? xcb_get_file_descriptor(connection_)
               : -1;
}

bool ActiveWindowWatch::dispatch() {
    if (fd() < 0) {
        return false;
    }
    bool changed = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
            const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
            changed = changed || (notify->window == root_ && notify->atom == activeAtom_);
        }
        std::free(event);
    }
    return changed;
}

std::string ActiveWindowWatch::activeClass() {
    if (fd() < 0) {
        return {};
    }
    const Reply<xcb_get_property_reply_t> active(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, root_, activeAtom_, XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!active || active->format != 32 || xcb_get_property_value_length(active.get()) < 4) {
        return {};
    }
    xcb_window_t window = 0;
    std::memcpy(&window, xcb_get_property_value(active.get()), sizeof window);
    if (window == 0) {
        return {};
    }
    const Reply<xcb_get_property_reply_t> wmClass(
        xcb_get_property_reply(connection_,
                               xcb_get_property(connection_, 0, window, XCB_ATOM_WM_CLASS,
                                                XCB_ATOM_STRING, 0, kMaxClassBytes / 4 + 1),
                               nullptr));
    if (!wmClass || wmClass->format != 8) {
        return {};
    }
    // "instance\0class\0": the class is the second string.
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(wmClass.get()));
    const std::string value(
        bytes, static_cast<std::size_t>(std::max(0, xcb_get_property_value_length(wmClass.get()))));
    const std::size_t split = value.find('\0');
    if (split == std::string::npos) {
        return {};
    }
    std::string name = value.substr(split + 1);
    name = name.substr(0, name.find('\0'));
    return name.substr(0, kMaxClassBytes);
}

}  // namespace tvq
