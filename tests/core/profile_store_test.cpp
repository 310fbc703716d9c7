#include "profiles/profile_store.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "store_fixture.h"

namespace tvq {
namespace {

using testing::kMacroPath;
using testing::kProPath;

std::vector<std::unique_ptr<Profile>> profilesNamed(std::initializer_list<const char16_t*> names) {
    std::vector<std::unique_ptr<Profile>> list;
    for (const char16_t* n : names) {
        list.push_back(newProfile(n));
    }
    return list;
}

class ProfileStoreTest : public ::testing::Test, public testing::StoreFixture {
  protected:
    void storeFile(std::vector<std::uint8_t> bytes) {
        fs.createDirectories(testing::kDataFolder + "ms_1");
        fs.files[kProPath] = std::move(bytes);
    }

    MacroStore macros{location, texts};
    ProfileStore store{location, texts};
};

TEST_F(ProfileStoreTest, FirstStartCreatesTheFolderAndOneDefaultProfile) {
    const auto report = store.load(macros);

    EXPECT_TRUE(report.createdFirstProfile);
    EXPECT_TRUE(fs.isDirectory(testing::kDataFolder + "ms_1"));
    ASSERT_TRUE(fs.files.contains(kProPath));
    const auto& bytes = fs.files[kProPath];
    ASSERT_EQ(bytes.size(), 165008u);
    EXPECT_EQ(readI32(bytes, 0), 0);
    ASSERT_EQ(store.profiles().size(), 1u);
    EXPECT_EQ(profileName(*store.current()), u"Profile1");

    auto expected = newProfile(u"Profile1");
    EXPECT_EQ(*store.current(), *expected);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 4, bytes.end()), encodeProfile(*expected));
}

TEST_F(ProfileStoreTest, ThreeProfilesLoadWithTheStoredSelection) {
    storeFile(encodeProfileStore(2, profilesNamed({u"a", u"b", u"c"})));
    const auto writes = fs.writes;
    const auto report = store.load(macros);

    EXPECT_FALSE(report.createdFirstProfile);
    EXPECT_EQ(fs.writes, writes);  // a sound store is not rewritten by loading
    ASSERT_EQ(store.profiles().size(), 3u);
    EXPECT_EQ(store.currentIndex(), 2);
    EXPECT_EQ(store.current(), store.profiles()[2].get());
    EXPECT_EQ(profileName(*store.current()), u"c");
}

TEST_F(ProfileStoreTest, StoreRoundTripsByteForByte) {
    auto list = profilesNamed({u"one", u"two"});
    list[1]->buttonMode = 1;
    list[1]->modes[0].reservedHead[3] = 0x5A;  // bytes nothing reads survive
    list[1]->modes[4].buttons[22].unusedAfterCount[100] = 0x77;
    const auto original = encodeProfileStore(1, list);
    storeFile(original);

    store.load(macros);
    ASSERT_TRUE(store.save());
    EXPECT_EQ(fs.files[kProPath], original);
}

TEST_F(ProfileStoreTest, AStoreWithoutACompleteRecordIsKeptAsideThenStartsAfresh) {
    for (std::size_t size : {0u, 2u, 4u, 4u + 165003u}) {
        SCOPED_TRACE("file of " + std::to_string(size) + " bytes");
        fs.files.clear();
        std::vector<std::uint8_t> bytes(size, 0);
        if (size > 0) {
            bytes[0] = 3;  // an index that names nothing
        }
        storeFile(bytes);
        ProfileStore fresh(location, texts);
        const auto report = fresh.load(macros);
        EXPECT_TRUE(report.createdFirstProfile);
        ASSERT_EQ(fresh.profiles().size(), 1u);
        EXPECT_EQ(fresh.currentIndex(), 0);
        EXPECT_EQ(fs.files[kProPath].size(), 165008u);
        // The damaged file is kept, byte for byte, beside the new store.
        ASSERT_TRUE(report.keptDamagedAs.starts_with(kProPath + ".damaged-"));
        EXPECT_EQ(fs.files.at(report.keptDamagedAs), bytes);
    }
}

