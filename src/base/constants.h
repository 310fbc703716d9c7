// Every fixed number of the mouse's records, stores and files, named once.
//
// Offsets are byte offsets from the start of the enclosing record. All
// multi-byte values on disk are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tvq {

// Product identity, used for folder names, lock names and window titles.
inline constexpr const char* kProductName = "TERVANA TVQ-R270 WIRELESS MOUSE";

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
}  // namespace binding

// One macro: identical in memory, in "macro.data" and in a ".macro" file.
namespace macro {
inline constexpr std::size_t kSize = 240;
inline constexpr std::size_t kName = 0;  // UTF-16LE
inline constexpr std::size_t kNameUnits = 24;
inline constexpr std::size_t kNameMaxChars = kNameUnits - 1;
inline constexpr std::size_t kReserved = 48;
inline constexpr std::size_t kActionCount = 52;  // int32, 0..46
inline constexpr std::size_t kActions = 56;
inline constexpr std::size_t kMaxActions = 46;

// One action of a macro.
inline constexpr std::size_t kActionSize = 4;
inline constexpr std::size_t kActionCode = 0;
inline constexpr std::size_t kActionType = 1;
inline constexpr std::size_t kActionDelay = 2;  // uint16, ms
inline constexpr std::uint8_t kPress = 1;
inline constexpr std::uint8_t kRelease = 2;

// Mouse button codes; every other code is a HID keyboard usage.
inline constexpr std::uint8_t kLeftButton = 0xF1;
inline constexpr std::uint8_t kRightButton = 0xF2;
inline constexpr std::uint8_t kMiddleButton = 0xF3;
inline constexpr std::uint8_t kBackwardButton = 0xF4;
inline constexpr std::uint8_t kForwardButton = 0xF5;

// The weighted length counts an action twice when its delay exceeds this.
inline constexpr std::uint16_t kLongDelayMs = 1280;
// A macro is committed only while its weighted length stays below this.
inline constexpr int kRefusedWeightedLength = 48;
}  // namespace macro

// "pro.data": currentIndex, then profile records back to back.
namespace store {
inline constexpr std::size_t kCurrentIndex = 0;  // int32
inline constexpr std::size_t kFirstProfile = 4;
}  // namespace store

}  // namespace layout

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

// Button function codes with special device entries.
namespace function {
inline constexpr std::uint8_t kShortcut = 16;
inline constexpr std::uint8_t kMacro = 17;
inline constexpr std::uint8_t kDeviceShortcut = 0x11;
inline constexpr std::uint8_t kDeviceMacro = 0x12;
}  // namespace function

// Status reports from the mouse: a 16-bit code and a 16-bit value.
namespace status {
inline constexpr std::uint16_t kDpiStage = 0x1000;
inline constexpr std::uint16_t kPolling = 0x2000;
inline constexpr std::uint16_t kSaveOnly = 0x3200;
inline constexpr std::uint16_t kHeartbeat = 0x4010;
inline constexpr std::uint16_t kAck = 0x5010;
inline constexpr std::uint16_t kBattery = 0x6000;
inline constexpr std::uint16_t kIgnored = 0x7000;
inline constexpr std::uint16_t kButtonMode = 0x8000;
inline constexpr std::uint16_t kAttachEvent = 0x7F00;  // high half of an attach word
inline constexpr std::uint16_t kFirstStatusCode = 0x1000;
inline constexpr std::uint16_t kLastStatusCode = 0x9000;
inline constexpr std::uint16_t kAttached = 1;
inline constexpr std::uint16_t kDetached = 2;
}  // namespace status

// USB and Bluetooth identities of the mouse.
namespace usb {
inline constexpr std::int32_t kVendor = 0x1D57;
inline constexpr std::int32_t kCableProduct = 0xFA61;
inline constexpr std::int32_t kReceiverProduct = 0xFA60;
inline constexpr std::uint16_t kBleVendor = 0x045E;
inline constexpr std::uint16_t kBleProduct = 0x0040;
inline constexpr const char* kBleVendorTag = "VID&02045E";
inline constexpr const char* kBleProductTag = "PID&0040";
}  // namespace usb

// Window messages, timers and waits.
namespace msg {
inline constexpr std::uint32_t kQuit = 0x0012;
inline constexpr std::uint32_t kTimer = 275;
inline constexpr std::uint32_t kTrayNotify = 1025;
inline constexpr std::uint32_t kMenuClick = 1027;
inline constexpr std::uint32_t kHookInput = 1034;
inline constexpr std::uint32_t kShowMainWindow = 1037;
inline constexpr std::uint32_t kConnectionChanged = 1128;
inline constexpr std::uint32_t kDpiStageReported = 1129;
inline constexpr std::uint32_t kReceiverData = 1325;
inline constexpr std::uint32_t kReceiverAttach = 1326;
inline constexpr std::uint32_t kWiredData = 1327;
inline constexpr std::uint32_t kWiredAttach = 1328;
inline constexpr std::uint32_t kApplyRequest = 1329;
inline constexpr std::uint32_t kApply = 1648;  // thread message to the device worker
// Thread message to the device worker: write the profile store, so that the
// user-interface thread never waits for the disk.
inline constexpr std::uint32_t kSaveStore = 1649;
}  // namespace msg

