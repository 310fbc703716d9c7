#include "protocol/frames.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/text.h"

namespace tvq {
namespace {

Frame hex(const std::string& text) {
    std::istringstream in(text);
    Frame bytes;
    unsigned value = 0;
    while (in >> std::hex >> value) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

ButtonBinding macroBinding(std::initializer_list<MacroAction> actions) {
    ButtonBinding b;
    b.function = function::kMacro;
    b.macroActionCount = static_cast<std::uint16_t>(actions.size());
    std::size_t i = 0;
    for (const MacroAction& a : actions) {
        b.macroActions[i++] = a;
    }
    return b;
}

// The first entry byte and the rest of a macro frame's entries.
Frame entriesOf(const Frame& f) {
    return Frame(f.begin() + report::kMacroEntries,
                 f.begin() + report::kMacroEntries + 2 * f[report::kMacroEntryCount]);
}

TEST(Frames, DefaultProfileMatchesTheKnownFrames) {
    const auto p = newProfile(u"P1");
    EXPECT_EQ(profileSelectFrame(*p), hex("0C 0A 01 FE 02 FD 00 00 00 00"));
    EXPECT_EQ(dpiFrame(p->modes[0], 0),
              hex("04 38 01 08 08 0F 0C 0C 15 52 52 67 00 00 00 00 15 54 54 69 00 00 00 00 01 FF "
                  "00 00 FF FF 00 00 00 FF 00 FF 00 00 FF FF FF 00 00 FF 40 00 FF FF FF 02 0E B4 "
                  "00 00 00 00"));
    EXPECT_EQ(lightingFrame(p->modes[0], 0), hex("05 0F 01 70 03 08 00 00 FF 01 01 01 7C 00 00"));
    EXPECT_EQ(pollingFrame(p->modes[0], 1), hex("06 09 01 04 FB 00 00 00 00"));
    MacroSlotTable slots{};
    EXPECT_EQ(buttonsFrame(p->modes[0], 0, slots),
              hex("08 3B 01 02 00 00 03 00 00 04 00 00 0D 00 00 01 00 00 01 00 00 06 00 00 05 00 "
                  "00 01 00 00 01 00 00 1A 00 00 01 00 00 01 00 00 01 00 00 1B 00 00 1C 00 00 09 "
                  "00 00 0A 00 00 00 8C"));
}

TEST(Frames, ApplySequenceOrderAndSlots) {
    auto p = newProfile(u"P1");
    p->buttonMode = 1;
    MacroSlotTable slots{};
    const auto frames = applyFrames(*p, slots);
    ASSERT_EQ(frames.size(), 12u);
    const std::uint8_t ids[] = {0x0C, 0x04, 0x05, 0x06, 0x06, 0x04,
                                0x05, 0x06, 0x06, 0x08, 0x08, 0x0C};
    const std::uint8_t selectors[] = {2, 1, 1, 1, 2, 2, 2, 1, 2, 1, 2, 2};
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i][0], ids[i]) << i;
        EXPECT_EQ(frames[i][2], selectors[i]) << i;
        EXPECT_EQ(frames[i][1], frames[i].size()) << i;
    }
    EXPECT_EQ(frames[0][3], 0xFD);  // button mode 1 sends 02 FD
    EXPECT_EQ(frames.front(), frames.back());
}

TEST(Frames, MacrosOfSlotZeroAreNumberedAndReferencedByBothButtonFrames) {
    auto p = newProfile(u"M");
    const ButtonBinding m = macroBinding({{0x04, 1, 50}, {0x04, 2, 50}});
    storeBinding(*p, 3, m);  // buttons 0..9 are paired between slots 0 and 1
    storeBinding(*p, 7, m);
    MacroSlotTable slots{};
    const auto frames = applyFrames(*p, slots);
    ASSERT_EQ(frames.size(), 14u);
    EXPECT_EQ(frames[9][0], report::kMacro);
    EXPECT_EQ(frames[9][2], 1);
    EXPECT_EQ(frames[10][2], 2);
    for (std::size_t f : {11u, 12u}) {
        EXPECT_EQ(Frame(frames[f].begin() + 12, frames[f].begin() + 15), hex("12 00 01")) << f;
        EXPECT_EQ(Frame(frames[f].begin() + 24, frames[f].begin() + 27), hex("12 00 02")) << f;
    }
    for (std::size_t row = 0; row < 5; ++row) {
        EXPECT_EQ(slots[row][3], 1);
        EXPECT_EQ(slots[row][7], 2);
        EXPECT_EQ(slots[row][0], 0);
    }
}

