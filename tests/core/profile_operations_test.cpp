// The profile list's operations: add, delete, rename, import, export and
// restoring the defaults, on a page with fake dialogs and the cable.
#include <gtest/gtest.h>

#include <atomic>

#include <algorithm>
#include <chrono>
#include <thread>

#include "base/text.h"
#include "fake_device_library.h"
#include "fake_page_dialogs.h"
#include "fake_page_view.h"
#include "fake_scheduler.h"
#include "input/us_layout.h"
#include "page/settings_page.h"
#include "page_fixture.h"
#include "profiles/record_layout.h"
#include "store_fixture.h"

namespace tvq {
namespace {

using testing::FakeCableLibrary;
using testing::FakeLibraryLoader;

class ProfileOperationsTest : public ::testing::Test, public testing::StoreFixture {
  protected:
    void SetUp() override { FakeLibraryLoader::reset(); }

    // The page on a store of the profiles named, the selected one at `index`.
    void start(std::vector<const char16_t*> names, std::int32_t index = 0) {
        std::vector<std::unique_ptr<Profile>> profiles;
        for (const char16_t* n : names) {
            profiles.push_back(newProfile(n));
        }
        fs.files[testing::kProPath] = encodeProfileStore(index, profiles);
        FakeCableLibrary::state().present = 1;
        page.bindControls();
        session.link().start(loader, "/opt/tvq/", &window, false);
        page.showProfiles(testing::loadStores(session));
    }
    std::vector<std::u16string> names() {
        std::vector<std::u16string> n;
        for (const auto& p : session.profiles().profiles()) {
            n.emplace_back(fieldText(p->name));
        }
        return n;
    }
    const std::vector<std::uint8_t>& stored() { return fs.files.at(testing::kProPath); }
    // Runs what the worker hands back until the applies asked for so far
    // have finished (each ends with the store written).
    void settle() {
        const auto done = [this] {
            return session.link().appliesFinished() == session.link().applyRequests();
        };
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < end) {
            scheduler.drainUiTasks();
            std::this_thread::yield();
        }
        ASSERT_TRUE(done());
    }

