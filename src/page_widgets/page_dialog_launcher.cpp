#include "page_widgets/page_dialog_launcher.h"

#include <QFileInfo>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

#include "base/debug.h"
#include "dialogs/colour_picker_dialog.h"
#include "dialogs/macro_editor_dialog.h"
#include "dialogs/macro_picker_dialog.h"
#include "dialogs/message_dialog.h"
#include "dialogs/profile_name_dialog.h"
#include "dialogs/shortcut_dialog.h"
#include "page/desktop_mouse_settings.h"
#include "session/mouse_session.h"
#include "toolkit/language.h"
#include "toolkit/layout.h"
#include "toolkit/loaded_menu.h"

namespace tvq {
namespace {

constexpr int kPickerLeftOfButton = 200;

QString qName(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

PageDialogLauncher::PageDialogLauncher(const LanguageManager& language, const KeyNames& keys,
                                       MouseSession& session,
                                       std::function<QWidget*(std::string_view)> findControl)
    : language_(language), keys_(keys), session_(session), findControl_(std::move(findControl)) {}

PageDialogLauncher::~PageDialogLauncher() = default;

void PageDialogLauncher::setOwner(QWidget* owner, InputHook* hook, LibraryMessages* hookMessages) {
    owner_ = owner;
    hook_ = hook;
    hookMessages_ = hookMessages;
}

std::optional<std::uint32_t> PageDialogLauncher::pickColour(std::string_view anchorControl,
                                                            std::uint32_t argb) {
    QWidget* anchor = findControl_(anchorControl);
    ColourPickerDialog picker(&language_, argb, owner_);
    picker.create();
    if (anchor != nullptr) {
        // 200 pixels left of the button, right below it.
        picker.placeAt(anchor->mapToGlobal(QPoint(-kPickerLeftOfButton, anchor->height())));
    } else {
        picker.placeCentred();
    }
    if (picker.runModal() != 1) {
        return std::nullopt;
    }
    return picker.currentColor();
}

void PageDialogLauncher::openDesktopMouseSettings() {
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    for (const auto& command : mouseSettingsCommands(desktop.toStdString())) {
        const QString program = QStandardPaths::findExecutable(QString::fromStdString(command[0]));
        if (program.isEmpty()) {
            continue;
        }
        QStringList arguments;
        for (std::size_t i = 1; i < command.size(); ++i) {
            arguments << QString::fromStdString(command[i]);
        }
        // Detached: the program never waits for the settings to close.
        if (QProcess::startDetached(program, arguments)) {
            return;
        }
    }
    MessageDialog::tell(owner_, &language_, QStringLiteral("no_mouse_settings_text"));
}

std::optional<std::u16string> PageDialogLauncher::askProfileName(const NameRequest& request) {
    ProfileNameDialog dialog(&language_, qName(request.titleKey),
                             QString::fromStdU16String(request.prefill), request.renaming,
                             session_.profiles(), owner_);
    dialog.create();
    dialog.placeCentred();
    if (dialog.runModal() != 1) {
        return std::nullopt;
    }
    return dialog.acceptedName().toStdU16String();
}

bool PageDialogLauncher::confirm(std::string_view textKey,
                                 const std::vector<std::string>& arguments,
                                 std::string_view verbKey) {
    return MessageDialog::ask(owner_, &language_, textKey, arguments, verbKey);
}

void PageDialogLauncher::tell(std::string_view textKey, const std::vector<std::string>& arguments) {
    MessageDialog::tell(owner_, &language_, textKey, arguments);
}

std::optional<std::string> PageDialogLauncher::chooseProfileFile(bool forSaving,
                                                                 const std::string& name) {
    // Starts in the folder used last, else in the documents folder.
    QString folder = lastFolder_;
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    // A profile's name as a file's: no folder separators, no control characters.
    QString file;
    for (const QChar c : QString::fromStdString(name)) {
        file += c == u'/' || c.category() == QChar::Other_Control ? QChar(u'-') : c;
    }
    if (!file.isEmpty()) {
        file += QStringLiteral(".pro");
    }
    // Qt's own dialog, or the desktop's through its portal where one runs.
    auto chosen =
        chooseFile(owner_, language_.text(QStringLiteral("profile_file_text")),
                   QStringLiteral("*.pro *.PRO"), QStringLiteral("pro"), folder, forSaving, file);
    if (chosen) {
        lastFolder_ = QFileInfo(QString::fromStdString(*chosen)).absolutePath();
    }
    return chosen;
}

void PageDialogLauncher::openFunctionMenu(std::string_view menuFile, std::string_view keyButton,
                                          std::function<void(std::string_view item)> picked) {
    functionMenu_.reset();  // one open at a time
    QWidget* button = findControl_(keyButton);
    if (button == nullptr) {
        return;
    }
    auto menu = std::make_unique<LoadedMenu>();
    const QString path = resourceFolder() + qName(menuFile);
    if (!menu->load(path, language_, [picked = std::move(picked)](const MenuCommand& command) {
            picked(command.name);
        })) {
        debug::write("function menu " + path.toStdString() + " is missing or malformed\n");
        return;
    }
    menu->menu().setAccessibleName(button->accessibleName());
    const QRect rect(button->mapToGlobal(QPoint(0, 0)), button->size());
    const QScreen* screen = button->screen();
    const QRect area =
        screen != nullptr ? screen->availableGeometry() : QRect(rect.topLeft(), QSize(1, 1));
    const QPoint at = LoadedMenu::placeBeside(rect, menu->menu().sizeHint().height(), area);
    functionMenu_ = std::move(menu);
    functionMenu_->popup(at);
}

std::optional<ShortcutChoice> PageDialogLauncher::askShortcut(const ShortcutChoice& start) {
    ShortcutDialog dialog(&language_, keys_, hook_, hookMessages_, start, owner_);
    dialog.create();
    dialog.placeCentred();
    if (dialog.runModal() != 1) {
        return std::nullopt;
    }
    return dialog.choice();
}

std::optional<MacroChoice> PageDialogLauncher::pickMacro(const MacroChoice& start) {
    MacroPickerDialog dialog(&language_, session_.macros(), start, owner_);
    dialog.create();
    dialog.placeCentred();
    if (dialog.runModal() != 1) {
        return std::nullopt;
    }
    return dialog.choice();
}

void PageDialogLauncher::openMacroEditor(MacroBindings& bindings) {
    MacroEditorDialog editor(&language_, session_.macros(), session_.files(), session_.dataFolder(),
                             keys_, hook_, hookMessages_, ticks_, owner_, &bindings);
    editor.create();
    editor.placeCentred();
    editor.runModal();
}

}  // namespace tvq
