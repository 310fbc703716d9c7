#include "input/key_names.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "fake_texts.h"
#include "input/key_tables.h"
#include "input/us_layout.h"

namespace tvq {
namespace {

// The US layout with some keys moved, to stand for other layouts: entries
// override the virtual key of a scan code (and back), and the characters.
class MovedKeysLayout final : public KeyboardLayout {
  public:
    std::map<std::uint32_t, std::uint32_t> vkAtScan;  // scan code -> virtual key
    std::map<std::uint32_t, std::u16string> chars;    // virtual key -> characters

    std::uint32_t scanCodeFromVirtualKey(std::uint32_t vk) const override {
        for (const auto& [scan, v] : vkAtScan) {
            if (v == vk) {
                return scan;
            }
        }
        return us.scanCodeFromVirtualKey(vk);
    }
    std::uint32_t virtualKeyFromScanCode(std::uint32_t scan) const override {
        const auto it = vkAtScan.find(scan);
        return it != vkAtScan.end() ? it->second : us.virtualKeyFromScanCode(scan);
    }
    std::u16string characters(std::uint32_t vk, std::uint32_t scan) const override {
        const auto it = chars.find(vk);
        return it != chars.end() ? it->second : us.characters(vk, scan);
    }

  private:
    UsKeyboardLayout us;
};

// French-style letters: A and Q swap places, and so do Z and W.
MovedKeysLayout azerty() {
    MovedKeysLayout l;
    l.vkAtScan = {{0x10, 0x41}, {0x1E, 0x51}, {0x11, 0x5A}, {0x2C, 0x57}};
    return l;
}

class KeyNamesTest : public ::testing::Test {
  protected:
    testing::FakeTexts texts;
    UsKeyboardLayout us;
    KeyNames names{us, texts};
};

TEST(KeyTable, OrderAndNotableRows) {
    ASSERT_EQ(kKeyTable.size(), 112u);
    EXPECT_EQ(kKeyTable[0].virtualKey, 0x41u);
    EXPECT_EQ(kKeyTable[51].virtualKey, 0xBFu);
    EXPECT_EQ(kKeyTable[52].virtualKey, 0xDFu);
    EXPECT_EQ(kKeyTable[51].hidUsage, kKeyTable[52].hidUsage);
    EXPECT_EQ(kKeyTable[66].hidUsage, 0x46u);
    EXPECT_EQ(kKeyTable[66].scanCode, 0u);
    EXPECT_EQ(kKeyTable[111].virtualKey, 0xF8u);
    EXPECT_FALSE(findByHidUsage(0x32));
    EXPECT_FALSE(findByHidUsage(0x64));
    // Rows 66 on carry no scan code; rows before do, each its own except the
    // two slash rows.
    std::set<std::uint32_t> scans;
    for (std::size_t i = 0; i < 66; ++i) {
        EXPECT_NE(kKeyTable[i].scanCode, 0u) << i;
        scans.insert(kKeyTable[i].scanCode);
    }
    EXPECT_EQ(scans.size(), 65u);
    for (std::size_t i = 66; i < 112; ++i) {
        EXPECT_EQ(kKeyTable[i].scanCode, 0u) << i;
    }
}

TEST_F(KeyNamesTest, VirtualKeysConvertToUsagesOnTheUsLayout) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {0x41, 0x04}, {0x5A, 0x1D}, {0x31, 0x1E}, {0x30, 0x27}, {0x0D, 0x28}, {0xDF, 0x38},
        {0x7B, 0x45}, {0x6B, 0x57}, {0xA0, 0xE1}, {0x5C, 0xE7}, {0xF1, 0xF1}, {0xF8, 0xF8},
    };
    for (const auto& [vk, usage] : cases) {
        const HidUsageResult r = names.hidUsageFromVirtualKey(vk);
        EXPECT_TRUE(r.found) << std::hex << vk;
        EXPECT_EQ(r.usage, usage) << std::hex << vk;
    }
    for (std::uint32_t missing : {0x07u, 0x10u, 0xE2u, 0xFFu, 0x1000u}) {
        const HidUsageResult r = names.hidUsageFromVirtualKey(missing);
        EXPECT_FALSE(r.found) << std::hex << missing;
        EXPECT_EQ(r.usage, 0u);
    }
}

TEST_F(KeyNamesTest, TypingKeysFollowTheirPositionOnOtherLayouts) {
    const MovedKeysLayout fr = azerty();
    const KeyNames frNames(fr, texts);
    EXPECT_EQ(frNames.hidUsageFromVirtualKey(0x41).usage, 0x14u);  // A sits where US has Q
    EXPECT_EQ(frNames.hidUsageFromVirtualKey(0x51).usage, 0x04u);
    EXPECT_EQ(frNames.keyNameFromCode(0x14), "A");
    EXPECT_EQ(frNames.keyNameFromCode(0x04), "Q");
    // Keys outside the layout step are not asked about.
    EXPECT_EQ(frNames.hidUsageFromVirtualKey(0x6B).usage, 0x57u);
}

TEST_F(KeyNamesTest, AKeyTheLayoutCannotPlaceMatchesTheFirstRowWithoutScanCode) {
    MovedKeysLayout odd;
    odd.vkAtScan = {{0x00, 0x4B}};  // the layout gives scan code 0 for K
    const KeyNames oddNames(odd, texts);
    const HidUsageResult r = oddNames.hidUsageFromVirtualKey(0x4B);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.usage, 0x46u);
}

