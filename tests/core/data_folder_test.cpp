#include "base/data_folder.h"

#include <gtest/gtest.h>

#include "base/debug.h"
#include "store_fixture.h"

namespace tvq {
namespace {

using testing::environmentWith;
using testing::MemoryFileSystem;

constexpr const char* kProgram = "/opt/tvq/";
constexpr const char* kProduct = "TERVANA TVQ-R270 WIRELESS MOUSE";

class DataFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        debug::redirectForTesting([this](std::string_view line) { lines.emplace_back(line); },
                                  true);
    }
    void TearDown() override { debug::redirectForTesting({}, false); }

    MemoryFileSystem fs;
    std::vector<std::string> lines;
};

TEST_F(DataFolderTest, FirstRunCreatesTheFolderBelowTheDataHome) {
    const auto env = environmentWith("/home/u/data", "/home/u");
    const std::string folder = dataFolder(fs, env, kProgram);
    EXPECT_EQ(folder, std::string("/home/u/data/") + kProduct + "/");
    EXPECT_TRUE(fs.isDirectory("/home/u/data"));
    EXPECT_TRUE(fs.isDirectory(std::string("/home/u/data/") + kProduct));
    EXPECT_TRUE(lines.empty());

    const auto folders = fs.folders;
    EXPECT_EQ(dataFolder(fs, env, kProgram), folder);
    EXPECT_EQ(fs.folders, folders);  // nothing created the second time
    EXPECT_EQ(lines, std::vector<std::string>{"mousehid exit"});
}

TEST_F(DataFolderTest, DataHomeDefaultsToLocalShareAndIgnoresRelativePaths) {
    const std::string expected = std::string("/home/u/.local/share/") + kProduct + "/";
    EXPECT_EQ(dataFolder(fs, environmentWith(std::nullopt, "/home/u"), kProgram), expected);
    EXPECT_EQ(dataFolder(fs, environmentWith("", "/home/u"), kProgram), expected);
    EXPECT_EQ(dataFolder(fs, environmentWith("relative/dir", "/home/u/"), kProgram), expected);
    EXPECT_EQ(dataFolder(fs, environmentWith("/x//", "/home/u"), kProgram),
              std::string("/x/") + kProduct + "/");
}

TEST_F(DataFolderTest, WithoutADataHomeTheStoresLiveBesideTheProgram) {
    fs.createDirectories("/opt/tvq");
    const std::string folder =
        dataFolder(fs, environmentWith(std::nullopt, std::nullopt), kProgram);
    EXPECT_EQ(folder, "/opt/tvq/Data/");
    EXPECT_TRUE(fs.isDirectory("/opt/tvq/Data"));
    EXPECT_EQ(dataFolderPath(environmentWith(std::nullopt, "relative"), kProgram), folder);
}

TEST_F(DataFolderTest, AFileInTheWayMakesCreationFailButTheTextIsStillReturned) {
    fs.createDirectories("/home/u/data");
    const std::string blocked = std::string("/home/u/data/") + kProduct;
    fs.files[blocked] = {1, 2, 3};
    EXPECT_EQ(dataFolder(fs, environmentWith("/home/u/data", std::nullopt), kProgram),
              blocked + "/");
    EXPECT_FALSE(fs.isDirectory(blocked));
    EXPECT_TRUE(lines.empty());
}

TEST_F(DataFolderTest, ADataHomeThatCannotBeMadeStopsThere) {
    fs.failFolderCreation = true;
    EXPECT_EQ(dataFolder(fs, environmentWith("/nowhere", std::nullopt), kProgram),
              std::string("/nowhere/") + kProduct + "/");
    EXPECT_EQ(fs.folders.size(), 1u);
}

TEST_F(DataFolderTest, PathOnlyVariantCreatesNothing) {
    EXPECT_EQ(dataFolderPath(environmentWith("/d", std::nullopt), kProgram),
              std::string("/d/") + kProduct + "/");
    EXPECT_EQ(fs.folders.size(), 1u);
    EXPECT_EQ(profileStorePath("/d/x/"), "/d/x/ms_1/pro.data");
    EXPECT_EQ(macroStorePath("/d/x/"), "/d/x/ms_1/macro.data");
}

TEST(DebugChannel, SilentUnlessSwitchedOn) {
    std::vector<std::string> seen;
    debug::redirectForTesting([&](std::string_view line) { seen.emplace_back(line); }, false);
    debug::write("hidden");
    debug::redirectForTesting([&](std::string_view line) { seen.emplace_back(line); }, true);
    debug::write("shown\n");
    debug::redirectForTesting({}, false);
    EXPECT_EQ(seen, std::vector<std::string>{"shown\n"});
}

}  // namespace
}  // namespace tvq