namespace timer {
inline constexpr int kApplyDebounce = 43;
inline constexpr int kDpiDisplay = 52;
inline constexpr int kChargeAnimation = 53;
inline constexpr int kLinkWatchdog = 100;
inline constexpr int kLinkWatchdogMs = 6000;
inline constexpr int kChargeAnimationMs = 30;
}  // namespace timer

namespace wait {
inline constexpr int kCableMs = 200;
inline constexpr int kReceiverMs = 700;
inline constexpr int kReceiverWrites = 10;
inline constexpr int kBleMs = 500;
inline constexpr int kAttachSettleMs = 1000;
}  // namespace wait

// Controls the device logic shows, hides or fills.
namespace control {
inline constexpr const char* kWired = "ms_1_wired";
inline constexpr const char* kWireless = "ms_1_wireless";
inline constexpr const char* kBle = "ms_1_BLE";
inline constexpr const char* kSleepLabel = "ms_1_sleep_label";
inline constexpr const char* kLabelPower = "ms_1_label_power";
inline constexpr const char* kProgressPower = "ms_1_progress_power";
inline constexpr const char* kApplyRing = "apply_ring";
inline constexpr const char* kComboLight = "ms_1_combo_light";
inline constexpr const char* kCheckPrate = "ms_1_check_prate";
inline constexpr const char* kVerPrate = "ms_1_ver_prate";
inline constexpr const char* kCheckPower = "ms_1_check_power";
inline constexpr const char* kVerPower = "ms_1_ver_power";
inline constexpr const char* kOptionDpiStep = "ms_1_option_dpi_step_";        // + 1..8
inline constexpr const char* kOptionButtonMode = "ms_1_option_button_mode_";  // + 1..2
inline constexpr const char* kKeyButton = "ms_1_btn_key_";                    // + 1..18
inline constexpr const char* kKeyOverlay = "ms_1_key_control_";               // + 1..18
inline constexpr const char* kSliderDpi = "ms_1_slider_dpi_";                 // + 1..8
inline constexpr const char* kLabelDpi = "ms_1_label_dpi_";                   // + 1..8
inline constexpr const char* kDpiColor = "ms_1_btn_dpi_color_";               // + 1..8
inline constexpr const char* kOptionPrate = "ms_1_btn_prate_";                // + 1..4
inline constexpr const char* kComboLightBle = "ms_1_combo_light_ble";
inline constexpr const char* kHorBrightness = "ms_1_hor_brightness";
inline constexpr const char* kHorBreathSpeed = "ms_1_hor_breathspeed";
inline constexpr const char* kHorLightColor = "ms_1_hor_light_color";
inline constexpr const char* kSliderBrightness = "ms_1_slider_brightness";
inline constexpr const char* kSliderBreathSpeed = "ms_1_slider_breathspeed";
inline constexpr const char* kLightColor = "ms_1_btn_light_color";
inline constexpr const char* kLabelPrate = "ms_1_label_prate";
inline constexpr const char* kSliderSleep = "ms_1_slider_sleep_timer";
inline constexpr const char* kLabelSleep = "ms_1_label_sleep_timer";
inline constexpr const char* kListProfile = "ms_1_list_profile";
inline constexpr const char* kApplyButton = "ms_1_apply_btn";
inline constexpr const char* kCheckPowerSetting = "ms_1_check_power_setting";
inline constexpr const char* kVerPowerSetting = "ms_1_ver_power_setting";
inline constexpr int kKeyButtonCount = 18;
inline constexpr int kButtonModeOptionCount = 2;
inline constexpr int kDpiStageControlCount = 8;
inline constexpr int kPrateOptionCount = 4;
inline constexpr int kProfileRowHeight = 22;
}  // namespace control

// Files below the data folder.
namespace paths {
inline constexpr const char* kStoreFolder = "ms_1";
inline constexpr const char* kProfileStoreFile = "pro.data";
inline constexpr const char* kMacroStoreFile = "macro.data";
inline constexpr const char* kFallbackDataFolder = "Data";
inline constexpr const char* kDebugEnvironment = "TVQ_DEBUG";
inline constexpr const char* kCableLibrary = "hiddriver_2.so";
inline constexpr const char* kReceiverLibrary = "hiddriver_1.so";
inline constexpr const char* kHookLibrary = "Hook.so";
inline constexpr const char* kVirtualMouseEnvironment = "TVQ_VIRTUAL_MOUSE";
}  // namespace paths

// Text keys the core asks the language resource for.
namespace textkeys {
inline constexpr const char* kAddProfile = "add_profile_text";
inline constexpr const char* kAddMacro = "add_macro_text";
inline constexpr const char* kCharging = "charging_text";
inline constexpr const char* kSleepTimerBefore = "sleep_timer_1_text";
inline constexpr const char* kSleepTimerAfter = "sleep_timer_2_text";
}  // namespace textkeys

}  // namespace tvq
