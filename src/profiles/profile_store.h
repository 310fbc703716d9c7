// The user's profiles with the selected one, kept in "pro.data".
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/data_folder.h"
#include "base/text_source.h"
#include "macros/macro_store.h"
#include "profiles/profile.h"

namespace tvq {

// "pro.data" decoded: the stored index and every complete record.
struct ParsedProfileStore {
    std::int32_t currentIndex = 0;
    std::vector<std::unique_ptr<Profile>> profiles;
    std::size_t droppedBytes = 0;  // a trailing piece shorter than a record
};
ParsedProfileStore parseProfileStore(std::span<const std::uint8_t> bytes);

// The bytes of a store holding `profiles` with `currentIndex`.
std::vector<std::uint8_t> encodeProfileStore(std::int32_t currentIndex,
                                             const std::vector<std::unique_ptr<Profile>>& profiles);
std::vector<std::uint8_t> encodeProfileStore(std::int32_t currentIndex,
                                             std::span<const Profile> profiles);

// The page's profiles: an owning ordered list, the selected index and the
// selected profile itself.
//
// The device worker reads the selected profile and saves the store from its
// own thread; `save` and `copyCurrent` take the store's lock, and the selected
// profile is changed only through `editCurrent`, which takes it too.
class ProfileStore {
  public:
    ProfileStore(const DataLocation& location, const TextSource& texts);

    struct LoadReport {
        bool createdFirstProfile = false;
        bool indexClamped = false;
        std::size_t droppedBytes = 0;
        // A store that did not load cleanly (too short, a trailing piece,
        // unreadable, or larger than 4,096 profiles) was moved aside to
        // this path before anything was written; "damagedNotKept" when it
        // could not be, and then nothing is written over it.
        std::string keptDamagedAs;
        bool damagedNotKept = false;
        std::string macrosKeptDamagedAs;
        bool saveFailed = false;  // the store could not be written at start
        // A store holding more than the limit: its first records were
        // loaded, and the whole file kept aside (keptDamagedAs).
        bool overLimit = false;
        bool macrosOverLimit = false;
    };
    // The most profiles a store may hold; of a larger file the first ones
    // are read.
    static constexpr std::size_t kMaxProfiles = 4096;
    std::size_t maxProfiles() const { return maxProfiles_; }
    // A smaller limit, for stores made to test it.
    void setMaxProfiles(std::size_t limit) { maxProfiles_ = limit; }
    bool full() const { return profiles_.size() >= maxProfiles_; }

    // Reads "pro.data", after removing what killed saves left beside it. A store that does not
    // exist is created with one default profile. One that did not load cleanly is first moved aside
    // (see LoadReport), then what could be read (or a default profile) is written. Only complete
    // records are read and the index is clamped to the list. Then the macro store is loaded.
    LoadReport load(MacroStore& macros);

    // The next default name ("Profile<n>") that no profile has.
    std::u16string freshName() const;

    // Writes the store atomically. Returns false when it could not be written
    // or was never loaded (an unloaded store is never written over the file);
    // the file then keeps its previous content. The lock is held only while
    // the profiles are copied, not while they are encoded and written, and
    // a save never replaces the file with older content than the last one.
    bool save();

    // What keeps `name` from being a profile's name: nothing, no text at
    // all, or another profile has it (letter case ignored; the profile at
    // `renaming`, when it is not -1, may keep its own name in other letters).
    enum class NameProblem { kNone, kEmpty, kTaken };
    NameProblem nameProblem(std::u16string_view name, std::int32_t renaming = -1) const;
    // The row of the profile named `name`, letter case ignored; -1 for none.
    std::int32_t rowOf(std::u16string_view name) const;

    const std::vector<std::unique_ptr<Profile>>& profiles() const { return profiles_; }
    std::int32_t currentIndex() const { return currentIndex_; }
    // The selected profile, to read on the user-interface thread; null
    // before loading.
    const Profile* current() const { return current_; }

    // Runs `change` on the selected profile under the store's lock. False
    // (and `change` not run) when none is selected.
    bool editCurrent(const std::function<void(Profile&)>& change);

    // Runs `change` on every profile under the store's lock, telling it
    // which one is selected.
    void editEvery(const std::function<void(Profile&, bool selected)>& change);

    // Selects the profile at `index`; false (and no change) when out of range.
    bool select(std::int32_t index);
    // Whether anything but the selection changed since the last save's copy
    // (a save that failed leaves it so): such a change is saved at once,
    // while a flood of selections may be saved once in a while.
    bool editedSinceSave() const;

    // The list operations. Each takes the lock; the caller asks for a save.
    // Appends `profile` at the end and returns its index.
    std::int32_t append(std::unique_ptr<Profile> profile);
    // Appends an imported profile together with the last `macroCount`
    // macros of `macros`, which it brought and which are not saved yet, as
    // one step: a note of the import is written, then the macro library, and
    // the profile is appended; the next save that holds the profile removes
    // the note, and a load that finds the note without the profile removes
    // those macros again. When the note or the library cannot be written the
    // macros are taken back out, nothing is appended and null is returned.
    std::optional<std::int32_t> appendImport(std::unique_ptr<Profile> profile, MacroStore& macros,
                                             std::size_t macroCount);
    // Removes the profile at `index` unless it is the only one; the selected
    // index moves to the profile that followed it, or to the new last one.
    // False (and no change) for the only profile or an index out of range.
    bool remove(std::int32_t index);
    // Gives the profile at `index` the name (at most 49 UTF-16 units kept).
    bool rename(std::int32_t index, std::u16string_view name);
    // `base` when no profile has it (letter case ignored), else the first
    // free "<base>_<n>", shortened to fit the record.
    std::u16string uniqueName(std::u16string_view base) const;

    // A copy of the selected profile, taken under the lock.
    std::unique_ptr<Profile> copyCurrent() const;

  private:
    void createFirstProfile();
    // Settles the note of an import that a kill interrupted (see appendImport).
    void settleImportNote(MacroStore& macros);
    // Whether a profile other than the one at `except` has the name, letter
    // case ignored; the caller holds the lock.
    bool nameTaken(std::u16string_view name, std::int32_t except = -1) const;
    std::int32_t appendLocked(std::unique_ptr<Profile> profile);  // the caller holds the lock

    const DataLocation& location_;
    const TextSource& texts_;
    mutable std::mutex mutex_;
    std::mutex writeMutex_;          // one write at a time, in copy order
    std::uint64_t copies_ = 0;       // under mutex_
    std::uint64_t lastWritten_ = 0;  // under writeMutex_
    // The import note is removed by the first save whose copy is newer
    // than this (copies_ when the profile was appended); under mutex_.
    std::optional<std::uint64_t> importNoteBefore_;
    std::vector<std::unique_ptr<Profile>> profiles_;
    std::size_t maxProfiles_ = kMaxProfiles;
    std::int32_t currentIndex_ = 0;
    Profile* current_ = nullptr;
    bool edited_ = false;  // under mutex_; see editedSinceSave
    bool loaded_ = false;
};

}  // namespace tvq