TEST_F(KeyNamesTest, NamesOfCodes) {
    EXPECT_EQ(names.keyNameFromCode(0x04), "A");
    EXPECT_EQ(names.keyNameFromCode(0x1E), "1");
    EXPECT_EQ(names.keyNameFromCode(0x2D), "-");
    EXPECT_EQ(names.keyNameFromCode(0x38), "/");
    EXPECT_EQ(names.keyNameFromCode(0x28), "[key_Enter]");
    EXPECT_EQ(names.keyNameFromCode(0x2C), "[key_Space]");
    EXPECT_EQ(names.keyNameFromCode(0x39), "[key_Caplk]");
    EXPECT_EQ(names.keyNameFromCode(0x2A), "[key_BackSpace]");
    EXPECT_EQ(names.keyNameFromCode(0x3A), "[key_F1]");
    EXPECT_EQ(names.keyNameFromCode(0x45), "[key_F12]");
    EXPECT_EQ(names.keyNameFromCode(0x59), "[key_Num_1]");
    EXPECT_EQ(names.keyNameFromCode(0x62), "[key_Num_0]");
    EXPECT_EQ(names.keyNameFromCode(0x64), "[key_\\]");
    EXPECT_EQ(names.keyNameFromCode(0xDD), "[`]");
    EXPECT_EQ(names.keyNameFromCode(0x88), "[Kana/Roma]");
    EXPECT_EQ(names.keyNameFromCode(0xE6), "[key_RAlt]");
    EXPECT_EQ(names.keyNameFromCode(0xF1), "[L_Button]");
    EXPECT_EQ(names.keyNameFromCode(0xF4), "[Backward_Button]");
    EXPECT_EQ(names.keyNameFromCode(0xF5), "[Forward_Button]");
}

TEST_F(KeyNamesTest, CodesWithoutAName) {
    for (int code :
         {0x00, 0x01, 0x03, 0x32, 0x66, 0x67, 0x68, 0x70, 0xE8, 0xE9, 0xEF, 0xF0, 0xF6, 0xFF}) {
        EXPECT_EQ(names.keyNameFromCode(static_cast<std::uint8_t>(code)), "") << std::hex << code;
    }
}

TEST_F(KeyNamesTest, NamesOfVirtualKeys) {
    EXPECT_EQ(names.keyNameFromVirtualKey(0x10), "[key_LShift]");
    EXPECT_EQ(names.keyNameFromVirtualKey(0xA1), "[key_RShift]");
    EXPECT_EQ(names.keyNameFromVirtualKey(0x2A), "[key_Print Scr]");
    EXPECT_EQ(names.keyNameFromVirtualKey(0x6F), "[key_Num_/]");
    EXPECT_EQ(names.keyNameFromVirtualKey(0x7B), "[key_F12]");
    EXPECT_EQ(names.keyNameFromVirtualKey(0xF0), "[key_Caplk]");
    EXPECT_EQ(names.keyNameFromVirtualKey(0x5D), "[key_APP]");
    EXPECT_EQ(names.keyNameFromVirtualKey(0x5A), "Z");
    EXPECT_EQ(names.keyNameFromVirtualKey(0xDE), "'");
    EXPECT_EQ(names.keyNameFromVirtualKey(0x00), "");
    EXPECT_EQ(names.keyNameFromVirtualKey(0xDF), "");
}

TEST_F(KeyNamesTest, CharactersOfOtherLayoutsAreUpperCased) {
    MovedKeysLayout fr = azerty();
    fr.chars = {{0x32, u"é"}, {0xDB, u"^"}, {0xC0, u"ß"}, {0x33, u"\U0001D49C"}};
    const KeyNames frNames(fr, texts);
    EXPECT_EQ(frNames.keyNameFromCode(0x1F), "É");
    EXPECT_EQ(frNames.keyNameFromCode(0x2F), "^");           // a dead key's spacing accent
    EXPECT_EQ(frNames.keyNameFromCode(0x35), "ß");           // no single upper-case letter
    EXPECT_EQ(frNames.keyNameFromCode(0x20), "\U0001D49C");  // beyond the 16-bit range
    EXPECT_EQ(frNames.keyNameFromCode(0x1D), "W");
}

TEST(UsLayout, ScanCodesAndVirtualKeysComeFromTheTable) {
    const UsKeyboardLayout us;
    EXPECT_EQ(us.scanCodeFromVirtualKey(0x41), 0x1Eu);
    EXPECT_EQ(us.scanCodeFromVirtualKey(0xDF), 0x35u);
    EXPECT_EQ(us.scanCodeFromVirtualKey(0x6B), 0u);
    EXPECT_EQ(us.scanCodeFromVirtualKey(0x07), 0u);
    EXPECT_EQ(us.virtualKeyFromScanCode(0x35), 0xBFu);  // first of the two slash rows
    EXPECT_EQ(us.virtualKeyFromScanCode(0x1C), 0x0Du);
    EXPECT_EQ(us.virtualKeyFromScanCode(0), 0u);
    EXPECT_EQ(us.virtualKeyFromScanCode(0x7F), 0u);
}

}  // namespace
}  // namespace tvq
