// A ".macro" file of any content.
#include <cstdlib>

#include "base/text.h"
#include "macros/macro_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvq;
    MacroFileError error;
    const auto record = parseMacroFile({data, size}, &error);
    if (size != layout::macro::kSize) {
        if (record || error.message.empty()) {
            std::abort();
        }
        return 0;
    }
    if (!record || record->actionCount < 0 || record->actionCount > 46 ||
        record->name.back() != u'\0') {
        std::abort();
    }
    // Bounding is stable: a bounded record reads back as itself.
    const auto bytes = encodeMacro(*record);
    if (*parseMacroFile(bytes) != *record) {
        std::abort();
    }
    utf8FromUtf16(fieldText(record->name));
    weightedLength(std::span(record->actions).first(static_cast<std::size_t>(record->actionCount)));
    return 0;
}
