// The macro library: every macro of the program, in order, written through
// to "macro.data" after each change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/data_folder.h"
#include "base/text_source.h"
#include "macros/macro_record.h"

namespace tvq {

// The library's names, to name many new macros in one go: read once, then
// each name is checked in constant time. Names are kept as 64-bit hashes of
// their lower-case letters: two names that collide (about one chance in
// 10^10 for a full library) only cost a needless suffix, never a duplicate.
class MacroNames {
  public:
    explicit MacroNames(const std::vector<std::unique_ptr<MacroRecord>>& records);
    // `base` when no macro has it (letter case ignored), else the first free
    // "<base>_<n>", shortened to fit the record.
    std::u16string unique(std::u16string_view base);
    // Counts a name as taken.
    void add(std::u16string_view name);

  private:
    std::unordered_set<std::uint64_t> taken_;
    // For each base name asked for, the suffix to try first: every smaller
    // one is taken (names only join the set while it lives).
    std::unordered_map<std::uint64_t, std::size_t> nextSuffix_;
};

class MacroStore {
  public:
    MacroStore(const DataLocation& location, const TextSource& texts);

    // Appends the records of "macro.data" (called once, on an empty store),
    // after removing what killed saves left beside it. Records are bounded
    // as they are read. A missing file leaves the store
    // empty. A file that does not load cleanly (a trailing piece shorter
    // than a record, unreadable, more than the limit of records, of which
    // the first ones are read) is moved aside first and what could be read
    // is written; returns where it was kept ("" when the file was clean).
    std::string load();
    static constexpr std::size_t kMaxMacros = 65536;
    std::size_t maxMacros() const { return maxMacros_; }
    // A smaller limit, for stores made to test it.
    void setMaxMacros(std::size_t limit) { maxMacros_ = limit; }
    bool full() const { return size() >= maxMacros_; }
    // Whether the file load() read held more than the limit.
    bool loadedOverLimit() const { return loadedOverLimit_; }

    // Rewrites "macro.data" from the whole store. On failure the file keeps
    // its previous content and the store stays as it is in memory.
    bool save();
    // Whether the last save (also one an edit made) could not write the file.
    bool lastSaveFailed() const { return lastSaveFailed_; }

    // Gives the macro a new name (cut to the record's field); names change
    // only through here, so the names known for makeUniqueName stay true.
    void rename(MacroRecord& macro, std::u16string_view name);
    // The macro of that name (letter case ignored); null when none has it.
    const MacroRecord* findByName(std::u16string_view name) const;
    // `base` when no macro has it (letter case ignored), else the first free
    // "<base>_<n>"; the names are read once and then kept up to date, so a
    // series of imports takes time for what it adds, not for the library.
    std::u16string makeUniqueName(std::u16string_view base) const;

    // Creates, appends and saves an empty macro named after "add_macro_text"
    // and the new count.
    MacroRecord& addNew();

    // Appends a complete record (already given a unique name) and, with
    // `thenSave`, saves.
    void append(const MacroRecord& record, bool thenSave = true);

    // Removes the macro at `index` and saves; an index past the end is ignored.
    void removeAt(std::size_t index);
    // Takes back every record after the first `size`, without saving.
    void truncate(std::size_t size);
    // Removes, for each of `names`, the last macro of exactly that name, and
    // saves when one was removed; returns how many were.
    std::size_t removeNamed(const std::vector<std::u16string>& names);

    MacroRecord& at(std::size_t index) { return *records_.at(index); }
    const MacroRecord& at(std::size_t index) const { return *records_.at(index); }
    std::size_t size() const { return records_.size(); }

    // Copies an edited action list into `target` and saves, unless `count`
    // lies outside 0..46 or the list's weighted length is 48 or more and
    // longer than the stored one's (a macro made elsewhere that is too long
    // can be edited down): then nothing changes and false is returned. A null
    // target changes nothing.
    bool commit(MacroRecord* target, const MacroActions& working, std::int32_t count);

    // The bytes "macro.data" would hold now.
    std::vector<std::uint8_t> encode() const;

  private:
    const DataLocation& location_;
    const TextSource& texts_;
    std::vector<std::unique_ptr<MacroRecord>> records_;  // addresses stay stable
    bool lastSaveFailed_ = false;
    bool neverWrite_ = false;
    bool loadedOverLimit_ = false;
    // The bytes "macro.data" would hold now, kept from save to save.
    const std::vector<std::uint8_t>& encoded() const;
    // Whether every record of `bytes` reads without being bounded, so that
    // the records encode back to exactly these bytes.
    static bool readsBackUnchanged(std::span<const std::uint8_t> bytes);
    // Room kept after the bytes for appended macros (a quarter of the
    // library, at least 64), so imports into a large library do not copy all
    // of it to grow; growing past the room copies it once.
    static std::size_t appendRoom(std::size_t bytes) {
        return bytes / 4 + 64 * layout::macro::kSize;
    }
    // Drops what is kept about the records after a change other than an
    // append; keeps it up to date after an append.
    void changed();
    void appended();

    // The names and the bytes of the records, built on first use and kept
    // while macros are only appended, so adding to a large library costs
    // what is added.
    mutable std::optional<MacroNames> names_;
    mutable std::optional<std::vector<std::uint8_t>> bytes_;
    std::size_t maxMacros_ = kMaxMacros;
};

}  // namespace tvq
