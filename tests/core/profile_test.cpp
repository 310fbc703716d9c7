#include "profiles/profile.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/text.h"

namespace tvq {
namespace {

namespace lp = layout::profile;
namespace lm = layout::mode;
namespace lb = layout::binding;

std::size_t slotBase(std::size_t slot) {
    return lp::kModes + slot * lm::kSize;
}
std::size_t bindingBase(std::size_t slot, std::size_t k) {
    return slotBase(slot) + lm::kButtons + k * lb::kSize;
}

std::int32_t i32At(const std::vector<std::uint8_t>& b, std::size_t off) {
    return readI32(b, off);
}
std::uint16_t u16At(const std::vector<std::uint8_t>& b, std::size_t off) {
    return static_cast<std::uint16_t>(b[off] | (b[off + 1] << 8));
}

// The defaults are checked on the encoded bytes, at the offsets of the record,
// so that both the defaults and the encoding are under test.
TEST(ProfileDefaults, EveryDefaultSitsAtItsOffset) {
    const auto bytes = encodeProfile(*newProfile(u"P1"));
    ASSERT_EQ(bytes.size(), 165004u);

    EXPECT_EQ(i32At(bytes, lp::kButtonMode), 0);
    EXPECT_EQ(u16At(bytes, lp::kName), u'P');
    EXPECT_EQ(u16At(bytes, lp::kName + 2), u'1');
    for (std::size_t i = 2; i < lp::kNameUnits; ++i) {
        EXPECT_EQ(u16At(bytes, lp::kName + 2 * i), 0) << "name unit " << i;
    }

    for (std::size_t slot = 0; slot < lp::kModeCount; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const std::size_t s = slotBase(slot);
        for (std::size_t i = 0; i < lm::kButtons; ++i) {
            const std::size_t off = s + i;
            // Every byte outside these fields is zero in a new profile.
            const bool inField = (i >= lm::kReservedValueA && i < lm::kReservedFlagA) ||
                                 (i >= lm::kReservedValueC && i < lm::kReservedValueC + 4) ||
                                 (i >= lm::kDpiReportA && i < lm::kUnusedBeforeDpiValue) ||
                                 (i >= lm::kDpiValue && i < lm::kMovementMode) ||
                                 (i >= lm::kLightMode && i < lm::kReservedValueD);
            if (!inField) {
                ASSERT_EQ(bytes[off], 0) << "offset " << i;
            }
        }
        EXPECT_EQ(i32At(bytes, s + lm::kReservedValueA), 420);
        EXPECT_EQ(i32At(bytes, s + lm::kReservedValueB), 3);
        EXPECT_EQ(i32At(bytes, s + lm::kReservedValueC), 6);
        EXPECT_EQ(i32At(bytes, s + lm::kDpiReportA), 8);
        EXPECT_EQ(i32At(bytes, s + lm::kDpiReportB), 8);
        const std::int32_t dpi[] = {20, 80, 160, 200, 0, 0, 0, 0};
        const std::int32_t enabled[] = {1, 1, 1, 1, 0, 0, 0, 0};
        const std::uint32_t colors[] = {0x0000FF, 0x00FFFF, 0xFF0000, 0x00FF00,
                                        0xFFFF00, 0x0000FF, 0x0040FF, 0xFFFFFF};
        const std::uint32_t palette[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF,
                                         0x00FFFF, 0xFFFFFF, 0xFFFFFF, 0x0080FF};
        for (std::size_t k = 0; k < 8; ++k) {
            EXPECT_EQ(i32At(bytes, s + lm::kDpiValue + 4 * k), dpi[k]);
            EXPECT_EQ(i32At(bytes, s + lm::kDpiValueAlt + 4 * k), dpi[k]);
            EXPECT_EQ(i32At(bytes, s + lm::kDpiEnabled + 4 * k), enabled[k]);
            EXPECT_EQ(static_cast<std::uint32_t>(i32At(bytes, s + lm::kDpiColor + 4 * k)),
                      colors[k]);
            EXPECT_EQ(static_cast<std::uint32_t>(i32At(bytes, s + lm::kPaletteColor + 4 * k)),
                      palette[k]);
        }
        EXPECT_EQ(i32At(bytes, s + lm::kBrightness), 8);
        EXPECT_EQ(i32At(bytes, s + lm::kBreathSpeed), 6);
        EXPECT_EQ(i32At(bytes, s + lm::kSleepTimer), 1);
        EXPECT_EQ(i32At(bytes, s + lm::kDpiStage), 0);
        EXPECT_EQ(i32At(bytes, s + lm::kPollingRate), 1);
        EXPECT_EQ(i32At(bytes, s + lm::kMovementMode), 0);
        EXPECT_EQ(i32At(bytes, s + lm::kLightMode), 7);
        EXPECT_EQ(i32At(bytes, s + lm::kLightModeBle), 3);
        EXPECT_EQ(bytes[s + lm::kReservedFlagB], 1);
        EXPECT_EQ(bytes[s + lm::kReservedFlagB + 1], 0);
        EXPECT_EQ(i32At(bytes, s + lm::kLightAux), 1);
        EXPECT_EQ(i32At(bytes, s + lm::kLightColor), 0xFF0000);
        EXPECT_EQ(i32At(bytes, s + lm::kReservedValueD), 0);

        for (std::size_t k = 0; k < lm::kBindingCount; ++k) {
            const std::size_t b = bindingBase(slot, k);
            if (k >= lm::kUsedBindingCount) {
                for (std::size_t i = 0; i < lb::kSize; ++i) {
                    ASSERT_EQ(bytes[b + i], 0) << "binding " << k << " byte " << i;
                }
                continue;
            }
            EXPECT_EQ(bytes[b + lb::kButtonIndex], k);
            EXPECT_EQ(bytes[b + lb::kFunction], defaultFunction(slot, k));
            EXPECT_EQ(u16At(bytes, b + lb::kReservedWord), 562);
            EXPECT_EQ(i32At(bytes, b + lb::kMacroIndex), -1);
            EXPECT_EQ(i32At(bytes, b + lb::kReservedIndex), -1);
            EXPECT_EQ(i32At(bytes, b + lb::kMacroLoopCount), 0);
            EXPECT_EQ(u16At(bytes, b + lb::kMacroActionCount), 0);
        }
    }
}

TEST(ProfileDefaults, ButtonFunctionTables) {
    const std::uint8_t slot0[] = {1, 2, 3, 6, 0, 0, 4, 5, 0, 0, 71, 0, 0, 0, 69, 70, 11, 12};
    const std::uint8_t slot1[] = {1, 2, 3, 6, 0, 0, 4, 5, 0, 0, 0, 0, 0, 0, 14, 13, 11, 12};
    const auto p = newProfile(u"x");
    for (std::size_t k = 0; k < 18; ++k) {
        EXPECT_EQ(p->modes[0].buttons[k].function, slot0[k]) << k;
        EXPECT_EQ(p->modes[1].buttons[k].function, slot1[k]) << k;
        for (std::size_t slot : {2u, 3u, 4u}) {
            EXPECT_EQ(p->modes[slot].buttons[k].function, slot0[k]) << slot << "/" << k;
        }
    }
}

TEST(ProfileDefaults, SlotOneDiffersOnlyInThreeFunctionBytes) {
    const auto bytes = encodeProfile(*newProfile(u"P1"));
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < lm::kSize; ++i) {
        if (bytes[slotBase(0) + i] != bytes[slotBase(1) + i]) {
            differing.push_back(i);
        }
    }
    const std::size_t fn = lm::kButtons + lb::kFunction;
    EXPECT_EQ(differing, (std::vector<std::size_t>{fn + 10 * lb::kSize, fn + 14 * lb::kSize,
                                                   fn + 15 * lb::kSize}));
    for (std::size_t slot : {2u, 3u, 4u}) {
        EXPECT_TRUE(std::equal(bytes.begin() + slotBase(0), bytes.begin() + slotBase(1),
                               bytes.begin() + slotBase(slot)))
            << "slot " << slot;
    }
}

TEST(ProfileDefaults, RestoringKeepsNameMovementModeAndGapsButClearsBindings) {
    auto p = newProfile(u"Keep me");
    p->buttonMode = 1;
    writeAllSlots(*p, [](ModeSettings& m) {
        m.movementMode = 1;
        m.reservedHead[7] = 0xAB;
        m.dpiValue[0] = 99;
        m.lightMode = 2;
    });
    p->modes[3].buttons[20].function = 9;  // bindings past 17 become zero again
    p->modes[0].buttons[2].macroActions[5].code = 0x04;

    applyDefaults(*p);

    const auto fresh = newProfile(u"Keep me");
    EXPECT_EQ(profileName(*p), u"Keep me");
    EXPECT_EQ(p->buttonMode, 0);
    for (const ModeSettings& m : p->modes) {
        EXPECT_EQ(m.movementMode, 1);
        EXPECT_EQ(m.reservedHead[7], 0xAB);
        EXPECT_EQ(m.dpiValue[0], 20);
        EXPECT_EQ(m.lightMode, 7);
    }
    for (std::size_t slot = 0; slot < lp::kModeCount; ++slot) {
        EXPECT_EQ(p->modes[slot].buttons, fresh->modes[slot].buttons) << slot;
    }
}

TEST(ProfileName, FortyNineCharactersKeepTheTerminatorAndLongerNamesAreCut) {
    const std::u16string name49(49, u'n');
    auto p = newProfile(name49);
    EXPECT_EQ(profileName(*p), name49);
    EXPECT_EQ(p->name[49], u'\0');

    p = newProfile(std::u16string(60, u'x'));
    EXPECT_EQ(profileName(*p), std::u16string(49, u'x'));

    // A surrogate pair straddling the limit is dropped whole.
    std::u16string emoji(48, u'e');
    emoji += u"\U0001F5B1";
    p = newProfile(emoji);
    EXPECT_EQ(profileName(*p), std::u16string(48, u'e'));
}

TEST(ProfileCodec, EveryByteRoundTrips) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> bytes(lp::kSize);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(random());
    }
    const auto profile = decodeProfile(std::span(bytes).first<lp::kSize>());
    EXPECT_EQ(encodeProfile(*profile), bytes);
}

