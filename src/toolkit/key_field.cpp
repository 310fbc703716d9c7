#include "toolkit/key_field.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <utility>

#include "input/key_names.h"
#include "input/x11_virtual_keys.h"

namespace tvq {
namespace {

// Keys by Qt's own code, for events that carry no native key (the offscreen
// platform, some Wayland compositors).
std::uint32_t virtualKeyOfQtKey(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return static_cast<std::uint32_t>(key);  // same codes
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return 0x70 + static_cast<std::uint32_t>(key - Qt::Key_F1);
    }
    static constexpr std::pair<int, std::uint32_t> kKeys[] = {
        {Qt::Key_Escape, 0x1B},   {Qt::Key_Tab, 0x09},      {Qt::Key_Backspace, 0x08},
        {Qt::Key_Return, 0x0D},   {Qt::Key_Enter, 0x0D},    {Qt::Key_Insert, 0x2D},
        {Qt::Key_Delete, 0x2E},   {Qt::Key_Pause, 0x13},    {Qt::Key_Print, 0x2C},
        {Qt::Key_Home, 0x24},     {Qt::Key_End, 0x23},      {Qt::Key_Left, 0x25},
        {Qt::Key_Up, 0x26},       {Qt::Key_Right, 0x27},    {Qt::Key_Down, 0x28},
        {Qt::Key_PageUp, 0x21},   {Qt::Key_PageDown, 0x22}, {Qt::Key_Shift, 0xA0},
        {Qt::Key_Control, 0xA2},  {Qt::Key_Alt, 0xA4},      {Qt::Key_Meta, 0x5B},
        {Qt::Key_CapsLock, 0x14}, {Qt::Key_NumLock, 0x90},  {Qt::Key_ScrollLock, 0x91},
        {Qt::Key_Menu, 0x5D},     {Qt::Key_Space, 0x20},
    };
    for (const auto& [qt, vk] : kKeys) {
        if (qt == key) {
            return vk;
        }
    }
    return 0;
}

}  // namespace

KeyField::KeyField(QLineEdit* field, const KeyNames& keys,
                   std::function<void(std::uint32_t, bool)> taken, bool enterConfirms)
    : QObject(field), keys_(keys), taken_(std::move(taken)), enterConfirms_(enterConfirms) {
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::StrongFocus);
    field->installEventFilter(this);
}

std::uint32_t KeyField::virtualKeyOf(const QKeyEvent& event, const KeyNames& keys) {
    const quint32 keycode = event.nativeScanCode();
    if (keycode > x11keys::kKeycodeOffset) {
        const std::uint32_t evdev = keycode - x11keys::kKeycodeOffset;
        if (const std::uint32_t vk = keys.layout().virtualKeyFromScanCode(evdev)) {
            return vk;
        }
        if (const std::uint32_t vk = x11keys::virtualKeyFor(event.nativeVirtualKey(), evdev)) {
            return vk;
        }
    }
    return virtualKeyOfQtKey(event.key());
}

bool KeyField::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->type() != QEvent::KeyRelease) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
            return false;  // the dialog's, as everywhere on the desktop
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (enterConfirms_) {
                return false;
            }
            break;
        default:
            break;
    }
    if (!key->isAutoRepeat()) {
        taken_(virtualKeyOf(*key, keys_), press);
    }
    return true;
}

}  // namespace tvq
