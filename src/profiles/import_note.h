// The note an import leaves in the store folder while the macros it brought
// are in "macro.data" and its profile is not yet in "pro.data": the
// profile's name and the names its macros were given. A start that finds the
// note without the profile removes those macros again, so an import that was
// killed half way leaves neither.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "macros/macro_layout.h"
#include "profiles/record_layout.h"

namespace tvq {

namespace layout::import_note {
inline constexpr std::uint32_t kMagic = 0x49515654;  // "TVQI"
inline constexpr std::size_t kMagicOffset = 0;       // uint32
inline constexpr std::size_t kMacroCount = 4;        // uint32
inline constexpr std::size_t kProfileName = 8;       // UTF-16LE, profile::kNameUnits
inline constexpr std::size_t kFirstMacroName = kProfileName + profile::kNameUnits * 2;
inline constexpr std::size_t kMacroNameSize = macro::kNameUnits * 2;  // UTF-16LE, each
static_assert(kFirstMacroName == 108);
}  // namespace layout::import_note

struct ImportNote {
    std::u16string profileName;
    std::vector<std::u16string> macroNames;
};

std::string importNotePath(const std::string& dataFolder);
std::vector<std::uint8_t> encodeImportNote(const ImportNote& note);
// Null for anything but a complete note.
std::optional<ImportNote> decodeImportNote(std::span<const std::uint8_t> bytes);

}  // namespace tvq