TEST(ProfileCodec, ValuesAreLittleEndianAtTheirOffsets) {
    auto p = newProfile(u"");
    p->buttonMode = 0x01020304;
    p->modes[2].dpiValue[1] = 0x0A0B0C0D;
    p->modes[4].buttons[23].macroActions[45] = {0xF5, 2, 0xBEEF};
    const auto bytes = encodeProfile(*p);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(bytes[3], 0x01);
    const std::size_t dpi = slotBase(2) + lm::kDpiValue + 4;
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + dpi, bytes.begin() + dpi + 4)),
              (std::vector<std::uint8_t>{0x0D, 0x0C, 0x0B, 0x0A}));
    const std::size_t last = lp::kSize - 4;  // the very last action of the record
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + last, bytes.end())),
              (std::vector<std::uint8_t>{0xF5, 0x02, 0xEF, 0xBE}));
}

TEST(ProfileCodec, ProfileFileMustBeExactlyOneRecord) {
    const auto good = encodeProfile(*newProfile(u"f"));
    EXPECT_NE(parseProfileFile(good), nullptr);
    std::string error;
    auto shorter = good;
    shorter.pop_back();
    EXPECT_EQ(parseProfileFile(shorter, &error), nullptr);
    EXPECT_NE(error.find("165004"), std::string::npos);
    auto longer = good;
    longer.push_back(0);
    EXPECT_EQ(parseProfileFile(longer), nullptr);
    EXPECT_EQ(parseProfileFile({}), nullptr);
}

