#include "page/panels/profile_list_panel.h"

#include "base/text.h"
#include "page/controls.h"
#include "page/profile_check.h"
#include "profiles/profile_import.h"
#include "profiles/record_layout.h"

namespace tvq {
namespace {

std::string rowText(const Profile& p) {
    return utf8FromUtf16(fieldText(p.name));
}

}  // namespace

void ProfileListPanel::show() {
    const ProfileStore& store = session_.profiles();
    for (const auto& profile : store.profiles()) {
        view_.appendListRow(control::kListProfile, rowText(*profile));
    }
    view_.selectItem(control::kListProfile, store.currentIndex());
}

void ProfileListPanel::bind(ControlEvents& events) {
    events.onClick(control::kProfileAdd, [this] { addProfile(); });
    events.onClick(control::kProfileDelete, [this] { deleteProfile(); });
    events.onClick(control::kProfileRename, [this] { renameProfile(); });
    events.onClick(control::kProfileImport, [this] { importProfile(); });
    events.onClick(control::kProfileExport, [this] { exportProfile(); });
    events.onClick(control::kProfileReset, [this] { restoreDefaults(); });
    // In the list, as in a file manager: Delete deletes, F2 renames.
    events.onKey(control::kListProfile, "Delete", [this] { deleteProfile(); });
    events.onKey(control::kListProfile, "F2", [this] { renameProfile(); });
}

bool ProfileListPanel::refusedAtTheLimit() {
    if (!session_.profiles().full()) {
        return false;
    }
    dialogs_->tell("profile_limit_text", {std::to_string(session_.profiles().maxProfiles())});
    return true;
}

void ProfileListPanel::addProfile() {
    if (dialogs_ == nullptr || refusedAtTheLimit()) {
        return;
    }
    // The next free name, to keep or to type over.
    const auto name =
        dialogs_->askProfileName({"profile_name_1_text", session_.profiles().freshName(), -1});
    if (!name) {
        return;
    }
    const std::int32_t row = session_.profiles().append(newProfile(*name));
    view_.appendListRow(control::kListProfile, rowText(*session_.profiles().profiles().back()));
    // On disk first: the worker writes the store before the apply, which
    // may take long through a receiver that does not answer.
    session_.link().requestSave();
    selectProfile_(row);
}

void ProfileListPanel::deleteProfile() {
    if (dialogs_ == nullptr) {
        return;
    }
    ProfileStore& store = session_.profiles();
    if (store.profiles().size() < 2) {
        dialogs_->tell("one_profile_text");
        return;
    }
    if (!dialogs_->confirm("delete_profile_text", {rowText(*store.current())},
                           "delete_verb_text")) {
        return;
    }
    const std::int32_t row = store.currentIndex();
    const std::u16string name(fieldText(store.current()->name));
    if (!store.remove(row)) {
        return;
    }
    if (nameEvents_.removed) {
        nameEvents_.removed(name);
    }
    view_.removeListRow(control::kListProfile, row);
    // The one that followed it, or the new last one.
    selectProfile_(store.currentIndex());
}

void ProfileListPanel::renameProfile() {
    if (dialogs_ == nullptr) {
        return;
    }
    ProfileStore& store = session_.profiles();
    const Profile* current = store.current();
    if (current == nullptr) {
        return;
    }
    const std::int32_t row = store.currentIndex();
    const auto name = dialogs_->askProfileName(
        {"profile_name_2_text", std::u16string(fieldText(current->name)), row});
    if (!name) {
        return;
    }
    const std::u16string before(fieldText(current->name));
    store.rename(row, *name);
    view_.setListRowText(control::kListProfile, row, rowText(*store.current()));
    if (nameEvents_.renamed) {
        nameEvents_.renamed(before, fieldText(store.current()->name));
    }
    // The name is not sent to the mouse: only the store is written.
    session_.link().requestSave();
}

void ProfileListPanel::exportProfile() {
    const Profile* current = session_.profiles().current();
    if (dialogs_ == nullptr || current == nullptr) {
        return;
    }
    const auto path = dialogs_->chooseProfileFile(true, rowText(*current));
    if (!path) {
        return;
    }
    // Written beside it and then renamed: a file already there is replaced
    // only by a complete one.
    if (!session_.files().replaceFile(*path, encodeProfile(*current))) {
        dialogs_->tell("export_failed_text");
    }
}

void ProfileListPanel::importProfile() {
    if (dialogs_ == nullptr || refusedAtTheLimit()) {
        return;
    }
    const auto path = dialogs_->chooseProfileFile(false);
    if (!path) {
        return;
    }
    FileSystem& files = session_.files();
    const std::string fileName(fileNameOf(*path));
    // Anything but a readable file of exactly one profile record is refused
    // before it is read, and the user is told what is wrong with it.
    const std::optional<std::uint64_t> size = files.regularFileSize(*path);
    if (!size) {
        dialogs_->tell("import_not_a_file_text", {fileName});
        return;
    }
    if (*size != layout::profile::kSize) {
        dialogs_->tell("import_wrong_size_text", {fileName, std::to_string(*size)});
        return;
    }
    std::unique_ptr<Profile> imported;
    if (const auto bytes = files.readFile(*path)) {
        imported = parseProfileFile(*bytes, nullptr);
    }
    if (!imported) {
        dialogs_->tell("import_unreadable_text", {fileName});
        return;
    }
    // What the page could not have made goes back to its defaults, and an
    // unusable name is replaced, before anything is stored or sent.
    const ProfileRepairs repairs = repairImportedProfile(*imported);
    if (repairs.nameUnusable) {
        setFieldText(imported->name, session_.profiles().freshName());
    }
    setFieldText(imported->name, session_.profiles().uniqueName(fieldText(imported->name)));
    MacroStore& macros = session_.macros();
    if (macros.size() + macrosCarried(*imported) > macros.maxMacros()) {
        dialogs_->tell("import_macro_limit_text", {std::to_string(macros.maxMacros())});
        return;
    }
    // The profile and its macros are stored together or not at all.
    const std::size_t added = bringMacrosIntoStore(*imported, macros);
    const std::optional<std::int32_t> row =
        session_.profiles().appendImport(std::move(imported), macros, added);
    if (!row) {
        dialogs_->tell("import_not_stored_text", {std::string(fileNameOf(*path))});
        return;
    }
    view_.appendListRow(control::kListProfile, rowText(*session_.profiles().profiles().back()));
    session_.link().requestSave();  // on disk before its apply
    selectProfile_(*row);
    if (repairs.any()) {
        const auto count = [](int n) { return std::to_string(n); };
        dialogs_->tell(
            "import_repaired_text",
            {fileName, count(repairs.settingsRepaired), count(repairs.functionsRepaired),
             count(repairs.nameUnusable ? 1 : 0), count(repairs.leftClickRestored ? 1 : 0)});
    }
}

void ProfileListPanel::restoreDefaults() {
    const Profile* current = session_.profiles().current();
    if (dialogs_ == nullptr || current == nullptr ||
        !dialogs_->confirm("restore_text", {rowText(*current)}, "restore_verb_text")) {
        return;
    }
    if (session_.edit([](Profile& p) { applyDefaults(p); }, AfterEdit::kSave)) {
        session_.requestApply();  // after the save the edit asked for
    }
    refreshPage_();
}

}  // namespace tvq
