// The stores as the program writes them, for scripts/crash-safety.sh:
//   store_saver make N   writes a store of N profiles
//   store_saver save     loads the store, then saves it in a loop, changing a
//                        value each time, until it is killed
//   store_saver start    loads the store as a start of the program does
//                        (removing what killed saves left) and prints the
//                        number of profiles, or "damaged" when it did not
//                        load cleanly
// The data folder comes from XDG_DATA_HOME, as for the program.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/data_folder.h"
#include "fake_texts.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "profiles/profile_store.h"

int main(int argc, char** argv) {
    using namespace tvq;
    const std::string mode = argc > 1 ? argv[1] : "";
    PosixFileSystem fs;
    testing::FakeTexts texts;
    const DataLocation location(fs, processEnvironment(), programFolder());
    MacroStore macros(location, texts);
    ProfileStore store(location, texts);
    if (mode == "make" && argc > 2) {
        const auto report = store.load(macros);
        for (int i = 1; i < std::atoi(argv[2]); ++i) {
            store.append(newProfile(u"profile " + std::u16string(1, char16_t(u'A' + i % 26))));
        }
        return store.save() && !report.saveFailed ? 0 : 1;
    }
    if (mode == "save") {
        store.load(macros);
        for (std::int32_t n = 0;; ++n) {
            store.editCurrent([n](Profile& p) { p.modes[0].dpiValue[0] = n % 400; });
            store.save();
        }
    }
    if (mode == "start") {
        const auto report = store.load(macros);
        if (!report.keptDamagedAs.empty() || report.damagedNotKept) {
            std::printf("damaged\n");
            return 1;
        }
        std::printf("%zu\n", store.profiles().size());
        return 0;
    }
    std::fprintf(stderr, "usage: store_saver make N | save | start\n");
    return 2;
}
