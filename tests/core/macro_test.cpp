#include <gtest/gtest.h>

#include "base/text.h"
#include "macros/macro_record.h"
#include "macros/macro_store.h"
#include "store_fixture.h"

namespace tvq {
namespace {

using testing::kMacroPath;

MacroRecord named(std::u16string_view name, std::int32_t count = 0) {
    MacroRecord r;
    setFieldText(r.name, name);
    r.actionCount = count;
    for (std::int32_t i = 0; i < count; ++i) {
        r.actions[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(0x04 + i),
                                                  static_cast<std::uint8_t>(1 + i % 2),
                                                  static_cast<std::uint16_t>(10 * i)};
    }
    return r;
}

std::vector<std::uint8_t> storeBytes(std::initializer_list<MacroRecord> records) {
    std::vector<std::uint8_t> bytes;
    for (const MacroRecord& r : records) {
        const auto one = encodeMacro(r);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    return bytes;
}

MacroActions withDelays(std::size_t count, std::uint16_t delay) {
    MacroActions actions{};
    for (std::size_t i = 0; i < count; ++i) {
        actions[i] = {0x04, static_cast<std::uint8_t>(i % 2 ? 2 : 1), delay};
    }
    return actions;
}

class MacroStoreTest : public ::testing::Test, public testing::StoreFixture {
  protected:
    MacroStore store{location, texts};
};

TEST(MacroRecordLayout, FieldsAreLittleEndianAtTheirOffsets) {
    MacroRecord r = named(u"Ab", 2);
    r.reserved = 0x11223344;
    r.actions[1].delay = 0x0102;
    const auto bytes = encodeMacro(r);
    EXPECT_EQ(bytes[0], 'A');
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 'b');
    EXPECT_EQ(bytes[4], 0);  // terminator
    EXPECT_EQ(bytes[48], 0x44);
    EXPECT_EQ(bytes[51], 0x11);
    EXPECT_EQ(bytes[52], 2);
    EXPECT_EQ(bytes[56], 0x04);  // first action: code, type, delay
    EXPECT_EQ(bytes[57], 1);
    EXPECT_EQ(bytes[62], 0x02);  // second action's delay, low byte first
    EXPECT_EQ(bytes[63], 0x01);
}

TEST(MacroRecordLayout, MouseCodesAreExactlyF1ToF5) {
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(isMouseCode(static_cast<std::uint8_t>(code)), code >= 0xF1 && code <= 0xF5)
            << code;
    }
}

TEST(MacroRecordBounds, NameTerminatorAndCountAreForcedWhenReading) {
    std::array<std::uint8_t, 240> bytes{};
    for (std::size_t i = 0; i < 48; i += 2) {
        bytes[i] = 'Z';  // 24 letters, no terminator
    }
    bytes[52] = 100;  // actionCount 100
    auto r = parseMacroFile(bytes);
    ASSERT_TRUE(r);
    EXPECT_EQ(fieldText(r->name), std::u16string(23, u'Z'));
    EXPECT_EQ(r->actionCount, 46);

    bytes[52] = 0xFB, bytes[53] = bytes[54] = bytes[55] = 0xFF;  // -5
    r = parseMacroFile(bytes);
    EXPECT_EQ(r->actionCount, 0);

    MacroFileError error;
    EXPECT_FALSE(parseMacroFile(std::span(bytes).first(239), &error));
    EXPECT_NE(error.message.find("239"), std::string::npos);
    std::vector<std::uint8_t> longer(241);
    EXPECT_FALSE(parseMacroFile(longer));
}

TEST_F(MacroStoreTest, EmptyStoreSavesAsAnEmptyFileAndLoadsBack) {
    EXPECT_TRUE(store.save());
    ASSERT_TRUE(fs.files.contains(kMacroPath));
    EXPECT_TRUE(fs.files[kMacroPath].empty());
    MacroStore again(location, texts);
    again.load();
    EXPECT_EQ(again.size(), 0u);
}

TEST_F(MacroStoreTest, MissingFileLeavesTheStoreEmpty) {
    store.load();
    EXPECT_EQ(store.size(), 0u);
    EXPECT_FALSE(fs.files.contains(kMacroPath));
}

TEST_F(MacroStoreTest, RecordsLoadInFileOrderAndSaveBackByteForByte) {
    MacroRecord second = named(u"two", 3);
    second.reserved = 0x01020304;    // carried through unchanged
    second.actions[40] = {9, 9, 9};  // stale bytes past the count survive too
    const auto original = storeBytes({named(u"one", 1), second, named(u"three", 46)});
    fs.createDirectories(testing::kDataFolder + "ms_1");
    fs.files[kMacroPath] = original;

    store.load();
    ASSERT_EQ(store.size(), 3u);
    EXPECT_EQ(fieldText(store.at(0).name), u"one");
    EXPECT_EQ(fieldText(store.at(1).name), u"two");
    EXPECT_EQ(store.at(1).reserved, 0x01020304);
    EXPECT_EQ(store.at(2).actionCount, 46);

    ASSERT_TRUE(store.save());
    EXPECT_EQ(fs.files[kMacroPath], original);
}

TEST_F(MacroStoreTest, TrailingPieceIsDroppedAndBadRecordsAreBounded) {
    MacroRecord wild = named(u"wild");
    wild.actionCount = 1000;
    auto bytes = storeBytes({named(u"ok", 2), wild});
    bytes.insert(bytes.end(), 100, 0xEE);
    fs.files[kMacroPath] = bytes;

    store.load();
    ASSERT_EQ(store.size(), 2u);
    EXPECT_EQ(store.at(1).actionCount, 46);
    EXPECT_EQ(store.encode().size(), 480u);

    // Without a trailing piece: a record that had to be bounded is written
    // bounded with the next save (the file's bytes are not reused for it); a
    // clean file's bytes are what the next save starts from.
    fs.files[kMacroPath] = storeBytes({named(u"ok", 2), wild});
    MacroStore bounded(location, texts);
    bounded.load();
    bounded.append(named(u"more"));
    EXPECT_EQ(readI32(fs.files[kMacroPath], layout::macro::kSize + layout::macro::kActionCount),
              46);
    const auto clean = storeBytes({named(u"ok", 2), named(u"fine", 3)});
    fs.files[kMacroPath] = clean;
    MacroStore kept(location, texts);
    kept.load();
    kept.append(named(u"more"));
    EXPECT_EQ(fs.files[kMacroPath],
              storeBytes({named(u"ok", 2), named(u"fine", 3), named(u"more")}));
}

TEST_F(MacroStoreTest, NamesCompareWithoutLetterCase) {
    store.append(named(u"Macro1"));
    store.append(named(u"Ärger"));
    EXPECT_EQ(store.findByName(u"MACRO1"), &store.at(0));
    EXPECT_EQ(store.findByName(u"macro1"), &store.at(0));
    EXPECT_EQ(store.findByName(u"äRGER"), &store.at(1));
    EXPECT_EQ(store.findByName(u"Macro"), nullptr);
    EXPECT_EQ(store.findByName(u"Macro1 "), nullptr);
    MacroStore empty(location, texts);
    EXPECT_EQ(empty.findByName(u""), nullptr);
}

TEST_F(MacroStoreTest, AddNewCountsOnAndSkipsTakenNames) {
    store.append(named(u"Macro3"));
    store.append(named(u"macro3_1"));
    MacroRecord& added = store.addNew();
    EXPECT_EQ(fieldText(added.name), u"Macro3_2");
    EXPECT_EQ(added.actionCount, 0);
    EXPECT_EQ(store.size(), 3u);
    EXPECT_EQ(fs.files[kMacroPath].size(), 720u);  // written through
}

TEST_F(MacroStoreTest, GeneratedNamesAreShortenedToFitWithTheirSuffix) {
    texts.texts["add_macro_text"] = "A very long macro base name";  // 27 characters
    MacroRecord& first = store.addNew();
    EXPECT_EQ(fieldText(first.name), u"A very long macro base1");  // 22 + "1"

    const std::u16string base(23, u'b');
    store.append(named(base));
    EXPECT_EQ(store.makeUniqueName(base), std::u16string(21, u'b') + u"_1");
    for (int n = 1; n <= 9; ++n) {
        store.append(named(store.makeUniqueName(base)));
    }
    EXPECT_EQ(store.makeUniqueName(base), std::u16string(20, u'b') + u"_10");
    EXPECT_EQ(store.makeUniqueName(u"free"), u"free");
}

TEST_F(MacroStoreTest, UniqueNamesFollowRenamesRemovalsAndAppends) {
    store.append(named(u"Combo"));
    EXPECT_EQ(store.makeUniqueName(u"COMBO"), u"COMBO_1");  // the names are read now
    store.append(named(u"combo_1"));
    EXPECT_EQ(store.makeUniqueName(u"Combo"), u"Combo_2");
    store.rename(store.at(0), u"Other");
    EXPECT_EQ(store.makeUniqueName(u"other"), u"other_1");
    EXPECT_EQ(store.makeUniqueName(u"Combo"), u"Combo");
    store.removeAt(1);
    EXPECT_EQ(store.makeUniqueName(u"Combo_1"), u"Combo_1");
}

TEST_F(MacroStoreTest, RemoveShiftsTheRestAndSaves) {
    store.append(named(u"a"));
    store.append(named(u"b"));
    store.append(named(u"c"));
    store.removeAt(1);
    ASSERT_EQ(store.size(), 2u);
    EXPECT_EQ(fieldText(store.at(1).name), u"c");
    EXPECT_EQ(fs.files[kMacroPath], storeBytes({named(u"a"), named(u"c")}));
    store.removeAt(5);
    EXPECT_EQ(store.size(), 2u);
}

TEST_F(MacroStoreTest, CommitRefusesAWeightedLengthOfFortyEight) {
    store.append(named(u"m", 1));
    MacroRecord* target = &store.at(0);
    const MacroRecord before = *target;

    // 46 short actions: weighted 46.
    EXPECT_TRUE(store.commit(target, withDelays(46, 1280), 46));
    EXPECT_EQ(target->actionCount, 46);

    // 24 actions over 1280 ms: weighted 48, refused, nothing stored.
    *target = before;
    store.save();
    const auto saved = fs.files[kMacroPath];
    EXPECT_FALSE(store.commit(target, withDelays(24, 2000), 24));
    EXPECT_EQ(*target, before);
    EXPECT_EQ(fs.files[kMacroPath], saved);

    // 23 long ones and a short one: weighted 47.
    MacroActions mixed = withDelays(24, 2000);
    mixed[23].delay = 10;
    EXPECT_TRUE(store.commit(target, mixed, 24));
    EXPECT_EQ(target->actionCount, 24);
    EXPECT_EQ(target->actions, mixed);
    EXPECT_EQ(decodeMacroRaw(std::span(fs.files[kMacroPath]).first<240>()), *target);
}

TEST_F(MacroStoreTest, CommitWithoutTargetOrWithABadCountChangesNothing) {
    store.append(named(u"m", 1));
    const int writes = fs.writes;
    EXPECT_TRUE(store.commit(nullptr, withDelays(3, 5), 3));
    EXPECT_EQ(fs.writes, writes);
    EXPECT_FALSE(store.commit(&store.at(0), withDelays(3, 5), 47));
    EXPECT_FALSE(store.commit(&store.at(0), withDelays(3, 5), -1));
    EXPECT_EQ(store.at(0).actionCount, 1);
}

TEST_F(MacroStoreTest, FailedSaveKeepsTheFileAndTheChangeInMemory) {
    store.append(named(u"kept"));
    const auto onDisk = fs.files[kMacroPath];
    fs.failWrites = true;
    store.append(named(u"memory only"));
    EXPECT_EQ(store.size(), 2u);
    EXPECT_EQ(fs.files[kMacroPath], onDisk);
    EXPECT_FALSE(store.save());
}

TEST(WeightedLength, CountsLongDelaysTwice) {
    const MacroAction shortOne{4, 1, 1280};
    const MacroAction longOne{4, 2, 1281};
    const std::vector<MacroAction> actions = {shortOne, longOne, longOne};
    EXPECT_EQ(weightedLength(actions), 5);
    EXPECT_EQ(weightedLength({}), 0);
}

}  // namespace
}  // namespace tvq
