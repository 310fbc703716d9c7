#include "profiles/profile_store.h"

#include <algorithm>

#include "base/debug.h"
#include "base/text.h"
#include "base/text_keys.h"
#include "base/unique_name.h"
#include "profiles/import_note.h"
#include "profiles/record_layout.h"

namespace tvq {

ParsedProfileStore parseProfileStore(std::span<const std::uint8_t> bytes) {
    ParsedProfileStore parsed;
    if (bytes.size() < layout::store::kFirstProfile) {
        parsed.droppedBytes = bytes.size();
        return parsed;
    }
    parsed.currentIndex = readI32(bytes, layout::store::kCurrentIndex);
    const auto records = bytes.subspan(layout::store::kFirstProfile);
    const std::size_t count = records.size() / layout::profile::kSize;
    parsed.profiles.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        parsed.profiles.push_back(decodeProfile(
            records.subspan(i * layout::profile::kSize).first<layout::profile::kSize>()));
    }
    parsed.droppedBytes = records.size() % layout::profile::kSize;
    return parsed;
}

std::vector<std::uint8_t> encodeProfileStore(
    std::int32_t currentIndex, const std::vector<std::unique_ptr<Profile>>& profiles) {
    std::vector<std::uint8_t> bytes(layout::store::kFirstProfile +
                                    profiles.size() * layout::profile::kSize);
    writeI32(bytes, layout::store::kCurrentIndex, currentIndex);
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        encodeProfile(*profiles[i],
                      std::span(bytes)
                          .subspan(layout::store::kFirstProfile + i * layout::profile::kSize)
                          .first<layout::profile::kSize>());
    }
    return bytes;
}

std::vector<std::uint8_t> encodeProfileStore(std::int32_t currentIndex,
                                             std::span<const Profile> profiles) {
    std::vector<std::uint8_t> bytes(layout::store::kFirstProfile +
                                    profiles.size() * layout::profile::kSize);
    writeI32(bytes, layout::store::kCurrentIndex, currentIndex);
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        encodeProfile(profiles[i],
                      std::span(bytes)
                          .subspan(layout::store::kFirstProfile + i * layout::profile::kSize)
                          .first<layout::profile::kSize>());
    }
    return bytes;
}

ProfileStore::ProfileStore(const DataLocation& location, const TextSource& texts)
    : location_(location), texts_(texts) {}

ProfileStore::LoadReport ProfileStore::load(MacroStore& macros) {
    LoadReport report;
    FileSystem& fs = location_.fileSystem();
    const std::string folder = location_.folder();
    const std::string path = profileStorePath(folder);
    fs.removeLeftovers(path);
    const std::optional<std::uint64_t> size = fs.regularFileSize(path);
    const std::uint64_t maxBytes =
        layout::store::kFirstProfile + maxProfiles_ * std::uint64_t{layout::profile::kSize};
    bool damaged = fs.exists(path) && !size;  // a folder, a device: never written over
    std::optional<std::vector<std::uint8_t>> bytes;
    if (size) {
        // Of a store over the limit, the profiles up to it (another program
        // made it): the whole file is kept aside below.
        report.overLimit = *size > maxBytes;
        bytes = fs.readFileStart(path, maxBytes);
    }
    damaged = damaged || report.overLimit || (size && !bytes);  // unreadable
    {
        std::lock_guard guard(mutex_);
        profiles_.clear();
        currentIndex_ = 0;
        if (bytes) {
            ParsedProfileStore parsed = parseProfileStore(*bytes);
            report.droppedBytes = parsed.droppedBytes;
            currentIndex_ = parsed.currentIndex;
            profiles_ = std::move(parsed.profiles);
            damaged = damaged || profiles_.empty() || parsed.droppedBytes != 0;
        }
        if (profiles_.empty()) {
            currentIndex_ = 0;
            createFirstProfile();
            report.createdFirstProfile = true;
        }
        const auto last = static_cast<std::int32_t>(profiles_.size() - 1);
        const std::int32_t clamped = std::clamp(currentIndex_, 0, last);
        report.indexClamped = clamped != currentIndex_;
        currentIndex_ = clamped;
        current_ = profiles_[static_cast<std::size_t>(currentIndex_)].get();
        loaded_ = true;
    }
    if (damaged) {
        report.keptDamagedAs = keepDamagedStore(fs, path);
        report.damagedNotKept = report.keptDamagedAs.empty();
        if (report.damagedNotKept) {
            // Nothing is ever written over a store that was not kept.
            std::lock_guard guard(mutex_);
            loaded_ = false;
        }
    }
    if ((report.createdFirstProfile || damaged) && !report.damagedNotKept) {
        report.saveFailed = !save();
    }
    if (report.droppedBytes != 0 || report.indexClamped || damaged) {
        debug::write("pro.data: dropped " + std::to_string(report.droppedBytes) +
                     " trailing bytes, index clamped: " + (report.indexClamped ? "yes" : "no") +
                     ", kept as: " + report.keptDamagedAs + "\n");
    }
    report.macrosKeptDamagedAs = macros.load();
    report.macrosOverLimit = macros.loadedOverLimit();
    settleImportNote(macros);
    return report;
}