    testing::FakePageView view;
    UsKeyboardLayout us;
    KeyNames keys{us, texts};
    FakeLibraryLoader loader;
    MessageWindow window{};
    testing::FakeScheduler scheduler;
    testing::FakeClock sendClock;
    MouseSession session{location, texts, scheduler, nullptr, &sendClock};
    testing::FakePageDialogs dialogs;
    SettingsPage page{view, texts, keys, session, &dialogs};
};

TEST_F(ProfileOperationsTest, DeletingSelectsTheFollowingProfileOrTheNewLastOne) {
    start({u"A", u"B", u"C"}, 1);
    view.click("ms_1_profile_delete_btn");
    settle();
    EXPECT_EQ(dialogs.asked.back(), "confirm delete_profile_text");
    EXPECT_EQ(names(), (std::vector<std::u16string>{u"A", u"C"}));
    EXPECT_EQ(session.profiles().currentIndex(), 1);  // C, which followed B
    EXPECT_EQ(view.rows["ms_1_list_profile"], (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(view.items["ms_1_list_profile"], 1);
    view.press("ms_1_list_profile", "Delete");  // the key in the list does the same
    EXPECT_EQ(dialogs.asked.back(), "confirm delete_profile_text");
    // The question names the profile and its button says what it does.
    EXPECT_EQ(dialogs.confirmArguments, std::vector<std::string>{"C"});
    EXPECT_EQ(dialogs.confirmVerb, "delete_verb_text");
    EXPECT_EQ(names(), std::vector<std::u16string>{u"A"});  // C was the last: A remains
    EXPECT_EQ(session.profiles().currentIndex(), 0);
    dialogs.name.reset();
    view.press("ms_1_list_profile", "F2");  // and F2 renames
    EXPECT_EQ(dialogs.asked.back(), "name profile_name_2_text");
    // Enter on a key button opens its function menu, as a click does.
    view.press("ms_1_btn_key_3", "Return");
    ASSERT_FALSE(dialogs.menus.empty());
    EXPECT_EQ(dialogs.menus.back().second, "ms_1_btn_key_3");
}

TEST_F(ProfileOperationsTest, TheOnlyProfileIsNotDeletedAndACancelledQuestionChangesNothing) {
    start({u"Only"});
    settle();
    const auto before = stored();
    const int applies = session.link().applyRequests();
    view.click("ms_1_profile_delete_btn");
    EXPECT_EQ(dialogs.asked.back(), "tell one_profile_text");
    EXPECT_EQ(names(), std::vector<std::u16string>{u"Only"});
    dialogs.confirmed = false;
    session.edit([](Profile& p) { p.buttonMode = 1; }, AfterEdit::kNothing);
    const auto profile = encodeProfile(*session.profiles().current());
    view.click("ms_1_profile_reset_btn");
    EXPECT_EQ(dialogs.asked.back(), "confirm restore_text");
    EXPECT_EQ(encodeProfile(*session.profiles().current()), profile);
    EXPECT_EQ(session.link().applyRequests(), applies);
    session.shutdown();
    EXPECT_EQ(stored(), before);
}

TEST_F(ProfileOperationsTest, RenamingWritesOnlyThatProfilesNameAtOnce) {
    start({u"A", u"B"}, 1);
    settle();
    session.shutdown();  // nothing pending: the file as it is
    const auto before = stored();
    FakeLibraryLoader::reset();
    MouseSession again{location, texts, scheduler, nullptr, &sendClock};
    testing::FakePageView view2;
    SettingsPage page2{view2, texts, keys, again, &dialogs};
    page2.showProfiles(testing::loadStores(again));
    dialogs.name = u"Renamed";
    page2.panels().profileList.renameProfile();
    EXPECT_EQ(dialogs.asked.back(), "name profile_name_2_text");
    EXPECT_EQ(dialogs.nameRequest->prefill, u"B");  // the name being renamed
    EXPECT_EQ(dialogs.nameRequest->renaming, 1);
    EXPECT_EQ(view2.rows["ms_1_list_profile"][1], "Renamed");
    EXPECT_EQ(again.link().applyRequests(), 0);  // the name is not sent
    again.shutdown();                            // the save asked for is written
    const auto& after = stored();
    ASSERT_EQ(after.size(), before.size());
    const std::size_t name =
        layout::store::kFirstProfile + layout::profile::kSize + layout::profile::kName;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i < name || i >= name + 2 * layout::profile::kNameUnits) {
            ASSERT_EQ(after[i], before[i]) << "byte " << i;
        }
    }
    EXPECT_NE(after, before);
}

TEST_F(ProfileOperationsTest, AddingIsStoredByTheApplyThatFollows) {
    std::vector<std::unique_ptr<Profile>> one;
    one.push_back(newProfile(u"A"));
    fs.files[testing::kProPath] = encodeProfileStore(0, one);
    page.showProfiles(
        testing::loadStores(session));  // the links are not started yet: the apply waits
    const auto before = stored();
    dialogs.name = u"New";
    page.panels().profileList.addProfile();  // the controls are not bound yet
    EXPECT_EQ(dialogs.asked.back(), "name profile_name_1_text");
    EXPECT_EQ(dialogs.nameRequest->prefill, u"Profile2");  // the next free name, suggested
    EXPECT_EQ(dialogs.nameRequest->renaming, -1);
    EXPECT_EQ(names(), (std::vector<std::u16string>{u"A", u"New"}));
    EXPECT_EQ(session.profiles().currentIndex(), 1);
    EXPECT_EQ(view.rows["ms_1_list_profile"].back(), "New");
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(session.link().applyRequests(), 1);
    FakeCableLibrary::state().present = 1;
    page.bindControls();
    session.link().start(loader, "/opt/tvq/", &window, false);  // the worker takes it now
    settle();
    const ParsedProfileStore after = parseProfileStore(stored());
    EXPECT_EQ(after.profiles.size(), 2u);
    EXPECT_EQ(after.currentIndex, 1);
    dialogs.name.reset();  // cancelled: nothing
    view.click("ms_1_profile_add_btn");
    EXPECT_EQ(names().size(), 2u);
}

TEST_F(ProfileOperationsTest, AnAddedProfileIsOnDiskBeforeItsApplySendsAFrame) {
    start({u"A"}, 0);
    settle();
    std::atomic<int> storedWhenSending{-1};
    sendClock.onSleep = [&](int) {
        if (storedWhenSending.load() < 0) {
            storedWhenSending.store(static_cast<int>(parseProfileStore(stored()).profiles.size()));
        }
    };
    dialogs.name = u"New";
    view.click("ms_1_profile_add_btn");
    settle();
    EXPECT_EQ(storedWhenSending.load(), 2);
}

TEST_F(ProfileOperationsTest, AStoreOverTheLimitLoadsItsFirstProfilesAndAddsAreRefusedAtIt) {
    session.profiles().setMaxProfiles(3);
    start({u"A", u"B", u"C", u"D", u"E"}, 4);
    EXPECT_EQ(names(), (std::vector<std::u16string>{u"A", u"B", u"C"}));
    ASSERT_GE(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked.front().rfind("tell profiles_over_limit_text 3 ", 0), 0u)
        << dialogs.asked.front();
    // The whole file was kept aside, unchanged.
    bool kept = false;
    for (const auto& [path, bytes] : fs.files) {
        kept = kept || (path.find("pro.data.damaged-") != std::string::npos &&
                        parseProfileStore(bytes).profiles.size() == 5);
    }
    EXPECT_TRUE(kept);
    dialogs.asked.clear();
    view.click("ms_1_profile_add_btn");
    view.click("ms_1_profile_import_btn");
    EXPECT_EQ(dialogs.asked,
              (std::vector<std::string>{"tell profile_limit_text 3", "tell profile_limit_text 3"}));
    EXPECT_EQ(names().size(), 3u);
}

TEST_F(ProfileOperationsTest, AGarbageProfileFileIsRepairedBeforeItIsStoredOrSent) {
    start({u"A"}, 0);
    settle();
    fs.folders.insert("/tmp");
    fs.files["/tmp/garbage.pro"] = std::vector<std::uint8_t>(165004, 0xFF);
    dialogs.file = "/tmp/garbage.pro";
    view.click("ms_1_profile_import_btn");
    settle();
    ASSERT_EQ(names().size(), 2u);
    const Profile& p = *session.profiles().current();
    EXPECT_EQ(fieldText(p.name), std::u16string_view(u"Profile2"));  // a fresh name
    for (const ModeSettings& m : p.modes) {
        EXPECT_GE(m.dpiValue[0], 0);
        EXPECT_LE(m.sleepTimer, 60);
        EXPECT_LE(m.lightColor, 0x00FFFFFFu);
        EXPECT_EQ(m.buttons[0].function, 1);  // the left click kept
    }
    // How many values, of which kinds: the button mode and the 25 settings
    // of each of the five slots, their 18 bindings each, and the name.
    EXPECT_EQ(dialogs.asked.back(), "tell import_repaired_text garbage.pro 126 90 1 0");
    // What reached the mouse is what the page could have made.
    bool leftClickSent = false;
    for (const auto& f : FakeCableLibrary::state().frames) {
        leftClickSent = leftClickSent || (f[0] == 0x08 && f[3] != 0);
    }
    EXPECT_TRUE(leftClickSent);
}

TEST_F(ProfileOperationsTest, FunctionsTheMouseHasBytesForSurviveAnImport) {
    start({u"A"}, 0);
    settle();
    // Codes with a row in the button function table but none in the menus,
    // and one the menus offer that has no row: none is a fault.
    const std::uint8_t codes[] = {19, 21, 47, 48, 49, 115, 51};
    auto imported = newProfile(u"Other computer");
    for (std::size_t i = 0; i < std::size(codes); ++i) {
        ButtonBinding b;
        b.function = codes[i];
        storeBinding(*imported, i + 2, b);
    }
    fs.folders.insert("/tmp");
    fs.files["/tmp/other.pro"] = encodeProfile(*imported);
    dialogs.file = "/tmp/other.pro";
    dialogs.asked.clear();
    view.click("ms_1_profile_import_btn");
    settle();
    const Profile& p = *session.profiles().current();
    for (std::size_t i = 0; i < std::size(codes); ++i) {
        EXPECT_EQ(p.modes[0].buttons[i + 2].function, codes[i]);
    }
    for (const std::string& asked : dialogs.asked) {
        EXPECT_EQ(asked.find("import_repaired_text"), std::string::npos) << asked;
    }
}

TEST_F(ProfileOperationsTest, ExportThenImportAddsACopyWithTheNextFreeName) {
    start({u"Work"});
    fs.folders.insert("/home/user");
    session.edit([](Profile& p) { writeAllSlots(p, [](ModeSettings& m) { m.dpiValue[0] = 77; }); },
                 AfterEdit::kNothing);
    dialogs.file = "/home/user/work.pro";
    view.click("ms_1_profile_export_btn");
    EXPECT_EQ(dialogs.asked.back(), "save file Work");  // the profile's name is proposed
    ASSERT_EQ(fs.files.at("/home/user/work.pro"), encodeProfile(*session.profiles().current()));
    view.click("ms_1_profile_import_btn");
    settle();  // the worker is done with the files
    EXPECT_EQ(names(), (std::vector<std::u16string>{u"Work", u"Work_1"}));
    EXPECT_EQ(session.profiles().currentIndex(), 1);
    EXPECT_EQ(session.profiles().current()->modes[3].dpiValue[0], 77);
    // An export that cannot be written says so.
    fs.failWrites = true;
    view.click("ms_1_profile_export_btn");
    EXPECT_EQ(dialogs.asked.back(), "tell export_failed_text");
}

TEST_F(ProfileOperationsTest, ImportedMacrosJoinTheLibraryUnderFreeNames) {
    start({u"A"});
    session.macros().append([] {
        MacroRecord r;
        setFieldText(r.name, u"Combo");
        return r;
    }());
    auto imported = newProfile(u"Gaming");
    ButtonBinding macro;
    macro.function = function::kMacro;
    setFieldText(macro.macroName, u"combo");
    macro.macroActionCount = 2;
    macro.macroActions[0] = {0x04, 1, 20};
    macro.macroActions[1] = {0x04, 2, 10};
    // On button 5: button 1 keeps the left click.
    imported->modes[0].buttons[4] = macro;
    imported->modes[1].buttons[4] = macro;
    fs.files["/tmp/g.pro"] = encodeProfile(*imported);
    const int macroWrites = fs.writesTo[testing::kMacroPath];
    dialogs.file = "/tmp/g.pro";
    view.click("ms_1_profile_import_btn");
    settle();
    MacroStore& macros = session.macros();
    ASSERT_EQ(macros.size(), 3u);
    EXPECT_EQ(fieldText(macros.at(1).name), u"combo_1");
    EXPECT_EQ(fieldText(macros.at(2).name), u"combo_2");
    EXPECT_EQ(macros.at(2).actionCount, 2);
    const Profile& added = *session.profiles().current();
    EXPECT_EQ(fieldText(added.modes[0].buttons[4].macroName), u"combo_1");
    EXPECT_EQ(added.modes[0].buttons[4].macroIndex, 1);
    EXPECT_EQ(added.modes[1].buttons[4].macroIndex, 2);
    EXPECT_EQ(fs.writesTo[testing::kMacroPath], macroWrites + 1);  // once
}

TEST_F(ProfileOperationsTest, RestoringDefaultsShowsTheFirstModeAndTheDefaultDpi) {
    start({u"A"});
    session.edit(
        [](Profile& p) {
            p.buttonMode = 1;
            writeAllSlots(p, [](ModeSettings& m) { m.dpiValue[0] = 5; });
        },
        AfterEdit::kNothing);
    const int applies = session.link().applyRequests();
    view.click("ms_1_profile_reset_btn");
    settle();
    EXPECT_EQ(session.profiles().current()->buttonMode, 0);
    EXPECT_NE(std::find(view.selected.begin(), view.selected.end(), "ms_1_option_button_mode_1"),
              view.selected.end());
    EXPECT_EQ(view.sliders["ms_1_label_dpi_1"], 800);
    EXPECT_EQ(view.sliders["ms_1_label_dpi_2"], 3200);
    EXPECT_EQ(view.sliders["ms_1_label_dpi_3"], 6400);
    EXPECT_EQ(view.sliders["ms_1_label_dpi_4"], 8000);
    EXPECT_EQ(session.link().applyRequests(), applies + 1);
    EXPECT_EQ(fieldText(session.profiles().current()->name), u"A");
}

TEST_F(ProfileOperationsTest, FilesThatAreNoProfileAreRefusedAndNothingIsAdded) {
    start({u"A"});
    fs.folders.insert("/tmp/folder.pro");
    const std::pair<const char*, std::size_t> files[] = {
        {"/tmp/empty.pro", 0},
        {"/tmp/short.pro", layout::profile::kSize - 1},
        {"/tmp/long.pro", layout::profile::kSize + 1},
        {"/tmp/big.pro", 10 * 1024 * 1024}};
    for (const auto& [path, size] : files) {
        fs.files[path] = std::vector<std::uint8_t>(size, 0x41);
    }
    // Each is refused with its file's name and what is wrong with it.
    const std::pair<const char*, const char*> told[] = {
        {"/tmp/empty.pro", "tell import_wrong_size_text empty.pro 0"},
        {"/tmp/short.pro", "tell import_wrong_size_text short.pro 165003"},
        {"/tmp/long.pro", "tell import_wrong_size_text long.pro 165005"},
        {"/tmp/big.pro", "tell import_wrong_size_text big.pro 10485760"},
        {"/tmp/folder.pro", "tell import_not_a_file_text folder.pro"},
        {"/tmp/missing.pro", "tell import_not_a_file_text missing.pro"}};
    for (const auto& [path, said] : told) {
        dialogs.file = path;
        view.click("ms_1_profile_import_btn");
        EXPECT_EQ(dialogs.asked.back(), said);
    }
    EXPECT_EQ(names(), std::vector<std::u16string>{u"A"});
    EXPECT_EQ(session.macros().size(), 0u);
}

TEST_F(ProfileOperationsTest, LongNamesAreShortenedToFitTheirSuffix) {
    start({u"A"});
    // 49 astral characters would be 98 units: the record keeps 24 of them.
    std::u16string astral;
    for (int i = 0; i < 49; ++i) {
        astral += u"\U0001F600";
    }
    auto imported = newProfile(astral);
    ButtonBinding macro;
    macro.function = function::kMacro;
    setFieldText(macro.macroName, std::u16string(23, u'm'));
    imported->modes[2].buttons[5] = macro;
    fs.files["/tmp/a.pro"] = encodeProfile(*imported);
    dialogs.file = "/tmp/a.pro";
    view.click("ms_1_profile_import_btn");
    settle();
    view.click("ms_1_profile_import_btn");
    settle();
    const auto n = names();
    ASSERT_EQ(n.size(), 3u);
    EXPECT_LE(n[2].size(), layout::profile::kNameMaxChars);
    EXPECT_EQ(n[2].substr(n[2].size() - 2), u"_1");
    EXPECT_NE(n[1], n[2]);
    // The macro of 23 characters twice: the second is shortened for "_1".
    ASSERT_EQ(session.macros().size(), 2u);
    EXPECT_EQ(fieldText(session.macros().at(1).name), std::u16string(21, u'm') + u"_1");
}

}  // namespace
}  // namespace tvq

