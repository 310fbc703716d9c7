#include "platform/posix_file_system.h"
#include "platform/shared_library.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/data_folder.h"
#include "fake_texts.h"
#include "profiles/profile_store.h"
#include "store_fixture.h"

namespace tvq {
namespace {

namespace fsys = std::filesystem;

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fsys::temp_directory_path() / "tvq-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        fsys::permissions(path_, fsys::perms::owner_all, ignored);
        fsys::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

std::vector<std::uint8_t> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::size_t entriesIn(const std::string& folder) {
    return static_cast<std::size_t>(
        std::distance(fsys::directory_iterator(folder), fsys::directory_iterator()));
}

// Lowers the largest file this process may write, as a full disk would stop
// a write part way. The signal the kernel sends is ignored so the write
// simply fails.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST(PosixFileSystem, ReplaceWritesAndReplacesWholeFiles) {
    TempFolder dir;
    PosixFileSystem fs;
    const std::string file = dir / "pro.data";
    const std::vector<std::uint8_t> first(100000, 0xAA), second = {1, 2, 3};
    ASSERT_TRUE(fs.replaceFile(file, first));
    EXPECT_EQ(*fs.readFile(file), first);
    ::chmod(file.c_str(), 0666);
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(fs.replaceFile(file, second));
    ::umask(mask);
    EXPECT_EQ(bytesOf(file), second);
    struct stat st {};
    ::stat(file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0644u);   // the user's mode, not what was there
    EXPECT_EQ(entriesIn(dir.path()), 1u);  // no temporary file left behind
    // A link to a device is refused like the device.
    const std::string link = dir / "null.macro";
    ASSERT_EQ(::symlink("/dev/null", link.c_str()), 0);
    EXPECT_FALSE(fs.replaceFile(link, second));
    ::stat("/dev/null", &st);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(PosixFileSystem, AFullDiskLeavesTheOldFileIntact) {
    TempFolder dir;
    PosixFileSystem fs;
    const std::string file = dir / "pro.data";
    const std::vector<std::uint8_t> old(5000, 0x11), bigger(200000, 0x22);
    ASSERT_TRUE(fs.replaceFile(file, old));
    {
        FileSizeLimit limit(65536);
        EXPECT_FALSE(fs.replaceFile(file, bigger));
    }
    EXPECT_EQ(bytesOf(file), old);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(PosixFileSystem, AReadOnlyFolderRefusesTheWriteAndKeepsTheOldFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root; the full-disk test covers the failure path";
    }
    TempFolder dir;
    PosixFileSystem fs;
    const std::string file = dir / "pro.data";
    ASSERT_TRUE(fs.replaceFile(file, std::vector<std::uint8_t>{7}));
    ::chmod(dir.path().c_str(), 0500);
    EXPECT_FALSE(fs.replaceFile(file, std::vector<std::uint8_t>{8, 9}));
    ::chmod(dir.path().c_str(), 0700);
    EXPECT_EQ(bytesOf(file), std::vector<std::uint8_t>{7});
}

TEST(PosixFileSystem, ReadsOnlyRegularFiles) {
    TempFolder dir;
    PosixFileSystem fs;
    EXPECT_FALSE(fs.readFile(dir / "missing"));
    EXPECT_FALSE(fs.readFile(dir.path()));
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(fs.readFile(fifo));  // and does not block on it
    ASSERT_TRUE(fs.replaceFile(dir / "empty", {}));
    EXPECT_EQ(fs.readFile(dir / "empty")->size(), 0u);
}

TEST(PosixFileSystem, FoldersAreCreatedWithTheirParents) {
    TempFolder dir;
    PosixFileSystem fs;
    EXPECT_TRUE(fs.createDirectories(dir / "a/b/c"));
    EXPECT_TRUE(fs.isDirectory(dir / "a/b/c"));
    EXPECT_TRUE(fs.createDirectories(dir / "a/b/c"));
    EXPECT_FALSE(fs.createDirectory(dir / "a"));  // exists already
    ASSERT_TRUE(fs.replaceFile(dir / "file", std::vector<std::uint8_t>{1}));
    EXPECT_FALSE(fs.createDirectories(dir / "file/sub"));
    EXPECT_TRUE(fs.exists(dir / "file"));
    EXPECT_FALSE(fs.isDirectory(dir / "file"));
}

TEST(ProfileStoreOnDisk, FirstStartAndAFailedSaveOnARealDisk) {
    TempFolder dir;
    PosixFileSystem fs;
    testing::FakeTexts texts;
    const std::string home = dir / "share";
    const DataLocation location(fs, testing::environmentWith(home, std::nullopt), dir.path() + "/");
    MacroStore macros(location, texts);
    ProfileStore store(location, texts);
    store.load(macros);
    const std::string pro = home + "/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1/pro.data";
    const auto first = bytesOf(pro);
    ASSERT_EQ(first.size(), 165008u);

    store.editCurrent([](Profile& p) { p.modes[0].dpiValue[0] = 42; });
    {
        FileSizeLimit limit(100000);
        EXPECT_FALSE(store.save());
    }
    EXPECT_EQ(bytesOf(pro), first);
    EXPECT_EQ(entriesIn(home + "/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1"), 1u);
    EXPECT_TRUE(store.save());
    EXPECT_NE(bytesOf(pro), first);
}

TEST(PosixFileSystem, TemporaryFilesNeverOutliveAWriteAndLeftoversAreRemoved) {
    TempFolder dir;
    PosixFileSystem fs;
    const std::string path = dir / "store";
    ASSERT_TRUE(fs.replaceFile(path, std::vector<std::uint8_t>(1000, 7)));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    // What a killed save of the old kind left; another name stays.
    for (const char* name : {"store.a1B2c3", "store.ZZZZZZ", "store.damaged-1", "other.abcdef"}) {
        ASSERT_TRUE(fs.replaceFile(dir / name, std::vector<std::uint8_t>{1}));
    }
    EXPECT_EQ(fs.removeLeftovers(path), 2);
    EXPECT_EQ(entriesIn(dir.path()), 3u);
    // Renaming never replaces.
    EXPECT_FALSE(fs.renameFile(dir / "store", dir / "other.abcdef"));
    EXPECT_TRUE(fs.renameFile(dir / "store", dir / "store.kept"));
    EXPECT_FALSE(fs.exists(path));
}

TEST(SharedLibraries, AFileCutShortIsRefusedBeforeItIsMapped) {
    TempFolder dir;
    PosixFileSystem fs;
    const auto whole = fs.readFile(TVQ_REAL_LIBRARY);
    ASSERT_TRUE(whole && whole->size() > 20480);
    SharedLibraryLoader loader;
    EXPECT_NE(loader.load(TVQ_REAL_LIBRARY), nullptr);
    const std::string cut = dir / "hiddriver_1.so";
    ASSERT_TRUE(fs.replaceFile(cut, std::span(whole->data(), 20480)));
    EXPECT_EQ(loader.load(cut), nullptr);  // and no SIGBUS
    EXPECT_NE(loader.lastFailure().find("cut short"), std::string::npos) << loader.lastFailure();
    ASSERT_TRUE(fs.replaceFile(cut, std::vector<std::uint8_t>(100, 0x7F)));
    EXPECT_EQ(loader.load(cut), nullptr);
    EXPECT_NE(unusableLibraryReason(dir / "missing.so"), "");
}

TEST(ProfileStoreOnDisk, AHugeStoreIsReadUpToTheLimitAndKeptAside) {
    TempFolder dir;
    PosixFileSystem fs;
    testing::FakeTexts texts;
    const std::string home = dir / "share";
    const DataLocation location(fs, testing::environmentWith(home, std::nullopt), dir.path() + "/");
    const std::string folder = home + "/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1";
    ASSERT_TRUE(fs.createDirectories(folder));
    // 1 GB, sparse: more than the limit (3 here, to keep the test small).
    const std::string pro = folder + "/pro.data";
    {
        const int fd = ::open(pro.c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0);
        ::close(fd);
    }
    MacroStore macros(location, texts);
    ProfileStore store(location, texts);
    store.setMaxProfiles(3);
    const auto report = store.load(macros);
    EXPECT_TRUE(report.overLimit);
    ASSERT_FALSE(report.keptDamagedAs.empty());
    // A store that is a folder is never written over, and saves say so.
    const std::string other = dir / "other";
    ASSERT_TRUE(fs.createDirectories(other + "/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1/pro.data"));
    const DataLocation folderStore(fs, testing::environmentWith(other, std::nullopt),
                                   dir.path() + "/");
    MacroStore noMacros(folderStore, texts);
    ProfileStore blocked(folderStore, texts);
    EXPECT_TRUE(blocked.load(noMacros).damagedNotKept);
    EXPECT_FALSE(blocked.save());
    EXPECT_TRUE(fs.isDirectory(other + "/TERVANA TVQ-R270 WIRELESS MOUSE/ms_1/pro.data"));
    EXPECT_EQ(fs.regularFileSize(report.keptDamagedAs), std::optional<std::uint64_t>(1u << 30));
    EXPECT_EQ(store.profiles().size(), 3u);  // the first ones
    EXPECT_EQ(fs.regularFileSize(pro), std::optional<std::uint64_t>(4u + 3u * 165004u));
}

}  // namespace
}  // namespace tvq
