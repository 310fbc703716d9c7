#include "dialogs/shortcut_wnd.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <utility>

#include "base/debug.h"
#include "input/hook_input.h"
#include "input/key_names.h"
#include "profiles/record_layout.h"
#include "toolkit/key_field.h"
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
        new KeyField(field, keys_, [this](std::uint32_t vk, bool down) { take(vk, down); });
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

}  // namespace tvq