namespace tvq {
namespace {

class ProfileFollowerTest : public ProfileOperationsTest {
  protected:
    void SetUp() override {
        ProfileOperationsTest::SetUp();
        page.setProfileChanged([this] { ++profileChanges; });
        start({u"Work", u"Games", u"Drawing"});
        ApplicationRules rules;
        rules.set("org.gnome.Nautilus", "games");  // letter case of either side aside
        rules.set("GIMP", "Drawing");
        rules.set("ghost", "No such profile");
        page.follower().setRules(rules);
        page.follower().setRulesChanged([this](const ApplicationRules& r) { told.push_back(r); });
    }
    // The focus moves to `app` and rests there.
    int focusOn(std::string_view app) {
        page.follower().activeApplicationChanged(app);
        scheduler.advance(ProfileFollower::kSettleMs);
        return session.profiles().currentIndex();
    }
    std::vector<ApplicationRules> told;
    int profileChanges = 0;
};

TEST_F(ProfileFollowerTest, RulesChooseTheProfileAndOtherApplicationsGetTheOneChosenByHand) {
    const int applies = session.link().applyRequests();
    page.follower().activeApplicationChanged("ORG.GNOME.NAUTILUS");
    scheduler.advance(ProfileFollower::kSettleMs - 1);
    EXPECT_EQ(session.profiles().currentIndex(), 0);  // not settled yet
    scheduler.advance(1);
    EXPECT_EQ(session.profiles().currentIndex(), 1);
    EXPECT_EQ(session.link().applyRequests(), applies + 1);
    EXPECT_EQ(view.items["ms_1_list_profile"], 1);  // the list follows
    EXPECT_EQ(focusOn("gimp"), 2);
    EXPECT_EQ(focusOn("ghost"), 0);  // a rule naming no profile is ignored
    EXPECT_EQ(focusOn("xterm"), 0);
    // Chosen by hand while an application with a rule has the focus: the
    // focus comes back to it.
    page.onProfileListSelect(1);
    EXPECT_EQ(focusOn("gimp"), 2);
    EXPECT_EQ(focusOn("xterm"), 1);
    EXPECT_TRUE(page.selectProfileNamed(u"WORK"));  // the bus, the tray, tvqctl
    EXPECT_FALSE(page.selectProfileNamed(u"nobody"));
    EXPECT_EQ(focusOn("gimp"), 2);
    EXPECT_EQ(focusOn(""), 0);
    // The program's own window taking the focus changes nothing: the user
    // edits the profile the application before chose.
    page.follower().setOwnApplications({"tvq-config"});
    EXPECT_EQ(focusOn("gimp"), 2);
    EXPECT_EQ(focusOn("TVQ-Config"), 2);
}

TEST_F(ProfileFollowerTest, FocusSettlesOnceWaitsForDialogsAndCanBeSwitchedOff) {
    const int applies = session.link().applyRequests();
    for (const char* app : {"gimp", "org.gnome.Nautilus", "xterm", "gimp"}) {
        page.follower().activeApplicationChanged(app);
        scheduler.advance(100);
    }
    scheduler.advance(ProfileFollower::kSettleMs);
    EXPECT_EQ(session.profiles().currentIndex(), 2);
    EXPECT_EQ(session.link().applyRequests(), applies + 1);  // one switch, where it settled

    bool inDialog = true;
    page.follower().setBusy([&inDialog] { return inDialog; });
    EXPECT_EQ(focusOn("org.gnome.Nautilus"), 2);
    scheduler.advance(10 * ProfileFollower::kSettleMs);
    EXPECT_EQ(session.profiles().currentIndex(), 2);
    inDialog = false;
    scheduler.advance(ProfileFollower::kSettleMs);
    EXPECT_EQ(session.profiles().currentIndex(), 1);

    page.follower().setAutomatic(false);
    EXPECT_EQ(focusOn("gimp"), 1);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_FALSE(told.back().automatic);
}

TEST_F(ProfileFollowerTest, RulesFollowRenamesAndDeletionsAndRejectBadIds) {
    page.onProfileListSelect(1);
    dialogs.name = u"Play";
    page.panels().profileList.renameProfile();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told.back().find("org.gnome.nautilus")->profile, "Play");
    EXPECT_EQ(profileChanges, 3);    // load, the selection, the rename
    EXPECT_EQ(focusOn("xterm"), 1);  // the hand-picked profile under its new name

    page.onProfileListSelect(2);
    page.panels().profileList.deleteProfile();
    EXPECT_EQ(told.back().find("gimp"), nullptr);
    EXPECT_EQ(focusOn("gimp"), 1);  // no rule now: the profile selected in its place

    const std::size_t before = told.size();
    EXPECT_FALSE(page.follower().setRule("", "Work"));
    EXPECT_FALSE(
        page.follower().setRule(std::string(ApplicationRules::kMaxAppIdBytes + 1, 'a'), "Work"));
    EXPECT_EQ(told.size(), before);
    // A rule set for the application in focus switches at once.
    EXPECT_TRUE(page.follower().setRule("Gimp", "work"));
    scheduler.advance(ProfileFollower::kSettleMs);
    EXPECT_EQ(session.profiles().currentIndex(), 0);
    EXPECT_TRUE(page.follower().setRule("gimp", ""));
    EXPECT_EQ(page.follower().rules().find("GIMP"), nullptr);
}

}  // namespace
}  // namespace tvq