void ProfileStore::createFirstProfile() {
    profiles_.push_back(newProfile(freshName()));
}

std::u16string ProfileStore::freshName() const {
    const std::u16string base = numberedName(utf16FromUtf8(texts_.text(textkeys::kAddProfile)),
                                             profiles_.size() + 1, layout::profile::kNameMaxChars);
    return makeUniqueName(base, layout::profile::kNameMaxChars,
                          [this](std::u16string_view n) { return nameTaken(n); });
}

bool ProfileStore::save() {
    // A copy taken under the lock: editing on the user-interface thread waits
    // for the copy only, never for the disk.
    std::int32_t index = 0;
    // One block for the whole copy: a thousand profiles are 165 MB, and one
    // allocation each would keep the process's memory map busy while the
    // user-interface thread needs it too.
    std::vector<Profile> copy;
    std::uint64_t sequence = 0;
    std::optional<std::uint64_t> noteBefore;
    bool editedBeforeCopy = false;
    {
        std::lock_guard guard(mutex_);
        if (!loaded_) {
            return false;
        }
        noteBefore = importNoteBefore_;
        index = currentIndex_;
        editedBeforeCopy = edited_;
        edited_ = false;
        copy.reserve(profiles_.size());
        for (const auto& p : profiles_) {
            copy.push_back(*p);
        }
        sequence = ++copies_;
    }
    std::lock_guard write(writeMutex_);
    if (sequence < lastWritten_) {
        return true;  // a newer copy is already on disk
    }
    const std::string folder = location_.folder();
    FileSystem& fs = location_.fileSystem();
    ensureStoreFolder(fs, folder);
    const bool written = fs.replaceFile(profileStorePath(folder), encodeProfileStore(index, copy));
    if (!written && editedBeforeCopy) {
        std::lock_guard guard(mutex_);
        edited_ = true;  // still not on disk: the next save is not put off
    }
    if (written) {
        lastWritten_ = sequence;
        if (noteBefore && sequence > *noteBefore) {
            // The imported profile is on disk with its macros.
            fs.removeFile(importNotePath(folder));
            std::lock_guard guard(mutex_);
            if (importNoteBefore_ == noteBefore) {
                importNoteBefore_.reset();
            }
        }
    }
    return written;
}

std::optional<std::int32_t> ProfileStore::appendImport(std::unique_ptr<Profile> profile,
                                                       MacroStore& macros, std::size_t macroCount) {
    if (macroCount == 0) {
        return append(std::move(profile));
    }
    macroCount = std::min(macroCount, macros.size());
    const std::size_t before = macros.size() - macroCount;
    ImportNote note{std::u16string(fieldText(profile->name)), {}};
    for (std::size_t i = before; i < macros.size(); ++i) {
        note.macroNames.emplace_back(fieldText(macros.at(i).name));
    }
    const std::string folder = location_.folder();
    FileSystem& fs = location_.fileSystem();
    ensureStoreFolder(fs, folder);
    const std::string notePath = importNotePath(folder);
    if (!fs.replaceFile(notePath, encodeImportNote(note))) {
        macros.truncate(before);
        return std::nullopt;
    }
    if (!macros.save()) {
        macros.truncate(before);
        fs.removeFile(notePath);
        return std::nullopt;
    }
    std::lock_guard guard(mutex_);
    importNoteBefore_ = copies_;
    return appendLocked(std::move(profile));
}