TEST_F(ProfileStoreTest, LeftoversOfKilledSavesGoAndADamagedStoreIsNeverWrittenOverUnkept) {
    storeFile(encodeProfileStore(0, profilesNamed({u"a"})));
    fs.files[kProPath + ".Ab3xY9"] = {1, 2, 3};
    fs.files[kMacroPath + ".QQQQQQ"] = {4};
    fs.files[kProPath + ".damaged-20261208-101010"] = {5};
    const auto report = store.load(macros);
    EXPECT_TRUE(report.keptDamagedAs.empty());
    EXPECT_FALSE(fs.files.contains(kProPath + ".Ab3xY9"));
    EXPECT_FALSE(fs.files.contains(kMacroPath + ".QQQQQQ"));
    EXPECT_TRUE(fs.files.contains(kProPath + ".damaged-20261208-101010"));

    // A damaged store that cannot be moved aside is left exactly as it was.
    const std::vector<std::uint8_t> damaged(100, 0xEE);
    storeFile(damaged);
    fs.failWrites = true;
    ProfileStore stuck(location, texts);
    const auto stuckReport = stuck.load(macros);
    EXPECT_TRUE(stuckReport.damagedNotKept);
    fs.failWrites = false;
    EXPECT_FALSE(stuck.save());
    EXPECT_EQ(fs.files[kProPath], damaged);

    // A macro library with a trailing piece is kept aside and rewritten whole.
    MacroRecord m;
    m.actionCount = 1;
    const auto one = encodeMacro(m);
    std::vector<std::uint8_t> lib(one.begin(), one.end());
    lib.resize(lib.size() + 17, 0xAB);
    fs.files[kMacroPath] = lib;
    MacroStore library(location, texts);
    const std::string kept = library.load();
    ASSERT_TRUE(kept.starts_with(kMacroPath + ".damaged-"));
    EXPECT_EQ(fs.files.at(kept), lib);
    EXPECT_EQ(fs.files.at(kMacroPath).size(), 240u);
    EXPECT_EQ(library.size(), 1u);
}

TEST_F(ProfileStoreTest, TrailingPieceIsDroppedAndTheIndexClamped) {
    auto bytes = encodeProfileStore(7, profilesNamed({u"a", u"b"}));
    bytes.resize(bytes.size() + 1000, 0xCC);
    storeFile(bytes);

    const auto report = store.load(macros);
    EXPECT_FALSE(report.createdFirstProfile);
    EXPECT_EQ(report.droppedBytes, 1000u);
    EXPECT_EQ(fs.files.at(report.keptDamagedAs), bytes);  // kept before it is rewritten
    EXPECT_TRUE(report.indexClamped);
    ASSERT_EQ(store.profiles().size(), 2u);
    EXPECT_EQ(store.currentIndex(), 1);
    EXPECT_EQ(store.current(), store.profiles()[1].get());

    storeFile(encodeProfileStore(-4, profilesNamed({u"a", u"b"})));
    ProfileStore negative(location, texts);
    negative.load(macros);
    EXPECT_EQ(negative.currentIndex(), 0);
}

TEST_F(ProfileStoreTest, LoadingAlsoLoadsTheMacroStore) {
    MacroRecord m;
    setFieldText(m.name, u"Copy");
    const auto bytes = encodeMacro(m);
    fs.createDirectories(testing::kDataFolder + "ms_1");
    fs.files[kMacroPath].assign(bytes.begin(), bytes.end());
    store.load(macros);
    ASSERT_EQ(macros.size(), 1u);
    EXPECT_EQ(fieldText(macros.at(0).name), u"Copy");
}

