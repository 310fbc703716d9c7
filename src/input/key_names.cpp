#include "input/key_names.h"

#include "base/text.h"
#include "input/key_tables.h"

namespace tvq {

HidUsageResult KeyNames::hidUsageFromVirtualKey(std::uint32_t virtualKey) const {
    const std::optional<KeyRow> row = findByVirtualKey(virtualKey);
    if (!row) {
        return {};
    }
    if (row->hidUsage < kFirstTypingUsage || row->hidUsage > kLastLayoutUsage) {
        return {true, row->hidUsage};
    }
    const std::optional<KeyRow> atPosition =
        findByScanCode(layout_.scanCodeFromVirtualKey(virtualKey));
    return {true, atPosition ? atPosition->hidUsage : row->hidUsage};
}

std::string KeyNames::keyNameFromVirtualKey(std::uint32_t virtualKey) const {
    if (const auto textKey = virtualKeyTextKey(virtualKey)) {
        return texts_.text(*textKey);
    }
    const std::uint32_t scanCode = layout_.scanCodeFromVirtualKey(virtualKey);
    return utf8FromUtf16(upperCased(layout_.characters(virtualKey, scanCode)));
}

std::string KeyNames::keyNameFromCode(std::uint8_t code) const {
    if (code >= kFirstTypingUsage && code <= kLastTypingUsage) {
        const std::optional<KeyRow> row = findByHidUsage(code);
        const std::uint32_t virtualKey = row ? layout_.virtualKeyFromScanCode(row->scanCode) : 0;
        return keyNameFromVirtualKey(virtualKey);
    }
    if (code >= kFirstUnnamedCode && code <= kLastUnnamedCode) {
        return {};
    }
    if (const auto textKey = codeTextKey(code); textKey && !textKey->empty()) {
        return texts_.text(*textKey);
    }
    return {};
}

}  // namespace tvq
