// The macro editor window: layout "MS/MS_1/ms_1_macropage.xml", action rows
// from "keylistitem.xml", the input hook for recording and key capture, and
// the platform's file dialogs for ".macro" files. Its logic is MacroEditor;
// the dialog holds the editor's view and dialogs as members of its own.
#pragma once

#include <QByteArray>
#include <QMetaObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "base/clock.h"
#include "editing/macro_editor.h"
#include "input/hook_library.h"
#include "toolkit/dialog_base.h"

namespace tvq {

class KeyNames;
class LibraryMessages;

class MacroEditorDialog final : public DialogBase {
  public:
    // `hook` and `messages` may be null (no hook library): recording then
    // says why it cannot run. `ticks` times recorded delays. `bindings`, the
    // buttons that follow the library's renames (null: none).
    MacroEditorDialog(const LanguageManager* language, MacroStore& store, FileSystem& files,
                      std::string dataFolder, const KeyNames& keys, InputHook* hook,
                      LibraryMessages* messages, const Clock& ticks, QWidget* owner,
                      MacroBindings* bindings = nullptr,
                      QString layoutFile = QStringLiteral("MS/MS_1/ms_1_macropage.xml"));
    ~MacroEditorDialog() override;

    MacroEditor& editor() { return *editor_; }
    void done(int result) override;

  protected:
    void setup() override;
    // Too narrow a screen for the two columns side by side (at twice the
    // scale on a small screen, say): the macros go above their actions.
    void fitWidth(int room) override;

  private:
    class View;
    class Dialogs;
    // Stands in for a missing hook library: nothing is available.
    class NoHook final : public InputHook {
      public:
        bool available() const override { return false; }
        void install(MessageWindow*) override {}
        void remove() override {}
        void enableKeys(bool) override {}
        void enableMouse(bool) override {}
        void removeMouse() override {}
        void enableWheel(bool) override {}
    };

    void bind();

    std::string dataFolder_;
    const KeyNames& keys_;
    LibraryMessages* messages_;
    NoHook noHook_;
    std::unique_ptr<View> view_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<MacroEditor> editor_;  // after what it uses: it goes first
    QMetaObject::Connection hookInput_;
};

}  // namespace tvq
