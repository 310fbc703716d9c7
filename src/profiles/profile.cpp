#include "profiles/profile.h"

#include "base/text.h"

namespace tvq {
namespace {

constexpr std::size_t kSlotWithTilt = 1;

// Default function codes of buttons 0..17.
constexpr std::array<std::uint8_t, layout::mode::kUsedBindingCount> kDefaultFunctions = {
    1, 2, 3, 6, 0, 0, 4, 5, 0, 0, 71, 0, 0, 0, 69, 70, 11, 12};
// Slot 1 turns mute, volume up and volume down into off, tilt right, tilt left.
constexpr std::array<std::uint8_t, layout::mode::kUsedBindingCount> kDefaultFunctionsSlot1 = {
    1, 2, 3, 6, 0, 0, 4, 5, 0, 0, 0, 0, 0, 0, 14, 13, 11, 12};

constexpr DpiTable kDefaultDpi = {20, 80, 160, 200, 0, 0, 0, 0};
constexpr DpiTable kDefaultDpiEnabled = {1, 1, 1, 1, 0, 0, 0, 0};
constexpr ColorTable kDefaultDpiColors = {0x0000FF, 0x00FFFF, 0xFF0000, 0x00FF00,
                                          0xFFFF00, 0x0000FF, 0x0040FF, 0xFFFFFF};
constexpr ColorTable kDefaultPalette = {0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF,
                                        0x00FFFF, 0xFFFFFF, 0xFFFFFF, 0x0080FF};

void applySlotDefaults(ModeSettings& m, std::size_t slot) {
    m.reservedTextA.fill(u'\0');
    m.reservedTextB.fill(u'\0');
    m.reservedValueA = 420;
    m.reservedValueB = 3;
    m.reservedFlagA = 0;
    m.reservedValueC = 6;
    m.dpiAux = 0;
    m.dpiReportA = 8;
    m.dpiReportB = 8;
    m.dpiValue = kDefaultDpi;
    m.dpiValueAlt = kDefaultDpi;
    m.dpiEnabled = kDefaultDpiEnabled;
    m.brightness = 8;
    m.breathSpeed = 6;
    m.sleepTimer = 1;
    m.dpiStage = 0;
    m.pollingRate = 1;
    m.lightMode = 7;
    m.lightModeBle = 3;
    m.reservedFlagB = 1;
    m.lightAux = 1;
    m.lightColor = 0xFF0000;
    m.dpiColor = kDefaultDpiColors;
    m.paletteColor = kDefaultPalette;
    m.reservedValueD = 0;

    m.buttons.fill(ButtonBinding{});
    for (std::size_t k = 0; k < layout::mode::kUsedBindingCount; ++k) {
        ButtonBinding& b = m.buttons[k];
        b.buttonIndex = static_cast<std::uint8_t>(k);
        b.function = defaultFunction(slot, k);
        b.reservedWord = 562;
        b.macroIndex = -1;
        b.reservedIndex = -1;
    }
}

}  // namespace

std::uint8_t defaultFunction(std::size_t slot, std::size_t buttonIndex) {
    if (buttonIndex >= layout::mode::kUsedBindingCount) {
        return 0;
    }
    return slot == kSlotWithTilt ? kDefaultFunctionsSlot1[buttonIndex]
                                 : kDefaultFunctions[buttonIndex];
}

void encodeProfile(const Profile& profile, std::span<std::uint8_t, layout::profile::kSize> out) {
    fields(FieldWriter(out), 0, profile);
}

std::vector<std::uint8_t> encodeProfile(const Profile& profile) {
    std::vector<std::uint8_t> bytes(layout::profile::kSize);
    encodeProfile(profile, std::span<std::uint8_t, layout::profile::kSize>(bytes));
    return bytes;
}

std::unique_ptr<Profile> decodeProfile(std::span<const std::uint8_t, layout::profile::kSize> in) {
    auto profile = std::make_unique<Profile>();
    fields(FieldReader(in), 0, *profile);
    return profile;
}

std::unique_ptr<Profile> parseProfileFile(std::span<const std::uint8_t> bytes, std::string* error) {
    if (bytes.size() != layout::profile::kSize) {
        if (error != nullptr) {
            *error = "a profile file holds exactly " + std::to_string(layout::profile::kSize) +
                     " bytes, this one " + std::to_string(bytes.size());
        }
        return nullptr;
    }
    return decodeProfile(bytes.first<layout::profile::kSize>());
}

void applyDefaults(Profile& profile) {
    profile.buttonMode = 0;
    for (std::size_t slot = 0; slot < layout::profile::kModeCount; ++slot) {
        applySlotDefaults(profile.modes[slot], slot);
    }
}

std::unique_ptr<Profile> newProfile(std::u16string_view name) {
    auto profile = std::make_unique<Profile>();  // value-initialised: all zero
    applyDefaults(*profile);
    setProfileName(*profile, name);
    return profile;
}

std::size_t activeSlot(const Profile& profile) {
    const auto slot = static_cast<std::size_t>(profile.buttonMode);
    return slot < layout::profile::kModeCount ? slot : 0;
}

ModeSettings& modeOf(Profile& profile) {
    return profile.modes[activeSlot(profile)];
}

const ModeSettings& modeOf(const Profile& profile) {
    return profile.modes[activeSlot(profile)];
}

std::u16string profileName(const Profile& profile) {
    return std::u16string(fieldText(profile.name));
}

void setProfileName(Profile& profile, std::u16string_view name) {
    setFieldText(profile.name, name);
}

void writeAllSlots(Profile& profile, const std::function<void(ModeSettings&)>& edit) {
    for (ModeSettings& m : profile.modes) {
        edit(m);
    }
}

void storeBinding(Profile& profile, std::size_t buttonIndex, const ButtonBinding& binding) {
    if (buttonIndex >= layout::mode::kUsedBindingCount) {
        return;
    }
    modeOf(profile).buttons[buttonIndex] = binding;
    constexpr std::size_t kPairedButtons = 10;
    if (buttonIndex < kPairedButtons && (profile.buttonMode == 0 || profile.buttonMode == 1)) {
        const std::size_t other = profile.buttonMode == 0 ? 1 : 0;
        profile.modes[other].buttons[buttonIndex] = binding;
    }
}

}  // namespace tvq
