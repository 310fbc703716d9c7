#include "dialogs/shortcut_wnd.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <utility>

#include "base/debug.h"
#include "input/hook_input.h"
#include "input/key_names.h"
#include "input/x11_virtual_keys.h"
#include "profiles/record_layout.h"
#include "toolkit/language.h"
#include "toolkit/library_messages.h"

namespace tvq {
namespace {

constexpr int kModifierBoxes = 4;
constexpr std::uint8_t kBoxBits[kModifierBoxes] = {
    layout::binding::kModCtrl, layout::binding::kModShift, layout::binding::kModAlt,
    layout::binding::kModWin};

QString box(int n) {
    return QStringLiteral("check_flag_%1").arg(n);
}

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

CShortcutWnd::CShortcutWnd(const LanguageManager* language, const KeyNames& keys,
                           const HookFunctions* hooks, LibraryMessages* messages,
                           const ShortcutChoice& start, QWidget* owner)
    : DialogBase("ShortcutWnd", "shortcut.xml", language, owner),
      keys_(keys),
      hooks_(hooks),
      messages_(messages),
      capture_(keys) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    capture_.reset(start.modifiers, start.key);
}

CShortcutWnd::~CShortcutWnd() {
    stopCapture();
}

std::uint32_t CShortcutWnd::virtualKeyOf(const QKeyEvent& event, const KeyNames& keys) {
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

void CShortcutWnd::setup() {
    if (language() != nullptr) {
        const QString title = language()->text(QStringLiteral("shortcut_title_text"));
        if (auto* label = control<QLabel>("title_string")) {
            label->setText(title);
        }
        setWindowTitle(title);
    }
    controls()->onClick("btn_ok", [this] { finish(1); });
    controls()->onClick("btn_cancel", [this] { finish(0); });
    controls()->onClick("btn_exit", [this] { finish(0); });
    for (int n = 1; n <= kModifierBoxes; ++n) {
        const std::uint8_t bit = kBoxBits[n - 1];
        controls()->onCheckClick(box(n), [this, bit](bool on) { capture_.setModifier(bit, on); });
    }
    if (auto* field = control<QLineEdit>("edit_key")) {
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::StrongFocus);
        field->installEventFilter(this);
        if (auto* label = control<QLabel>("key_label")) {
            label->setBuddy(field);
        }
    }
    controls()->onFocus("edit_key", [this](bool in) { in ? startCapture() : stopCapture(); });
    if (auto* ok = control<QPushButton>("btn_ok")) {
        ok->setDefault(true);
    }
    showChoice();
}

void CShortcutWnd::showChoice() {
    for (int n = 1; n <= kModifierBoxes; ++n) {
        ControlBinder::setCheckedQuietly(control<QCheckBox>(box(n)),
                                         (capture_.modifiers() & kBoxBits[n - 1]) != 0);
    }
    if (auto* field = control<QLineEdit>("edit_key")) {
        field->setText(QString::fromStdString(keys_.keyNameFromCode(capture_.key())));
    }
}

void CShortcutWnd::startCapture() {
    if (hookInstalled_ || hooks_ == nullptr || messages_ == nullptr ||
        hooks_->installhook == nullptr) {
        return;  // the field's own key events still count
    }
    hookInput_ = connect(messages_, &LibraryMessages::hookInput, this,
                         [this](quintptr w, qintptr l) { onHookInput(w, l); });
    hooks_->installhook(messages_);
    if (hooks_->enablehook != nullptr) {
        hooks_->enablehook(1);
    }
    hookInstalled_ = true;
}

void CShortcutWnd::stopCapture() {
    if (!hookInstalled_) {
        return;
    }
    hookInstalled_ = false;
    disconnect(hookInput_);
    if (hooks_->removehook != nullptr) {
        hooks_->removehook();
    }
    if (hooks_->enablehook != nullptr) {
        hooks_->enablehook(0);
    }
}

void CShortcutWnd::done(int result) {
    stopCapture();
    DialogBase::done(result);
}

void CShortcutWnd::onHookInput(quintptr wParam, qintptr lParam) {
    char line[64];
    std::snprintf(line, sizeof line, "%llx,%llx\n", static_cast<unsigned long long>(wParam),
                  static_cast<unsigned long long>(lParam));
    debug::write(line);
    const HookInput in = decodeHookInput(wParam, lParam);
    // Mouse buttons are no keys: the click on OK must not replace the key.
    if (in.kind == HookInput::Kind::kKey) {
        take(in.virtualKey, in.down);
    }
}

void CShortcutWnd::take(std::uint32_t virtualKey, bool down) {
    if (capture_.feed(virtualKey, down)) {
        debug::write("iUsageID=" + std::to_string(capture_.key()) + "\n");
        showChoice();
    }
}

bool CShortcutWnd::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if (watched != control("edit_key") || (!press && event->type() != QEvent::KeyRelease)) {
        return DialogBase::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // Tab and Escape keep their work: leaving the field, closing the dialog.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
        key->key() == Qt::Key_Escape) {
        return false;
    }
    if (!key->isAutoRepeat()) {
        take(virtualKeyOf(*key, keys_), press);
    }
    return true;
}

}  // namespace tvq