TEST(ModeSlots, ActiveSlotFollowsButtonModeAndStaysInsideTheRecord) {
    auto p = newProfile(u"m");
    p->modes[3].dpiStage = 5;
    p->buttonMode = 3;
    EXPECT_EQ(modeOf(*p).dpiStage, 5);
    for (std::int32_t bad : {5, -1, 40, INT32_MIN}) {
        p->buttonMode = bad;
        EXPECT_EQ(&modeOf(*p), &p->modes[0]) << bad;
    }
}

TEST(ModeSlots, SettingsGoToAllFiveSlots) {
    auto p = newProfile(u"m");
    p->buttonMode = 1;
    writeAllSlots(*p, [](ModeSettings& m) { m.pollingRate = 3; });
    for (const ModeSettings& m : p->modes) {
        EXPECT_EQ(m.pollingRate, 3);
    }
}

TEST(ModeSlots, BindingsOfButtonsZeroToNineArePairedBetweenSlotsZeroAndOne) {
    ButtonBinding shortcut;
    shortcut.buttonIndex = 3;
    shortcut.function = 16;
    shortcut.shortcutKey = 0x04;
    shortcut.shortcutModifiers = layout::binding::kModCtrl;

    auto p = newProfile(u"m");
    storeBinding(*p, 3, shortcut);
    EXPECT_EQ(p->modes[0].buttons[3], shortcut);
    EXPECT_EQ(p->modes[1].buttons[3], shortcut);
    EXPECT_NE(p->modes[2].buttons[3], shortcut);

    p = newProfile(u"m");
    p->buttonMode = 1;
    storeBinding(*p, 9, shortcut);
    EXPECT_EQ(p->modes[0].buttons[9], shortcut);

    p = newProfile(u"m");
    storeBinding(*p, 10, shortcut);  // 10..17 stay per slot
    EXPECT_EQ(p->modes[0].buttons[10], shortcut);
    EXPECT_EQ(p->modes[1].buttons[10].function, 0);

    p = newProfile(u"m");
    p->buttonMode = 2;  // slots 2..4 are not paired
    storeBinding(*p, 3, shortcut);
    EXPECT_EQ(p->modes[2].buttons[3], shortcut);
    EXPECT_EQ(p->modes[0].buttons[3].function, 6);
    EXPECT_EQ(p->modes[1].buttons[3].function, 6);

    const Profile before = *p;
    storeBinding(*p, 18, shortcut);  // not one of the mouse's buttons
    EXPECT_EQ(*p, before);
}

TEST(Colors, StoredBgrIsShownAsOpaqueRgb) {
    EXPECT_EQ(shownColor(0x0040FF), 0xFFFF4000u);    // red 255, green 64, blue 0
    EXPECT_EQ(shownColor(0xFF0000), 0xFF0000FFu);    // stored blue
    EXPECT_EQ(shownColor(0xAB123456), 0xFF563412u);  // the top byte is not shown
    for (std::uint32_t c : {0x000000u, 0x0040FFu, 0x123456u, 0xFFFFFFu}) {
        EXPECT_EQ(storedColor(shownColor(c)), c);
    }
    EXPECT_EQ(storedColor(0x80FF4000), 0x0040FFu);
}

TEST(Dpi, StoredStepsOfForty) {
    EXPECT_EQ(shownDpi(200), 8000);
    EXPECT_EQ(shownDpi(0), 0);
    EXPECT_EQ(shownDpi(INT32_MAX), std::int64_t{INT32_MAX} * 40);
}

}  // namespace
}  // namespace tvq
