#include "macros/macro_record.h"

#include <algorithm>

namespace tvq {

int weightedLength(std::span<const MacroAction> actions) {
    int total = 0;
    for (const MacroAction& a : actions) {
        total += a.delay > layout::macro::kLongDelayMs ? 2 : 1;
    }
    return total;
}

std::array<std::uint8_t, layout::macro::kSize> encodeMacro(const MacroRecord& record) {
    std::array<std::uint8_t, layout::macro::kSize> bytes{};
    encodeMacroInto(record, bytes);
    return bytes;
}

void encodeMacroInto(const MacroRecord& record, std::span<std::uint8_t, layout::macro::kSize> out) {
    fields(FieldWriter(out), 0, record);
}

MacroRecord decodeMacroRaw(std::span<const std::uint8_t, layout::macro::kSize> bytes) {
    MacroRecord record;
    fields(FieldReader(bytes), 0, record);
    return record;
}

bool boundMacro(MacroRecord& record) {
    bool changed = false;
    if (record.name.back() != u'\0') {
        record.name.back() = u'\0';
        changed = true;
    }
    const auto maxCount = static_cast<std::int32_t>(layout::macro::kMaxActions);
    const std::int32_t count = std::clamp(record.actionCount, 0, maxCount);
    if (count != record.actionCount) {
        record.actionCount = count;
        changed = true;
    }
    return changed;
}

std::optional<MacroRecord> parseMacroFile(std::span<const std::uint8_t> bytes,
                                          MacroFileError* error) {
    if (bytes.size() != layout::macro::kSize) {
        if (error != nullptr) {
            error->message = "a macro file holds exactly " + std::to_string(layout::macro::kSize) +
                             " bytes, this one " + std::to_string(bytes.size());
        }
        return std::nullopt;
    }
    MacroRecord record = decodeMacroRaw(bytes.first<layout::macro::kSize>());
    boundMacro(record);
    return record;
}

std::vector<MacroRecord> parseMacroStore(std::span<const std::uint8_t> bytes,
                                         std::size_t* droppedBytes) {
    const std::size_t count = bytes.size() / layout::macro::kSize;
    std::vector<MacroRecord> records;
    records.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        MacroRecord record =
            decodeMacroRaw(bytes.subspan(i * layout::macro::kSize).first<layout::macro::kSize>());
        boundMacro(record);
        records.push_back(record);
    }
    if (droppedBytes != nullptr) {
        *droppedBytes = bytes.size() % layout::macro::kSize;
    }
    return records;
}

}  // namespace tvq
