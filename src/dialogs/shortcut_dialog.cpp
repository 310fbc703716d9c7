#include "dialogs/shortcut_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

ShortcutDialog::ShortcutDialog(const LanguageManager* language, const KeyNames& keys,
                               InputHook* hook, LibraryMessages* messages,
                               const ShortcutChoice& start, QWidget* owner)
    : DialogBase("ShortcutDialog", "shortcut.xml", language, owner),
      keys_(keys),
      hook_(hook),
      messages_(messages),
      shortcut_(keys) {
    shortcut_.reset(start.modifiers, start.key);
}

ShortcutDialog::~ShortcutDialog() {
    stopCapture();
}

void ShortcutDialog::setup() {
    if (language() != nullptr) {
        const QString title = language()->text(QStringLiteral("shortcut_title_text"));
        setWindowTitle(title);
    }
    controls()->onClick("btn_ok", [this] { finish(1); });
    controls()->onClick("btn_cancel", [this] { finish(0); });
    for (int n = 1; n <= kModifierBoxes; ++n) {
        const std::uint8_t bit = kBoxBits[n - 1];
        controls()->onToggled(box(n), [this, bit](bool on) { shortcut_.setModifier(bit, on); });
    }
    if (auto* field = control<QLineEdit>("edit_key")) {
        new KeyField(
            field, keys_, [this](std::uint32_t vk, bool down) { take(vk, down); }, true);
        if (auto* label = control<QLabel>("key_label")) {
            label->setBuddy(field);
        }
    }
    controls()->onFocus("edit_key", [this](bool in) { in ? startCapture() : stopCapture(); });
    // The keys that work the dialog are chosen here by name.
    if (auto* other = control<QComboBox>("combo_other_key")) {
        other->addItem(language() != nullptr
                           ? language()->text(QStringLiteral("shortcut_other_key_text")) + "…"
                           : QStringLiteral("…"));
        for (const std::uint8_t usage : ShortcutCapture::kDialogKeyUsages) {
            other->addItem(QString::fromStdString(keys_.keyNameFromCode(usage)), usage);
        }
        controls()->onItemSelect("combo_other_key", [this, other](int item) {
            if (item > 0) {
                shortcut_.setKey(static_cast<std::uint8_t>(other->itemData(item).toUInt()));
                ControlBinder::selectQuietly(other, 0);
                showChoice();
            }
        });
    }
    if (auto* ok = control<QPushButton>("btn_ok")) {
        ok->setDefault(true);
    }
    showChoice();
}

void ShortcutDialog::showChoice() {
    for (int n = 1; n <= kModifierBoxes; ++n) {
        ControlBinder::setCheckedQuietly(control<QCheckBox>(box(n)),
                                         (shortcut_.modifiers() & kBoxBits[n - 1]) != 0);
    }
    if (auto* field = control<QLineEdit>("edit_key")) {
        field->setText(QString::fromStdString(keys_.keyNameFromCode(shortcut_.key())));
    }
}

void ShortcutDialog::startCapture() {
    if (capture_ || hook_ == nullptr || messages_ == nullptr || !hook_->available()) {
        return;  // the field's own key events still count
    }
    hookInput_ = connect(messages_, &LibraryMessages::hookInput, this,
                         [this](quintptr w, qintptr l) { onHookInput(w, l); });
    capture_.emplace(*hook_, messages_);
}

void ShortcutDialog::stopCapture() {
    if (!capture_) {
        return;
    }
    disconnect(hookInput_);
    capture_.reset();
}

void ShortcutDialog::done(int result) {
    stopCapture();
    DialogBase::done(result);
}

void ShortcutDialog::onHookInput(quintptr wParam, qintptr lParam) {
    debug::write("shortcut: hook report " + std::to_string(wParam) + ", " + std::to_string(lParam) +
                 "\n");
    const HookInput in = decodeHookInput(wParam, lParam);
    // Mouse buttons are no keys: the click on OK must not replace the key.
    if (in.kind == HookInput::Kind::kKey) {
        take(in.virtualKey, in.down);
    }
}

void ShortcutDialog::take(std::uint32_t virtualKey, bool down) {
    if (shortcut_.feed(virtualKey, down)) {
        debug::write("shortcut: key usage " + std::to_string(shortcut_.key()) + "\n");
        showChoice();
    }
}

}  // namespace tvq