TEST(Frames, ButtonEntries) {
    auto p = newProfile(u"B");
    ButtonBinding shortcut;
    shortcut.function = function::kShortcut;
    shortcut.shortcutModifiers = 0x05;
    shortcut.shortcutKey = 0x04;
    p->modes[0].buttons[0] = shortcut;
    p->modes[0].buttons[1].function = 51;  // task view: no device function
    p->modes[0].buttons[2].function = 81;
    p->modes[0].buttons[3].function = 200;
    const Frame f = buttonsFrame(p->modes[0], 0, MacroSlotTable{});
    EXPECT_EQ(Frame(f.begin() + 3, f.begin() + 15), hex("11 05 04 00 00 00 11 03 12 00 00 00"));
    EXPECT_EQ(frameSum(f, 3, 57), (f[57] << 8) | f[58]);
}

TEST(Frames, MacroFrameWithALongDelay) {
    const Frame f = macroFrame(macroBinding({{0x04, 1, 50}, {0x04, 2, 2000}}), 1);
    ASSERT_EQ(f.size(), 131u);
    EXPECT_EQ(Frame(f.begin(), f.begin() + 15),
              hex("09 83 01 00 00 00 00 01 03 05 04 81 04 0A 03"));
    for (std::size_t i = 15; i < 129; ++i) {
        ASSERT_EQ(f[i], 0) << i;
    }
    EXPECT_EQ(f[129], 0x00);
    EXPECT_EQ(f[130], 0x9F);
}

TEST(Frames, MacroDelaysRoundAndExtend) {
    EXPECT_EQ(entriesOf(macroFrame(macroBinding({{0x04, 1, 1270}}), 1)), hex("7F 04"));
    EXPECT_EQ(entriesOf(macroFrame(macroBinding({{0x04, 1, 1271}}), 1)), hex("07 04 06 03"));
    EXPECT_EQ(entriesOf(macroFrame(macroBinding({{0x04, 1, 0}}), 1)), hex("01 04"));
    EXPECT_EQ(entriesOf(macroFrame(macroBinding({{0x04, 1, 15}}), 1)), hex("03 04"));  // 1.5 -> 2
    EXPECT_EQ(entriesOf(macroFrame(macroBinding({{0xF1, 2, 14}}), 1)), hex("81 F1"));  // 1 | 0x81
    EXPECT_EQ(entriesOf(macroFrame(macroBinding({{0x05, 7, 30}}), 1)),
              hex("83 05"));  // not a press

    ButtonBinding loops = macroBinding({{0x04, 1, 10}});
    loops.macroRepeatMode = 0x102;
    loops.macroOptionByte = 0xAA;
    loops.macroLoopCount = 256;  // low byte 0 is sent as 1
    const Frame f = macroFrame(loops, 18);
    EXPECT_EQ(Frame(f.begin() + 2, f.begin() + 9), hex("12 02 AA AA AA 01 01"));
}

