// The stores as the program writes them, for scripts/crash-safety.sh:
//   store_saver make N   writes a store of N profiles
//   store_saver save     loads the store, then saves it in a loop, changing a
//                        value each time, until it is killed
//   store_saver start    loads the store as a start of the program does
//                        (removing what killed saves left) and prints the
//                        number of profiles, or "damaged" when it did not
//                        load cleanly
//   store_saver import   imports profiles that carry 10 macros each and adds
//                        plain ones, in turn, as the profile list does, until
//                        it is killed; prints "stored NAME" once a profile
//                        is on disk
//   store_saver check    loads as a start does and prints the number of
//                        profiles, of macros that came with an import whose
//                        profile is missing ("orphans"), and then the names
//                        of the profiles
// The data folder comes from XDG_DATA_HOME, as for the program.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "base/data_folder.h"
#include "base/text.h"
#include "fake_texts.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "profiles/profile_import.h"
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
    if (mode == "import") {
        store.load(macros);
        for (int k = static_cast<int>(store.profiles().size());; ++k) {
            const std::string name = "Import" + std::to_string(k);
            auto profile = newProfile(utf16FromUtf8(name));
            std::size_t added = 0;
            if (k % 2 == 0) {
                for (std::size_t b = 1; b <= 10; ++b) {
                    ButtonBinding& binding = profile->modes[0].buttons[b];
                    binding.function = function::kMacro;
                    setFieldText(binding.macroName, utf16FromUtf8(name + "m"));
                    binding.macroActionCount = 1;
                }
                added = bringMacrosIntoStore(*profile, macros);
            }
            if (store.appendImport(std::move(profile), macros, added) && store.save()) {
                std::printf("stored %s\n", name.c_str());
                std::fflush(stdout);
            }
        }
    }
    if (mode == "check") {
        store.load(macros);
        std::set<std::string> names;
        for (const auto& p : store.profiles()) {
            names.insert(utf8FromUtf16(fieldText(p->name)));
        }
        std::size_t orphans = 0;
        for (std::size_t i = 0; i < macros.size(); ++i) {
            const std::string macro = utf8FromUtf16(fieldText(macros.at(i).name));
            orphans += names.contains(macro.substr(0, macro.rfind('m'))) ? 0 : 1;
        }
        std::printf("%zu %zu %zu\n", names.size(), macros.size(), orphans);
        for (const std::string& n : names) {
            std::printf("%s\n", n.c_str());
        }
        return 0;
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
    std::fprintf(stderr, "usage: store_saver make N | save | start | import | check\n");
    return 2;
}
