#include "profiles/import_note.h"

#include <array>

#include "base/data_folder.h"
#include "base/field_codec.h"
#include "base/text.h"

namespace tvq {
namespace {

namespace note = layout::import_note;

using ProfileName = std::array<char16_t, layout::profile::kNameUnits>;
using MacroName = std::array<char16_t, layout::macro::kNameUnits>;
static_assert(sizeof(MacroName) == note::kMacroNameSize);

// No profile carries more macros than its modes have buttons.
constexpr std::size_t kMostMacros = layout::profile::kModeCount * layout::mode::kUsedBindingCount;

}  // namespace

std::string importNotePath(const std::string& dataFolder) {
    return storeFolder(dataFolder) + "/import.note";
}

std::vector<std::uint8_t> encodeImportNote(const ImportNote& note) {
    std::vector<std::uint8_t> bytes(note::kFirstMacroName +
                                    note.macroNames.size() * note::kMacroNameSize);
    const FieldWriter write{bytes};
    write(note::kMagicOffset, note::kMagic);
    write(note::kMacroCount, static_cast<std::uint32_t>(note.macroNames.size()));
    ProfileName profile{};
    setFieldText(profile, note.profileName);
    write(note::kProfileName, profile);
    for (std::size_t i = 0; i < note.macroNames.size(); ++i) {
        MacroName name{};
        setFieldText(name, note.macroNames[i]);
        write(note::kFirstMacroName + i * note::kMacroNameSize, name);
    }
    return bytes;
}

std::optional<ImportNote> decodeImportNote(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < note::kFirstMacroName) {
        return std::nullopt;
    }
    const FieldReader read{bytes};
    std::uint32_t magic = 0;
    std::uint32_t count = 0;
    read(note::kMagicOffset, magic);
    read(note::kMacroCount, count);
    if (magic != note::kMagic || count > kMostMacros ||
        bytes.size() != note::kFirstMacroName + count * note::kMacroNameSize) {
        return std::nullopt;
    }
    ImportNote out;
    ProfileName profile{};
    read(note::kProfileName, profile);
    out.profileName = fieldText(profile);
    for (std::size_t i = 0; i < count; ++i) {
        MacroName name{};
        read(note::kFirstMacroName + i * note::kMacroNameSize, name);
        out.macroNames.emplace_back(fieldText(name));
    }
    return out;
}

}  // namespace tvq
