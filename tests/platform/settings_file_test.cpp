#include "platform/settings_file.h"

#include <gtest/gtest.h>

#include <string>

#include "base/data_folder.h"
#include "memory_file_system.h"

namespace tvq {
namespace {

const std::string kPath = "/home/u/.config/tvq-config/settings.json";

std::string textOf(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}
void put(testing::MemoryFileSystem& fs, const std::string& text) {
    fs.createDirectories("/home/u/.config/tvq-config");
    fs.files[kPath].assign(text.begin(), text.end());
}

TEST(SettingsFileTest, TheFileIsFoundByTheXdgRules) {
    auto env = [](std::optional<std::string> config, std::optional<std::string> home) {
        return Environment([=](std::string_view name) -> std::optional<std::string> {
            return name == "XDG_CONFIG_HOME" ? config : name == "HOME" ? home : std::nullopt;
        });
    };
    EXPECT_EQ(settingsFilePath(env("/cfg/", "/home/u")), "/cfg/tvq-config/settings.json");
    EXPECT_EQ(settingsFilePath(env("relative", "/home/u")), kPath);
    EXPECT_EQ(settingsFilePath(env(std::nullopt, std::nullopt)), "");
}

TEST(SettingsFileTest, WrittenSettingsReadBackAndKeysOfOtherVersionsStay) {
    testing::MemoryFileSystem fs;
    fs.createDirectories("/home/u");
    SettingsFile file(fs, kPath);
    EXPECT_EQ(file.load(), SettingsFile::Loaded::kNoFile);
    EXPECT_EQ(file.settings(), ProgramSettings{});

    put(fs, R"({"version": 7, "toolbar": "left", "battery": {"low": 30, "critical": 15,
                "notifications": false, "sound": true}, "applications": {"automatic": false,
                "rules": [{"app": "gimp", "profile": "Drawing"}, {"app": "", "profile": "x"},
                          {"app": 3, "profile": "x"}, "x", {"app": "GIMP", "profile": "Later"},
                          {"app": "firefox", "profile": "Web"}]}})");
    ASSERT_EQ(file.load(), SettingsFile::Loaded::kRead);
    EXPECT_EQ(file.settings().battery, (BatteryAlertSettings{false, 30, 15}));
    // Rules that are not rules are left out; a later rule for the same
    // application replaces an earlier one.
    EXPECT_FALSE(file.settings().applications.automatic);
    EXPECT_EQ(file.settings().applications.rules,
              (std::vector<AppRule>{{"GIMP", "Later"}, {"firefox", "Web"}}));

    ProgramSettings changed = file.settings();
    changed.battery.low = 40;
    changed.closedToTrayTold = true;
    changed.appearance = {AppearanceChoice::kDark, true};
    changed.closedSections = {"ms_1_ver_light", "ms_1_hor_dpi"};
    changed.language = "pt_BR";
    ASSERT_TRUE(file.save(changed));
    const std::string written = textOf(fs.files[kPath]);
    EXPECT_NE(written.find("\"toolbar\": \"left\""), std::string::npos) << written;
    SettingsFile again(fs, kPath);
    ASSERT_EQ(again.load(), SettingsFile::Loaded::kRead);
    EXPECT_EQ(again.settings(), changed);

    // A file that cannot be written leaves the settings as they were.
    fs.failWrites = true;
    ProgramSettings lost = changed;
    lost.battery.enabled = true;
    EXPECT_FALSE(again.save(lost));
    EXPECT_EQ(again.settings(), changed);
    EXPECT_FALSE(SettingsFile(fs, "").save(lost));
}

TEST(SettingsFileTest, BadContentIsKeptAsideOrTakesTheDefaults) {
    testing::MemoryFileSystem fs;
    // Among them a document nested deeper than any settings file: it is
    // refused before it is built (printing it would recurse that deep).
    const std::string deep = "{\"x\": " + std::string(70000, '[') + std::string(70000, ']') + "}";
    for (const std::string& bad : {std::string("{\"battery\": "), std::string("[1, 2]"),
                                   std::string("\xff\xfe{}"), std::string(2 << 20, ' '), deep}) {
        put(fs, bad);
        SettingsFile file(fs, kPath);
        ASSERT_EQ(file.load(), SettingsFile::Loaded::kKeptAside) << bad.substr(0, 20);
        EXPECT_EQ(file.settings(), ProgramSettings{});
        EXPECT_FALSE(fs.files.contains(kPath));
        ASSERT_TRUE(fs.files.contains(file.keptAs()));
        EXPECT_EQ(textOf(fs.files[file.keptAs()]), bad);
        fs.files.erase(file.keptAs());
    }
    // Values of the wrong kind or out of range take their defaults; the
    // rest is read.
    for (const std::string& odd :
         {std::string(R"({"battery": {"low": 5, "critical": 50, "notifications": false}})"),
          std::string(R"({"battery": {"low": "20", "critical": -3, "notifications": false}})"),
          std::string(R"({"battery": {"low": 1e300, "critical": 10, "notifications": false}})")}) {
        put(fs, odd);
        SettingsFile file(fs, kPath);
        ASSERT_EQ(file.load(), SettingsFile::Loaded::kRead) << odd;
        EXPECT_EQ(file.settings().battery, (BatteryAlertSettings{false, 20, 10})) << odd;
    }
    put(fs, R"({"appearance": {"choice": "purple", "desktopDark": 1}, "language": "../../x",
                "closedSections": ["a b", 3, "ms_1_hor_dpi", "ms_1_hor_dpi", ""]})");
    SettingsFile file(fs, kPath);
    ASSERT_EQ(file.load(), SettingsFile::Loaded::kRead);
    EXPECT_EQ(file.settings().appearance, AppearanceSettings{});
    EXPECT_EQ(file.settings().language, "");
    EXPECT_EQ(file.settings().closedSections, std::vector<std::string>{"ms_1_hor_dpi"});
}

TEST(SettingsFileTest, NothingIsWrittenThatCouldNotBeReadAgain) {
    testing::MemoryFileSystem fs;
    SettingsFile file(fs, kPath);
    ProgramSettings settings;
    EXPECT_FALSE(settings.applications.set("gimp", "Draw\ning"));  // control characters
    EXPECT_FALSE(settings.applications.set("gi\x1bmp", "Drawing"));
    // The rules stop at their limit, well within what the reader takes.
    for (std::size_t i = 0; i <= ApplicationRules::kMaxRules; ++i) {
        const std::string id =
            std::to_string(i) + std::string(ApplicationRules::kMaxAppIdBytes - 8, 'a');
        EXPECT_EQ(settings.applications.set(id, std::string(196, 'p')),
                  i < ApplicationRules::kMaxRules);
    }
    ASSERT_TRUE(file.save(settings));
    SettingsFile again(fs, kPath);
    ASSERT_EQ(again.load(), SettingsFile::Loaded::kRead);
    EXPECT_EQ(again.settings().applications.rules.size(), ApplicationRules::kMaxRules);

    // A file that cannot be read now (its permissions, say) is not replaced
    // by a save; once it can be read, saves go on.
    fs.unreadable.insert(kPath);
    const std::vector<std::uint8_t> kept = fs.files[kPath];
    SettingsFile locked(fs, kPath);
    ASSERT_EQ(locked.load(), SettingsFile::Loaded::kUnreadable);
    EXPECT_FALSE(locked.save(ProgramSettings{}));
    EXPECT_EQ(fs.files[kPath], kept);
    fs.unreadable.clear();
    EXPECT_TRUE(locked.save(ProgramSettings{}));
}

}  // namespace
}  // namespace tvq
