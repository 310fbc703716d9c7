// The report frames sent to the mouse: ids, lengths and byte offsets.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tvq {

// Report frames sent to the mouse.
namespace report {
inline constexpr std::uint8_t kDpi = 0x04;
inline constexpr std::uint8_t kLighting = 0x05;
inline constexpr std::uint8_t kPolling = 0x06;
inline constexpr std::uint8_t kButtons = 0x08;
inline constexpr std::uint8_t kMacro = 0x09;
inline constexpr std::uint8_t kProfileSelect = 0x0C;

inline constexpr std::size_t kProfileSelectLength = 10;
inline constexpr std::size_t kDpiLength = 56;
inline constexpr std::size_t kLightingLength = 15;
inline constexpr std::size_t kPollingLength = 9;
inline constexpr std::size_t kButtonsLength = 59;
inline constexpr std::size_t kMacroLength = 131;

// Header of every frame.
inline constexpr std::size_t kId = 0;
inline constexpr std::size_t kLength = 1;
inline constexpr std::size_t kSelector = 2;
inline constexpr std::size_t kBody = 3;

// REPORT_DPI
inline constexpr std::size_t kDpiReportA = 3;
inline constexpr std::size_t kDpiReportB = 4;
inline constexpr std::size_t kDpiEnableMask = 5;
inline constexpr std::size_t kDpiHighMask = 6;
inline constexpr std::size_t kDpiHighMaskCopy = 7;
inline constexpr std::size_t kDpiCountA = 8;
inline constexpr std::size_t kDpiCountB = 16;
inline constexpr std::size_t kDpiStage = 24;
inline constexpr std::size_t kDpiColors = 25;
inline constexpr std::size_t kDpiTrailer = 49;
inline constexpr std::uint8_t kDpiTrailerValue = 0x02;
inline constexpr std::size_t kDpiSum = 50;
inline constexpr std::int32_t kDpiHighRangeAbove = 4000;
inline constexpr float kDpiCountDivisorA = 39.0f;
inline constexpr float kDpiCountDivisorB = 38.0f;

// REPORT_LIGHTING
inline constexpr std::size_t kLightEffect = 3;
inline constexpr std::size_t kLightSpeed = 4;
inline constexpr std::size_t kLightBrightness = 5;
inline constexpr std::size_t kLightColor = 6;
inline constexpr std::size_t kLightSleep = 9;
inline constexpr std::size_t kLightTrailer = 10;
inline constexpr std::uint8_t kLightTrailerValue = 0x01;
inline constexpr std::size_t kLightSum = 11;
inline constexpr std::int32_t kLightSpeedBase = 9;
inline constexpr std::uint8_t kLightFixedBrightness = 8;

// REPORT_POLLING and REPORT_PROFILE_SELECT (value, then its complement)
inline constexpr std::size_t kComplementValue = 3;
inline constexpr std::size_t kComplementCheck = 4;
inline constexpr std::size_t kProfileSelectTail = 4;  // 0x02 0xFD
inline constexpr std::uint8_t kProfileSelectTailValue = 0x02;

// REPORT_BUTTONS
inline constexpr std::size_t kButtonEntries = 3;
inline constexpr std::size_t kButtonEntrySize = 3;
inline constexpr std::size_t kButtonsSum = 57;

// REPORT_MACRO
inline constexpr std::size_t kMacroRepeat = 3;
inline constexpr std::size_t kMacroOption = 4;  // three copies
inline constexpr std::size_t kMacroLoops = 7;
inline constexpr std::size_t kMacroEntryCount = 8;
inline constexpr std::size_t kMacroEntries = 9;
inline constexpr std::size_t kMacroSum = 129;
inline constexpr std::uint8_t kMacroPressFlag = 0x01;
inline constexpr std::uint8_t kMacroReleaseFlag = 0x81;
inline constexpr std::uint8_t kMacroExtensionMarker = 0x03;
inline constexpr std::uint16_t kMacroLongDelayMs = 1270;
inline constexpr std::uint16_t kMacroExtensionStepMs = 200;
inline constexpr int kMacroMaxExtensions = 10;

// Cable chunks of a REPORT_MACRO frame.
inline constexpr std::size_t kChunkLength = 64;
inline constexpr std::size_t kChunkCount = 3;
inline constexpr std::size_t kChunkIndex = 3;
inline constexpr std::size_t kChunkData = 4;
inline constexpr std::size_t kChunkDataSize = kChunkLength - kChunkData;  // 60
}  // namespace report

// The function codes the button frames carry for a shortcut and a macro.
namespace function {
inline constexpr std::uint8_t kDeviceShortcut = 0x11;
inline constexpr std::uint8_t kDeviceMacro = 0x12;
}  // namespace function

}  // namespace tvq
