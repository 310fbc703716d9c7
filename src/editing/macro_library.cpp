#include "editing/macro_library.h"

#include "base/text.h"
#include "macros/macro_record.h"

namespace tvq {

MacroLibrary::Rename MacroLibrary::rename(MacroRecord& macro, std::u16string_view typed) {
    if (typed == fieldText(macro.name)) {
        return Rename::kUnchanged;
    }
    if (typed.find_first_not_of(u' ') == std::u16string_view::npos) {
        return Rename::kEmpty;
    }
    // Its own name in other letters is a rename like any other.
    if (const MacroRecord* other = store_.findByName(typed); other != nullptr && other != &macro) {
        return Rename::kTaken;
    }
    store_.rename(macro, typed);
    return Rename::kRenamed;
}

const MacroRecord* MacroLibrary::importFile(const std::string& path) {
    const std::optional<std::uint64_t> size = files_.regularFileSize(path);
    std::optional<std::vector<std::uint8_t>> bytes;
    if (size && *size == layout::macro::kSize) {
        bytes = files_.readFile(path);
    }
    std::optional<MacroRecord> record;
    if (bytes) {
        record = parseMacroFile(*bytes);
    }
    if (!record) {
        return nullptr;
    }
    setFieldText(record->name, store_.makeUniqueName(fieldText(record->name)));
    store_.append(*record);
    return &store_.at(store_.size() - 1);
}

bool MacroLibrary::exportFile(const MacroRecord& macro, std::string path) {
    if (fileNameOf(path).find('.') == std::string_view::npos) {
        path += ".macro";
    }
    const auto bytes = encodeMacro(macro);
    return files_.replaceFile(path, bytes);
}

}  // namespace tvq
