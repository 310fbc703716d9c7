// The profile record and "pro.data", byte by byte. Offsets are byte offsets
// from the start of the enclosing record; every multi-byte value on disk is
// little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tvq {

namespace layout {

// One profile: a name and five mode slots. Identical in memory, in "pro.data"
// and in a ".pro" file.
namespace profile {
inline constexpr std::size_t kSize = 165004;
inline constexpr std::size_t kButtonMode = 0;  // int32, active mode slot 0..4
inline constexpr std::size_t kName = 4;        // UTF-16LE
inline constexpr std::size_t kNameUnits = 50;  // including the terminator
inline constexpr std::size_t kNameMaxChars = kNameUnits - 1;
inline constexpr std::size_t kModes = 104;
inline constexpr std::size_t kModeCount = 5;
}  // namespace profile

// One mode slot of a profile.
namespace mode {
inline constexpr std::size_t kSize = 32980;
inline constexpr std::size_t kReservedHead = 0;
inline constexpr std::size_t kReservedHeadSize = 200;
inline constexpr std::size_t kReservedTextA = 200;  // UTF-16LE
inline constexpr std::size_t kReservedTextB = 1200;
inline constexpr std::size_t kReservedTextUnits = 500;
inline constexpr std::size_t kReservedValueA = 2200;
inline constexpr std::size_t kReservedValueB = 2204;
inline constexpr std::size_t kReservedFlagA = 2208;
inline constexpr std::size_t kPadAfterFlagA = 2209;
inline constexpr std::size_t kPadAfterFlagASize = 3;
inline constexpr std::size_t kReservedValueC = 2212;
inline constexpr std::size_t kUnusedBeforeDpiAux = 2216;
inline constexpr std::size_t kUnusedBeforeDpiAuxSize = 8;
inline constexpr std::size_t kDpiAux = 2224;
inline constexpr std::size_t kDpiReportA = 2228;
inline constexpr std::size_t kDpiReportB = 2232;
inline constexpr std::size_t kUnusedBeforeDpiValue = 2236;
inline constexpr std::size_t kUnusedBeforeDpiValueSize = 8;
inline constexpr std::size_t kDpiStageCount = 8;
inline constexpr std::size_t kDpiValue = 2244;  // 8 x int32, steps of 40 DPI
inline constexpr std::size_t kDpiValueAlt = 2276;
inline constexpr std::size_t kDpiEnabled = 2308;
inline constexpr std::size_t kBrightness = 2340;
inline constexpr std::size_t kBreathSpeed = 2344;
inline constexpr std::size_t kSleepTimer = 2348;
inline constexpr std::size_t kDpiStage = 2352;
inline constexpr std::size_t kPollingRate = 2356;
inline constexpr std::size_t kMovementMode = 2360;
inline constexpr std::size_t kLightMode = 2364;
inline constexpr std::size_t kLightModeBle = 2368;
inline constexpr std::size_t kReservedFlagB = 2372;
inline constexpr std::size_t kPadAfterFlagB = 2373;
inline constexpr std::size_t kPadAfterFlagBSize = 3;
inline constexpr std::size_t kLightAux = 2376;
inline constexpr std::size_t kLightColor = 2380;
inline constexpr std::size_t kDpiColor = 2384;  // 8 colours 0x00BBGGRR
inline constexpr std::size_t kPaletteColor = 2416;
inline constexpr std::size_t kPaletteColorCount = 8;
inline constexpr std::size_t kReservedValueD = 2448;
inline constexpr std::size_t kButtons = 2452;
inline constexpr std::size_t kBindingCount = 24;
inline constexpr std::size_t kUsedBindingCount = 18;  // the mouse's buttons
}  // namespace mode

// One button binding inside a mode slot.
namespace binding {
inline constexpr std::size_t kSize = 1272;
inline constexpr std::size_t kButtonIndex = 0;
inline constexpr std::size_t kFunction = 1;
inline constexpr std::size_t kReservedFlag = 2;
inline constexpr std::size_t kShortcutKey = 3;
inline constexpr std::size_t kShortcutPad = 4;
inline constexpr std::size_t kShortcutPadSize = 3;
inline constexpr std::size_t kShortcutModifiers = 7;
inline constexpr std::size_t kReservedWord = 8;
inline constexpr std::size_t kUnusedAfterWord = 10;
inline constexpr std::size_t kUnusedAfterWordSize = 2;
inline constexpr std::size_t kMacroRepeatMode = 12;
inline constexpr std::size_t kMacroName = 16;  // UTF-16LE
inline constexpr std::size_t kMacroNameUnits = 24;
inline constexpr std::size_t kMacroLoopCount = 64;
inline constexpr std::size_t kMacroActionCount = 68;  // uint16
inline constexpr std::size_t kUnusedAfterCount = 70;
inline constexpr std::size_t kUnusedAfterCountSize = 1002;
inline constexpr std::size_t kMacroIndex = 1072;
inline constexpr std::size_t kReservedIndex = 1076;
inline constexpr std::size_t kUnusedAfterIndex = 1080;
inline constexpr std::size_t kUnusedAfterIndexSize = 4;
inline constexpr std::size_t kMacroOptionByte = 1084;
inline constexpr std::size_t kUnusedAfterOption = 1085;
inline constexpr std::size_t kUnusedAfterOptionSize = 3;
inline constexpr std::size_t kMacroActions = 1088;  // 46 x 4 bytes

// Shortcut modifier bits.
inline constexpr std::uint8_t kModCtrl = 0x01;
inline constexpr std::uint8_t kModShift = 0x02;
inline constexpr std::uint8_t kModAlt = 0x04;
inline constexpr std::uint8_t kModWin = 0x08;
inline constexpr std::uint8_t kModifierBits = kModCtrl | kModShift | kModAlt | kModWin;
}  // namespace binding

// "pro.data": currentIndex, then profile records back to back.
namespace store {
inline constexpr std::size_t kCurrentIndex = 0;  // int32
inline constexpr std::size_t kFirstProfile = 4;
}  // namespace store

}  // namespace layout

// Button function codes that the profile stores with extra data.
namespace function {
inline constexpr std::uint8_t kShortcut = 16;
inline constexpr std::uint8_t kMacro = 17;
}  // namespace function

}  // namespace tvq