TEST_F(ProfileStoreTest, AnImportIsStoredWithItsMacrosOrNotAtAll) {
    store.load(macros);
    const auto named = [](const char16_t* name) {
        MacroRecord m;
        setFieldText(m.name, name);
        return m;
    };
    macros.append(named(u"Mine"));
    const auto import = [&](const char16_t* profile) {
        macros.append(named(u"Combo"), false);
        macros.append(named(u"Combo_1"), false);
        return store.appendImport(newProfile(profile), macros, 2);
    };
    const auto restart = [&] {
        MacroStore m(location, texts);
        ProfileStore p(location, texts);
        p.load(m);
        std::vector<std::u16string> names;
        for (const auto& profile : p.profiles()) {
            names.emplace_back(fieldText(profile->name));
        }
        for (std::size_t i = 0; i < m.size(); ++i) {
            names.emplace_back(fieldText(m.at(i).name));
        }
        return names;
    };
    const std::string note = testing::kDataFolder + "ms_1/import.note";

    // Killed after the macros were written, before the profile was: the next
    // start takes the macros out again.
    ASSERT_EQ(import(u"Killed"), 1);
    EXPECT_TRUE(fs.files.contains(note));
    EXPECT_EQ(restart(), (std::vector<std::u16string>{u"Profile1", u"Mine"}));
    EXPECT_FALSE(fs.files.contains(note));

    // Once the store is saved, both stay.
    macros.truncate(1);
    store.remove(1);
    ASSERT_EQ(import(u"Saved"), 1);
    ASSERT_TRUE(store.save());
    EXPECT_FALSE(fs.files.contains(note));
    EXPECT_EQ(restart(),
              (std::vector<std::u16string>{u"Profile1", u"Saved", u"Mine", u"Combo", u"Combo_1"}));

    // A library that cannot be written: nothing is added, in memory or on disk.
    fs.failWritesTo.insert(kMacroPath);
    EXPECT_EQ(import(u"Refused"), std::nullopt);
    EXPECT_EQ(store.profiles().size(), 2u);
    EXPECT_EQ(macros.size(), 3u);
    EXPECT_FALSE(fs.files.contains(note));
}

TEST_F(ProfileStoreTest, NamesCompareWithoutLetterCaseAndARenameMayKeepItsOwn) {
    using P = ProfileStore::NameProblem;
    storeFile(encodeProfileStore(0, profilesNamed({u"Gaming", u"Office"})));
    store.load(macros);
    EXPECT_EQ(store.nameProblem(u"GAMING"), P::kTaken);
    EXPECT_EQ(store.nameProblem(u"office"), P::kTaken);
    EXPECT_EQ(store.nameProblem(u"Gamin"), P::kNone);
    EXPECT_EQ(store.nameProblem(u"  "), P::kEmpty);
    EXPECT_EQ(store.nameProblem(u"GAMING", 0), P::kNone);  // renaming Gaming itself
    EXPECT_EQ(store.nameProblem(u"GAMING", 1), P::kTaken);
}

TEST_F(ProfileStoreTest, LongFirstProfileTextIsShortenedSoTheNumberFits) {
    texts.texts["add_profile_text"] = std::string(60, 'p');
    store.load(macros);
    EXPECT_EQ(profileName(*store.current()), std::u16string(48, u'p') + u"1");
}

TEST_F(ProfileStoreTest, FailedSaveLeavesTheOldFileAndMemoryAsTheyWere) {
    storeFile(encodeProfileStore(0, profilesNamed({u"a"})));
    store.load(macros);
    const auto onDisk = fs.files[kProPath];

    store.editCurrent([](Profile& p) { p.modes[0].dpiValue[0] = 123; });
    fs.failWrites = true;
    EXPECT_FALSE(store.save());
    EXPECT_EQ(fs.files[kProPath], onDisk);
    EXPECT_EQ(store.current()->modes[0].dpiValue[0], 123);

    fs.failWrites = false;
    EXPECT_TRUE(store.save());
    EXPECT_NE(fs.files[kProPath], onDisk);
}

TEST_F(ProfileStoreTest, FirstStartInAFolderThatCannotBeMadeStillGivesAProfile) {
    fs.failFolderCreation = true;
    const auto report = store.load(macros);
    EXPECT_TRUE(report.createdFirstProfile);
    EXPECT_EQ(store.profiles().size(), 1u);
    EXPECT_FALSE(fs.files.contains(kProPath));
}

TEST_F(ProfileStoreTest, SelectAcceptsOnlyExistingRows) {
    storeFile(encodeProfileStore(0, profilesNamed({u"a", u"b"})));
    store.load(macros);
    EXPECT_TRUE(store.select(1));
    EXPECT_EQ(profileName(*store.current()), u"b");
    EXPECT_FALSE(store.select(2));
    EXPECT_FALSE(store.select(-1));
    EXPECT_EQ(store.currentIndex(), 1);
    const auto copy = store.copyCurrent();
    EXPECT_EQ(*copy, *store.current());
    EXPECT_NE(copy.get(), store.current());
}

}  // namespace
}  // namespace tvq