TEST(Frames, AtMostTenExtensionsAndTheCountMatchesTheEntries) {
    ButtonBinding b;
    b.function = function::kMacro;
    b.macroActionCount = 46;
    for (auto& a : b.macroActions) {
        a = {0x04, 1, 3000};
    }
    const Frame f = macroFrame(b, 1);
    EXPECT_EQ(f[report::kMacroEntryCount], 56);  // 46 entries and 10 extensions
    int extensions = 0;
    for (std::size_t i = report::kMacroEntries; i < report::kMacroEntries + 2 * 56; i += 2) {
        extensions += f[i + 1] == report::kMacroExtensionMarker ? 1 : 0;
    }
    EXPECT_EQ(extensions, 10);
    // Past the tenth extension a long delay becomes the longest plain one.
    EXPECT_EQ(f[report::kMacroEntries + 2 * 55], 0x7F);
    EXPECT_EQ(frameSum(f, 3, 129), (f[129] << 8) | f[130]);

    b.macroActionCount = 60000;  // a damaged count is bounded by the slots
    EXPECT_EQ(macroFrame(b, 1)[report::kMacroEntryCount], 56);
}

TEST(Frames, DpiStagesAndHighRange) {
    EXPECT_EQ(dpiCounts(100).high, false);  // 4000 DPI
    EXPECT_EQ(dpiCounts(100).a, 103);
    const DpiCounts high = dpiCounts(101);  // 4040 DPI
    EXPECT_TRUE(high.high);
    EXPECT_EQ(high.a, 52);
    EXPECT_EQ(high.b, 53);
    EXPECT_EQ(dpiCounts(20).a, 21);
    EXPECT_EQ(dpiCounts(0).b, 0);
    dpiCounts(INT32_MAX);  // no overflow
    dpiCounts(INT32_MIN);

    auto p = newProfile(u"D");
    p->modes[0].dpiEnabled = {1, 2, 1, 0, 1, 1, -1, 1};
    p->modes[0].dpiStage = 7;
    const Frame f = dpiFrame(p->modes[0], 0);
    EXPECT_EQ(f[report::kDpiEnableMask], 0xB5);
    EXPECT_EQ(f[report::kDpiStage], 8);
}

TEST(Frames, LightingAndPollingValues) {
    auto p = newProfile(u"L");
    ModeSettings& m = p->modes[1];
    m.lightMode = 1;
    m.brightness = 3;
    m.breathSpeed = 10;
    m.lightColor = 0x123456;
    m.sleepTimer = 7;
    const Frame f = lightingFrame(m, 1);
    EXPECT_EQ(Frame(f.begin(), f.begin() + 11), hex("05 0F 02 10 FF 03 56 34 12 07 01"));
    m.lightMode = 9;
    EXPECT_EQ(lightingFrame(m, 1)[5], 3);
    m.lightMode = 2;
    EXPECT_EQ(lightingFrame(m, 1)[5], 8);

    for (const auto& [rate, interval] :
         std::vector<std::pair<int, int>>{{0, 8}, {1, 4}, {2, 2}, {3, 1}, {7, 2}, {-1, 2}}) {
        m.pollingRate = rate;
        const Frame poll = pollingFrame(m, 2);
        EXPECT_EQ(poll[3], interval) << rate;
        EXPECT_EQ(poll[4], static_cast<std::uint8_t>(~interval)) << rate;
        EXPECT_EQ(poll[2], 2);
    }
}

TEST(Frames, CableChunksOfAMacroFrame) {
    Frame f = macroFrame(macroBinding({{0x04, 1, 50}}), 4);
    for (std::size_t i = 123; i <= 130; ++i) {
        f[i] = static_cast<std::uint8_t>(i);
    }
    const auto chunks = macroChunks(f);
    for (std::size_t j = 0; j < 3; ++j) {
        EXPECT_EQ(Frame(chunks[j].begin(), chunks[j].begin() + 4),
                  Frame({0x09, 0x40, 4, std::uint8_t(j)}));
    }
    EXPECT_EQ(Frame(chunks[0].begin() + 4, chunks[0].end()), Frame(f.begin() + 3, f.begin() + 63));
    EXPECT_EQ(Frame(chunks[2].begin() + 4, chunks[2].begin() + 12),
              Frame(f.begin() + 123, f.end()));
    for (std::size_t i = 12; i < 64; ++i) {
        EXPECT_EQ(chunks[2][i], 0) << i;
    }
}

}  // namespace
}  // namespace tvq
