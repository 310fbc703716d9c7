// The macro library's operations as the editor offers them: add, delete,
// rename, and ".macro" files in and out. Every change is saved at once.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_system.h"
#include "macros/macro_store.h"

namespace tvq {

class MacroLibrary {
  public:
    MacroLibrary(MacroStore& store, FileSystem& files) : store_(store), files_(files) {}

    MacroStore& store() { return store_; }
    std::size_t size() const { return store_.size(); }
    bool contains(int row) const { return row >= 0 && static_cast<std::size_t>(row) < size(); }
    MacroRecord& at(int row) { return store_.at(static_cast<std::size_t>(row)); }

    // A new, empty macro with a fresh name, at the end.
    MacroRecord& add() { return store_.addNew(); }
    void remove(int row) { store_.removeAt(static_cast<std::size_t>(row)); }

    enum class Rename {
        kRenamed,    // the record has the new name (not yet saved)
        kUnchanged,  // the very same name: nothing to store
        kTaken,      // another macro has it (letter case aside)
        kEmpty,      // no name at all
    };
    Rename rename(MacroRecord& macro, std::u16string_view typed);

    // Reads a ".macro" file of exactly 240 bytes and appends its macro under
    // a name no other macro has; the record added, or null when the file
    // could not be read or is no macro file.
    const MacroRecord* importFile(const std::string& path);
    // Writes `macro` to `path` (".macro" added to a name without an
    // extension), replacing a file only with a complete one.
    bool exportFile(const MacroRecord& macro, std::string path);

    // Whether the last save of the library failed.
    bool lastSaveFailed() const { return store_.lastSaveFailed(); }

  private:
    MacroStore& store_;
    FileSystem& files_;
};

}  // namespace tvq
