// The macro record: a name and up to 46 key or mouse-button actions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/field_codec.h"
#include "macros/macro_layout.h"

namespace tvq {

struct MacroAction {
    std::uint8_t code = 0;    // HID keyboard usage, or a mouse code 0xF1..0xF5
    std::uint8_t type = 0;    // layout::macro::kPress or kRelease
    std::uint16_t delay = 0;  // ms to wait after this action

    bool operator==(const MacroAction&) const = default;
};

using MacroActions = std::array<MacroAction, layout::macro::kMaxActions>;

struct MacroRecord {
    std::array<char16_t, layout::macro::kNameUnits> name{};
    std::int32_t reserved = 0;
    std::int32_t actionCount = 0;
    MacroActions actions{};

    bool operator==(const MacroRecord&) const = default;
};

static_assert(sizeof(MacroAction) == layout::macro::kActionSize);
static_assert(offsetof(MacroAction, code) == layout::macro::kActionCode);
static_assert(offsetof(MacroAction, type) == layout::macro::kActionType);
static_assert(offsetof(MacroAction, delay) == layout::macro::kActionDelay);
static_assert(sizeof(MacroRecord) == layout::macro::kSize);
static_assert(offsetof(MacroRecord, name) == layout::macro::kName);
static_assert(offsetof(MacroRecord, reserved) == layout::macro::kReserved);
static_assert(offsetof(MacroRecord, actionCount) == layout::macro::kActionCount);
static_assert(offsetof(MacroRecord, actions) == layout::macro::kActions);

template <class Io, RecordOf<MacroAction> A>
void fields(const Io& io, std::size_t base, A& a) {
    namespace m = layout::macro;
    io(base + m::kActionCode, a.code);
    io(base + m::kActionType, a.type);
    io(base + m::kActionDelay, a.delay);
}

template <class Io, class Actions>
void actionFields(const Io& io, std::size_t base, Actions& actions) {
    for (std::size_t i = 0; i < actions.size(); ++i) {
        fields(io, base + i * layout::macro::kActionSize, actions[i]);
    }
}

template <class Io, RecordOf<MacroRecord> M>
void fields(const Io& io, std::size_t base, M& r) {
    namespace m = layout::macro;
    io(base + m::kName, r.name);
    io(base + m::kReserved, r.reserved);
    io(base + m::kActionCount, r.actionCount);
    actionFields(io, base + m::kActions, r.actions);
}

// True for the mouse-button codes 0xF1..0xF5; every other code is a key.
constexpr bool isMouseCode(std::uint8_t code) {
    return static_cast<std::uint8_t>(code - layout::macro::kLeftButton) <= 4;
}

// The weighted length of the first `count` actions: 1 per action, 2 for an
// action whose delay exceeds 1280 ms.
int weightedLength(std::span<const MacroAction> actions);

// The bytes of a record, exactly as stored.
std::array<std::uint8_t, layout::macro::kSize> encodeMacro(const MacroRecord& record);
// The same, into `out` (every byte of it written).
void encodeMacroInto(const MacroRecord& record, std::span<std::uint8_t, layout::macro::kSize> out);

// Decodes 240 bytes as they are, without any bounding.
MacroRecord decodeMacroRaw(std::span<const std::uint8_t, layout::macro::kSize> bytes);

// Bounds a record read from outside so that every user may rely on it: the
// name keeps a terminator in its last unit and `actionCount` lies in 0..46.
// Returns true when something had to be changed.
bool boundMacro(MacroRecord& record);

// A ".macro" file: exactly one record, bounded as above.
struct MacroFileError {
    std::string message;
};
std::optional<MacroRecord> parseMacroFile(std::span<const std::uint8_t> bytes,
                                          MacroFileError* error = nullptr);

// "macro.data": records back to back. A trailing piece shorter than a record
// is dropped and reported through `droppedBytes`.
std::vector<MacroRecord> parseMacroStore(std::span<const std::uint8_t> bytes,
                                         std::size_t* droppedBytes = nullptr);

}  // namespace tvq
