// The macro editor window: layout "MS/MS_1/ms_1_macropage.xml", action rows
// from "keylistitem.xml", the input hook for recording and key capture, and
// the platform's file dialogs for ".macro" files. Its logic is MacroEditor.
#pragma once

#include <QByteArray>
#include <QMetaObject>
#include <QString>
#include <memory>

#include "app/hook_library.h"
#include "base/clock.h"
#include "page/macro_editor.h"
#include "toolkit/dialog_base.h"

namespace tvq {

class KeyNames;
class LibraryMessages;

class CMS_1_Macro final : public DialogBase,
                          public MacroEditorView,
                          public MacroHook,
                          public MacroEditorDialogs {
  public:
    // `hooks` and `messages` may be null (no hook library): recording then
    // says why it cannot run. `ticks` times recorded delays.
    CMS_1_Macro(const LanguageManager* language, MacroStore& store, FileSystem& files,
                std::string dataFolder, const KeyNames& keys, const HookFunctions* hooks,
                LibraryMessages* messages, const Clock& ticks, QWidget* owner,
                QString layoutFile = QStringLiteral("MS/MS_1/ms_1_macropage.xml"));
    ~CMS_1_Macro() override;

    MacroEditor& editor() { return *editor_; }
    void done(int result) override;

    // MacroEditorView
    void appendMacroRow(std::string_view name, int height) override;
    void removeMacroRow(int row) override;
    void setMacroRowText(int row, std::string_view name) override;
    void selectMacroRow(int row) override;
    void scrollMacroListToEnd() override;
    void clearActionRows() override;
    void appendActionRow(const ActionRowText& row) override;
    void setActionRows(const std::vector<ActionRowText>& rows) override;
    void setActionRow(int row, const ActionRowText& text) override;
    void removeActionRow(int row) override;
    void selectActionRow(int row) override;
    void scrollActionRowIntoView(int row) override;
    void scrollActionListToEnd() override;
    void setText(std::string_view control, std::string_view text) override;
    std::string text(std::string_view control) const override;
    void setVisible(std::string_view control, bool visible) override;
    void setEnabled(std::string_view control, bool enabled) override;
    void setChecked(std::string_view control, bool checked) override;
    void showEditPage(int page) override;
    void selectMouseComboItem(int item) override;
    void startTimer(int id, int ms) override;
    void stopTimer(int id) override;

    // MacroHook
    bool available() const override;
    void install() override;
    void remove() override;
    void enableKeys(bool on) override;
    void enableMouse(bool on) override;
    void removeMouse() override;
    void enableWheel(bool on) override;

    // MacroEditorDialogs
    bool confirm(std::string_view textKey) override;
    void tell(std::string_view textKey) override;
    std::optional<std::string> chooseMacroFile(bool forSaving) override;

  protected:
    void setup() override;

  private:
    void bind();
    void fillRow(QWidget* row, const ActionRowText& text);

    std::string dataFolder_;
    const KeyNames& keys_;
    const HookFunctions* hooks_;
    LibraryMessages* messages_;
    std::unique_ptr<MacroEditor> editor_;
    QByteArray rowTemplate_;
    QMetaObject::Connection hookInput_;
    bool closed_ = false;
};

}  // namespace tvq
