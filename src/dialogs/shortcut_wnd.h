// The shortcut dialog: four modifier boxes (Ctrl, Shift, Alt, Windows) and a
// key field that takes the keys pressed while it has the focus. Keys come
// from the input-hook library while it runs, and from the field's own key
// events everywhere (no X server, a Wayland session), converted alike:
// virtual key, then HID usage.
#pragma once

#include <QMetaObject>
#include <QString>

#include "app/hook_library.h"
#include "page/page_dialogs.h"
#include "page/shortcut_capture.h"
#include "toolkit/dialog_base.h"

namespace tvq {

class KeyNames;
class LibraryMessages;

class CShortcutWnd final : public DialogBase {
  public:
    // `hooks` and `messages` may be null: the field then takes its own key
    // events only.
    CShortcutWnd(const LanguageManager* language, const KeyNames& keys, const HookFunctions* hooks,
                 LibraryMessages* messages, const ShortcutChoice& start, QWidget* owner);
    ~CShortcutWnd() override;

    ShortcutChoice choice() const { return {capture_.modifiers(), capture_.key()}; }
    bool capturing() const { return hookInstalled_; }

    void done(int result) override;

  protected:
    void setup() override;

  private:
    void startCapture();
    void stopCapture();
    void onHookInput(quintptr wParam, qintptr lParam);
    void take(std::uint32_t virtualKey, bool down);
    void showChoice();

    const KeyNames& keys_;
    const HookFunctions* hooks_;
    LibraryMessages* messages_;
    ShortcutCapture capture_;
    QMetaObject::Connection hookInput_;
    bool hookInstalled_ = false;
};

}  // namespace tvq