void ProfileStore::settleImportNote(MacroStore& macros) {
    FileSystem& fs = location_.fileSystem();
    const std::string path = importNotePath(location_.folder());
    if (!fs.exists(path)) {
        return;
    }
    if (const auto bytes = fs.readFileStart(path, 64 * 1024)) {
        if (const auto note = decodeImportNote(*bytes)) {
            const bool stored = std::any_of(profiles_.begin(), profiles_.end(), [&](const auto& p) {
                return fieldText(p->name) == note->profileName;
            });
            if (!stored) {
                const std::size_t removed = macros.removeNamed(note->macroNames);
                debug::write("an import was interrupted: " + std::to_string(removed) +
                             " of its macros removed again\n");
            }
        }
    }
    fs.removeFile(path);
}

std::int32_t ProfileStore::rowOf(std::u16string_view name) const {
    for (std::size_t i = 0; i < profiles_.size(); ++i) {
        if (equalIgnoringCase(fieldText(profiles_[i]->name), name)) {
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

bool ProfileStore::nameTaken(std::u16string_view name, std::int32_t except) const {
    for (std::size_t i = 0; i < profiles_.size(); ++i) {
        if (static_cast<std::int32_t>(i) != except &&
            equalIgnoringCase(fieldText(profiles_[i]->name), name)) {
            return true;
        }
    }
    return false;
}

ProfileStore::NameProblem ProfileStore::nameProblem(std::u16string_view name,
                                                    std::int32_t renaming) const {
    if (name.find_first_not_of(u' ') == std::u16string_view::npos) {
        return NameProblem::kEmpty;
    }
    std::lock_guard guard(mutex_);
    return nameTaken(name, renaming) ? NameProblem::kTaken : NameProblem::kNone;
}

bool ProfileStore::select(std::int32_t index) {
    std::lock_guard guard(mutex_);
    if (index < 0 || static_cast<std::size_t>(index) >= profiles_.size()) {
        return false;
    }
    currentIndex_ = index;
    current_ = profiles_[static_cast<std::size_t>(index)].get();
    return true;
}

bool ProfileStore::editCurrent(const std::function<void(Profile&)>& change) {
    std::lock_guard guard(mutex_);
    if (current_ == nullptr) {
        return false;
    }
    change(*current_);
    edited_ = true;
    return true;
}

bool ProfileStore::editedSinceSave() const {
    std::lock_guard guard(mutex_);
    return edited_;
}

void ProfileStore::editEvery(const std::function<void(Profile&, bool selected)>& change) {
    std::lock_guard guard(mutex_);
    edited_ = true;
    for (const auto& p : profiles_) {
        change(*p, p.get() == current_);
    }
}

std::int32_t ProfileStore::append(std::unique_ptr<Profile> profile) {
    std::lock_guard guard(mutex_);
    return appendLocked(std::move(profile));
}

std::int32_t ProfileStore::appendLocked(std::unique_ptr<Profile> profile) {
    edited_ = true;
    profiles_.push_back(std::move(profile));
    // The vector may have moved its elements' pointers, not the profiles.
    current_ =
        profiles_.empty() ? nullptr : profiles_[static_cast<std::size_t>(currentIndex_)].get();
    return static_cast<std::int32_t>(profiles_.size() - 1);
}

bool ProfileStore::remove(std::int32_t index) {
    std::lock_guard guard(mutex_);
    if (profiles_.size() < 2 || index < 0 || static_cast<std::size_t>(index) >= profiles_.size()) {
        return false;
    }
    profiles_.erase(profiles_.begin() + index);
    edited_ = true;
    const auto last = static_cast<std::int32_t>(profiles_.size() - 1);
    if (currentIndex_ > index || currentIndex_ > last) {
        currentIndex_ = std::min(currentIndex_ > index ? currentIndex_ - 1 : currentIndex_, last);
    }
    current_ = profiles_[static_cast<std::size_t>(currentIndex_)].get();
    return true;
}

bool ProfileStore::rename(std::int32_t index, std::u16string_view name) {
    std::lock_guard guard(mutex_);
    if (index < 0 || static_cast<std::size_t>(index) >= profiles_.size()) {
        return false;
    }
    setFieldText(profiles_[static_cast<std::size_t>(index)]->name, name);
    edited_ = true;
    return true;
}

std::u16string ProfileStore::uniqueName(std::u16string_view base) const {
    std::lock_guard guard(mutex_);
    return makeUniqueName(base, layout::profile::kNameMaxChars,
                          [this](std::u16string_view n) { return nameTaken(n); });
}

std::unique_ptr<Profile> ProfileStore::copyCurrent() const {
    std::lock_guard guard(mutex_);
    return current_ != nullptr ? std::make_unique<Profile>(*current_) : nullptr;
}

}  // namespace tvq
