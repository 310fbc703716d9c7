// tvqctl run as a separate process, the way a user runs it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "base/text.h"
#include "macros/macro_record.h"
#include "processes.h"
#include "profiles/profile_store.h"

namespace tvq {
namespace {

namespace fsys = std::filesystem;
using Json = nlohmann::json;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class TvqctlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fsys::temp_directory_path() / "tvqctl-test-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fsys::remove_all(dir_); }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string dataHome() const { return path("share"); }
    std::string storeFolder() const { return dataHome() + "/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1"; }

    // Runs tvqctl with the data home pointed into the test folder, after
    // the shell commands in `before` (limits).
    Outcome tvqctl(const std::string& args, const std::string& before = {}) const {
        const std::string out = path("stdout"), err = path("stderr");
        const std::string command = before + "XDG_DATA_HOME='" + dataHome() +
                                    "' '" TVQCTL_PATH "' " + args + " >'" + out + "' 2>'" + err +
                                    "'";
        const int raw = std::system(command.c_str());
        Outcome run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = slurp(out);
        run.err = slurp(err);
        return run;
    }

    static std::string slurp(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    void write(const std::string& file, const std::vector<std::uint8_t>& bytes) const {
        fsys::create_directories(fsys::path(file).parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    static void expectOneLineError(const Outcome& run, const std::string& mentions) {
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty()) << run.out;
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_NE(run.err.find(mentions), std::string::npos) << run.err;
    }

    std::string dir_;
};

TEST_F(TvqctlTest, HelpVersionAndErrorsThatNameTheirCommand) {
    const Outcome version = tvqctl("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tvqctl ", 0), 0u) << version.out;
    const Outcome help = tvqctl("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("tvqctl profile select NAME"), std::string::npos) << help.out;
    const Outcome one = tvqctl("help profile new");
    EXPECT_EQ(one.status, 0);
    EXPECT_NE(one.out.find("--force"), std::string::npos) << one.out;
    expectOneLineError(tvqctl("help profile nothing"), "tvqctl help: no command 'profile nothing'");
    expectOneLineError(tvqctl("bogus"), "tvqctl: unknown command 'bogus'");
    expectOneLineError(tvqctl("profile show '" + path("missing.pro") + "'"),
                       "tvqctl profile show: ");
}

TEST_F(TvqctlTest, NewProfileShowsEveryDefault) {
    const Outcome made = tvqctl("profile new P1 '" + path("p.pro") + "'");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(fsys::file_size(path("p.pro")), 165004u);

    const Outcome shown = tvqctl("profile show '" + path("p.pro") + "'");
    ASSERT_EQ(shown.status, 0) << shown.err;
    const Json j = Json::parse(shown.out);
    EXPECT_EQ(j["name"], "P1");
    EXPECT_EQ(j["buttonMode"], 0);
    ASSERT_EQ(j["modes"].size(), 5u);
    for (std::size_t slot = 0; slot < 5; ++slot) {
        const Json& m = j["modes"][slot];
        EXPECT_EQ(m["slot"], slot);
        EXPECT_EQ(m["dpiValue"], Json({20, 80, 160, 200, 0, 0, 0, 0}));
        EXPECT_EQ(m["dpiValueAlt"], Json({20, 80, 160, 200, 0, 0, 0, 0}));
        EXPECT_EQ(m["dpiEnabled"], Json({1, 1, 1, 1, 0, 0, 0, 0}));
        EXPECT_EQ(m["dpiColor"], Json({"#FF0000", "#FFFF00", "#0000FF", "#00FF00", "#00FFFF",
                                       "#FF0000", "#FF4000", "#FFFFFF"}));
        EXPECT_EQ(m["paletteColor"], Json({"#FF0000", "#00FF00", "#0000FF", "#FF00FF", "#FFFF00",
                                           "#FFFFFF", "#FFFFFF", "#FF8000"}));
        EXPECT_EQ(m["lightColor"], "#0000FF");
        EXPECT_EQ(m["brightness"], 8);
        EXPECT_EQ(m["breathSpeed"], 6);
        EXPECT_EQ(m["sleepTimer"], 1);
        EXPECT_EQ(m["dpiStage"], 0);
        EXPECT_EQ(m["pollingRate"], 1);
        EXPECT_EQ(m["movementMode"], 0);
        EXPECT_EQ(m["lightMode"], 7);
        EXPECT_EQ(m["lightModeBle"], 3);
        EXPECT_EQ(m["reservedValueA"], 420);
        EXPECT_EQ(m["reservedValueB"], 3);
        EXPECT_EQ(m["reservedValueC"], 6);
        EXPECT_EQ(m["reservedFlagB"], 1);
        EXPECT_EQ(m["lightAux"], 1);
        EXPECT_EQ(m["dpiReportA"], 8);
        EXPECT_EQ(m["dpiReportB"], 8);
        EXPECT_EQ(m["reservedHead"], std::string(400, '0'));
        ASSERT_EQ(m["buttons"].size(), 18u);
        for (std::size_t k = 0; k < 18; ++k) {
            const Json& b = m["buttons"][k];
            EXPECT_EQ(b["buttonIndex"], k);
            EXPECT_EQ(b["function"], defaultFunction(slot, k));
            EXPECT_EQ(b["reservedWord"], 562);
            EXPECT_EQ(b["reservedIndex"], -1);
            EXPECT_EQ(b["macro"]["index"], -1);
            EXPECT_EQ(b["macro"]["name"], "");
            EXPECT_EQ(b["macro"]["actions"], Json::array());
        }
    }
}

TEST_F(TvqctlTest, BoundMacroCopiesAreShown) {
    auto p = newProfile(u"With macro");
    ButtonBinding& b = p->modes[1].buttons[4];
    b.function = 17;
    setFieldText(b.macroName, u"Combo");
    b.macroRepeatMode = 2;
    b.macroLoopCount = 3;
    b.macroActionCount = 2;
    b.macroIndex = 0;
    b.macroActions[0] = {0x04, 1, 30};
    b.macroActions[1] = {0x04, 2, 10};
    b.macroActions[2] = {0x05, 1, 99};  // past the count: not shown
    write(path("m.pro"), encodeProfile(*p));

    const Outcome shown = tvqctl("profile show '" + path("m.pro") + "'");
    ASSERT_EQ(shown.status, 0) << shown.err;
    const Json macro = Json::parse(shown.out)["modes"][1]["buttons"][4]["macro"];
    EXPECT_EQ(macro["name"], "Combo");
    EXPECT_EQ(macro["repeatMode"], 2);
    EXPECT_EQ(macro["loopCount"], 3);
    EXPECT_EQ(macro["actionCount"], 2);
    EXPECT_EQ(macro["actions"], Json::parse(R"([{"code":4,"type":1,"delay":30},
                                                 {"code":4,"type":2,"delay":10}])"));
}

TEST_F(TvqctlTest, BadProfileFilesGiveOneLineAndStatusTwo) {
    expectOneLineError(tvqctl("profile show '" + path("missing.pro") + "'"), "missing.pro");
    write(path("empty.pro"), {});
    expectOneLineError(tvqctl("profile show '" + path("empty.pro") + "'"), "empty.pro");
    write(path("short.pro"), std::vector<std::uint8_t>(165003, 0));
    expectOneLineError(tvqctl("profile show '" + path("short.pro") + "'"), "165003");
    write(path("long.pro"), std::vector<std::uint8_t>(200000, 0));
    expectOneLineError(tvqctl("profile show '" + path("long.pro") + "'"), "long.pro");
    expectOneLineError(tvqctl("profile show '" + dir_ + "'"), "folder");
}

TEST_F(TvqctlTest, ProfileNewRefusesWithoutWriting) {
    expectOneLineError(tvqctl("profile new '" + std::string(50, 'n') + "' '" + path("x.pro") + "'"),
                       "49");
    EXPECT_FALSE(fsys::exists(path("x.pro")));
    expectOneLineError(tvqctl("profile new P '" + path("no/such/folder/x.pro") + "'"), "x.pro");
    EXPECT_FALSE(fsys::exists(path("no")));
    // The program's own stores are the program's to write.
    fsys::create_directories(storeFolder());
    write(storeFolder() + "/pro.data", {1, 2, 3});
    for (const std::string& store :
         {storeFolder() + "/pro.data", storeFolder() + "/../ms_1/macro.data"}) {
        expectOneLineError(tvqctl("profile new Oops '" + store + "'"), "only the program writes");
    }
    EXPECT_EQ(fsys::file_size(storeFolder() + "/pro.data"), 3u);
    EXPECT_FALSE(fsys::exists(storeFolder() + "/macro.data"));
    // An existing file is replaced only with --force, and never one that
    // holds the program's data, wherever it lies.
    write(path("mine.pro"), {1});
    expectOneLineError(tvqctl("profile new P '" + path("mine.pro") + "'"), "--force");
    EXPECT_EQ(fsys::file_size(path("mine.pro")), 1u);
    EXPECT_EQ(tvqctl("profile new P '" + path("mine.pro") + "' --force").status, 0);
    EXPECT_EQ(fsys::file_size(path("mine.pro")), 165004u);
    std::vector<std::unique_ptr<Profile>> one;
    one.push_back(newProfile(u"Kept"));
    const std::string settings = R"({"version": 1, "battery": {"low": 20}})";
    for (const auto& [name, bytes] :
         {std::pair{std::string("store-copy"), encodeProfileStore(0, one)},
          std::pair{std::string("settings-copy"),
                    std::vector<std::uint8_t>(settings.begin(), settings.end())}}) {
        write(path(name), bytes);
        expectOneLineError(tvqctl("profile new P '" + path(name) + "' --force"),
                           "only the program writes");
        EXPECT_EQ(fsys::file_size(path(name)), bytes.size());
    }
    // A file-size limit is a failed write, not the end of the process.
    expectOneLineError(tvqctl("profile new P '" + path("big.pro") + "'", "ulimit -f 8; "),
                       "big.pro");
    EXPECT_FALSE(fsys::exists(path("big.pro")));
    // A pipe is never replaced by a file.
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    expectOneLineError(tvqctl("profile new P '" + path("pipe") + "'"), "not a regular file");
    EXPECT_TRUE(fsys::is_fifo(path("pipe")));
    // A huge input is refused before it is read.
    {
        std::ofstream(path("huge.pro")).close();
        fsys::resize_file(path("huge.pro"), std::uintmax_t{1} << 30);
    }
    expectOneLineError(tvqctl("profile show '" + path("huge.pro") + "'"), "1073741824 bytes");
    EXPECT_EQ(tvqctl("profile new P").status, 2);
    EXPECT_EQ(tvqctl("bogus thing").status, 2);
    EXPECT_EQ(tvqctl("").status, 2);
}

TEST_F(TvqctlTest, MacroFiles) {
    MacroRecord r;
    setFieldText(r.name, u"Copy");
    r.reserved = 5;
    r.actionCount = 2;
    r.actions[0] = {0xE0, 1, 20};
    r.actions[1] = {0xF1, 1, 10};
    const auto bytes = encodeMacro(r);
    write(path("copy.macro"), {bytes.begin(), bytes.end()});
    const Outcome shown = tvqctl("macro show '" + path("copy.macro") + "'");
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(Json::parse(shown.out), Json::parse(R"({"name":"Copy","reserved":5,"actionCount":2,
        "actions":[{"code":224,"type":1,"delay":20},{"code":241,"type":1,"delay":10}]})"));

    r.actionCount = 900;  // bounded as the program reads it, with a note
    const auto wild = encodeMacro(r);
    write(path("wild.macro"), {wild.begin(), wild.end()});
    const Outcome bounded = tvqctl("macro show '" + path("wild.macro") + "'");
    EXPECT_EQ(bounded.status, 0);
    EXPECT_EQ(Json::parse(bounded.out)["actionCount"], 46);
    EXPECT_NE(bounded.err.find("note"), std::string::npos);

    write(path("short.macro"), std::vector<std::uint8_t>(239, 0));
    expectOneLineError(tvqctl("macro show '" + path("short.macro") + "'"), "short.macro");
    write(path("long.macro"), std::vector<std::uint8_t>(480, 0));
    expectOneLineError(tvqctl("macro show '" + path("long.macro") + "'"), "480");
}

TEST_F(TvqctlTest, StoreShowReadsWithoutCreatingAnything) {
    expectOneLineError(tvqctl("store show"), "pro.data");
    EXPECT_FALSE(fsys::exists(dataHome()));

    std::vector<std::unique_ptr<Profile>> profiles;
    profiles.push_back(newProfile(u"Work"));
    profiles.push_back(newProfile(u"Spiel"));
    write(storeFolder() + "/pro.data", encodeProfileStore(1, profiles));
    MacroRecord m;
    setFieldText(m.name, u"Paste");
    const auto macroBytes = encodeMacro(m);
    write(storeFolder() + "/macro.data", {macroBytes.begin(), macroBytes.end()});

    const Outcome shown = tvqctl("store show");
    ASSERT_EQ(shown.status, 0) << shown.err;
    const Json j = Json::parse(shown.out);
    EXPECT_EQ(j["currentIndex"], 1);
    EXPECT_EQ(j["profiles"], Json({"Work", "Spiel"}));
    EXPECT_EQ(j["macros"], Json({"Paste"}));

    auto truncated = encodeProfileStore(0, profiles);
    truncated.resize(truncated.size() - 10);
    write(storeFolder() + "/pro.data", truncated);
    expectOneLineError(tvqctl("store show"), "pro.data");
    EXPECT_EQ(fsys::file_size(storeFolder() + "/pro.data"), truncated.size());  // untouched
}

TEST_F(TvqctlTest, TheBashCompletionOffersCommandsProfileNamesAndProfileFiles) {
    std::vector<std::unique_ptr<Profile>> profiles;
    for (const char16_t* name : {u"Work", u"Games", u"Game night"}) {
        profiles.push_back(newProfile(name));
    }
    write(storeFolder() + "/pro.data", encodeProfileStore(0, profiles));
    write(path("files/one.pro"), {});
    write(path("files/TWO.PRO"), {});
    write(path("files/notes.txt"), {});
    // What bash completes for `line`, one word per line, sorted.
    const auto completed = [&](const std::string& line) {
        const std::string script =
            "source '" TVQ_SOURCE_DIR "/packaging/completions/tvqctl.bash'; "
            "read -ra COMP_WORDS <<< \"$1\"; [[ $1 == *' ' ]] && COMP_WORDS+=(''); "
            "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _tvqctl; printf '%s\\n' \"${COMPREPLY[@]}\"";
        std::ofstream(path("complete.sh")) << script;
        const std::string folder = fsys::path(TVQCTL_PATH).parent_path().string();
        return testing::output("cd '" + path("files") + "' && PATH='" + folder +
                               "':\"$PATH\" DBUS_SESSION_BUS_ADDRESS='unix:path=" +
                               path("no-bus") + "' XDG_DATA_HOME='" + dataHome() + "' bash '" +
                               path("complete.sh") + "' '" + line + "' | sort");
    };
    EXPECT_EQ(completed("tvqctl pro"), "profile\n");
    EXPECT_EQ(completed("tvqctl profile se"), "select\n");
    EXPECT_EQ(completed("tvqctl profile select Gam"), "Game night\nGames\n");
    EXPECT_EQ(completed("tvqctl apply "), "TWO.PRO\none.pro\n");
}

TEST_F(TvqctlTest, WithoutTheProgramProfilesAreSwitchedInTheStore) {
    // No session bus and no mouse: the store alone.
    const std::string alone = "DBUS_SESSION_BUS_ADDRESS='unix:path=" + path("no-bus") +
                              "' TVQ_VIRTUAL_MOUSE='" + path("no-mouse") + "' ";
    std::vector<std::unique_ptr<Profile>> profiles;
    for (const char16_t* name : {u"Work", u"Spiel", u"Zeichnen"}) {
        profiles.push_back(newProfile(name));
    }
    write(storeFolder() + "/pro.data", encodeProfileStore(2, profiles));
    const Outcome listed = tvqctl("profile list", alone);
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "  Work\n  Spiel\n* Zeichnen\n");

    const Outcome next = tvqctl("profile next", alone);  // from the last, round to the first
    EXPECT_EQ(next.out, "Work\n");
    EXPECT_EQ(next.status, 2);  // stored, but no mouse to write it to
    EXPECT_EQ(slurp(storeFolder() + "/pro.data").size(), encodeProfileStore(0, profiles).size());
    const auto stored = slurp(storeFolder() + "/pro.data");
    const auto expected = encodeProfileStore(0, profiles);
    EXPECT_EQ(stored, std::string(expected.begin(), expected.end()));
    EXPECT_EQ(tvqctl("profile previous", alone).out, "Zeichnen\n");
    EXPECT_EQ(tvqctl("profile select spiel", alone).out, "Spiel\n");
    EXPECT_EQ(tvqctl("profile list", alone).out, "  Work\n* Spiel\n  Zeichnen\n");

    const auto before = slurp(storeFolder() + "/pro.data");
    expectOneLineError(tvqctl("profile select Nobody", alone), "Nobody");
    expectOneLineError(tvqctl("profile next extra", alone), "profile next");
    EXPECT_EQ(slurp(storeFolder() + "/pro.data"), before);
}

}  // namespace
}  // namespace tvq
