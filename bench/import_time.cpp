// Importing a profile that carries 85 macros (every button but the left
// click, in every mode) into a macro library of 60,000 macros, 30 times, on
// the real file system: for each import, the time the user-interface thread
// spends on it (reading and checking the file, naming the macros, writing
// the note and the macro library, appending the profile), then the profile
// store's save that the worker does. The first and the last imports show
// whether the time grows with the library.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/data_folder.h"
#include "base/text.h"
#include "fake_texts.h"
#include "page/profile_check.h"
#include "platform/posix_file_system.h"
#include "profiles/profile_import.h"
#include "profiles/profile_store.h"
#include "profiles/record_layout.h"
#include "store_fixture.h"

namespace {

using namespace tvq;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main() {
    constexpr std::size_t kLibrary = 60000;
    constexpr int kImports = 30;
    // In TMPDIR (/tmp unless set): TMPDIR=/dev/shm leaves out the disk.
    const char* tmp = std::getenv("TMPDIR");
    std::string folderTemplate = std::string(tmp != nullptr ? tmp : "/tmp") + "/tvq-import-XXXXXX";
    const char* root = ::mkdtemp(folderTemplate.data());
    if (root == nullptr) {
        return 1;
    }
    PosixFileSystem fs;
    testing::FakeTexts texts;
    const DataLocation location(fs, testing::environmentWith(root, std::nullopt), "/opt/tvq/");
    MacroStore macros(location, texts);
    ProfileStore store(location, texts);
    store.load(macros);
    for (std::size_t i = 0; i < kLibrary; ++i) {
        MacroRecord m;
        setFieldText(m.name, u"Macro" + utf16FromUtf8(std::to_string(i)));
        m.actionCount = 2;
        macros.append(m, false);
    }
    macros.save();

    auto carrier = newProfile(u"Carrier");
    for (ModeSettings& mode : carrier->modes) {
        for (std::size_t b = 1; b < layout::mode::kUsedBindingCount; ++b) {
            ButtonBinding& binding = mode.buttons[b];
            binding.function = function::kMacro;
            setFieldText(binding.macroName, u"Macro1");  // taken: each needs a suffix
            binding.macroActionCount = 2;
        }
    }
    const std::string file = std::string(root) + "/carrier.pro";
    fs.replaceFile(file, encodeProfile(*carrier));

    std::printf("macro library: %zu macros (%zu bytes); each import adds %zu\n", macros.size(),
                macros.size() * layout::macro::kSize, macrosCarried(*carrier));
    double first = 0;
    double longest = 0;
    double last = 0;
    for (int n = 1; n <= kImports; ++n) {
        const auto start = Clock::now();
        // What the profile panel does on the user-interface thread.
        auto imported = parseProfileFile(*fs.readFile(file), nullptr);
        repairImportedProfile(*imported);
        setFieldText(imported->name, store.uniqueName(fieldText(imported->name)));
        const std::size_t added = bringMacrosIntoStore(*imported, macros);
        const bool stored = store.appendImport(std::move(imported), macros, added).has_value();
        const double ui = msSince(start);
        const auto saving = Clock::now();
        store.save();  // on the worker in the program
        const double save = msSince(saving);
        if (!stored) {
            std::printf("import %d was not stored\n", n);
            return 1;
        }
        first = n == 1 ? ui : first;
        last = ui;
        longest = std::max(longest, ui);
        if (n == 1 || n % 10 == 0) {
            std::printf(
                "import %2d: user-interface thread %6.1f ms, profile store saved in %6.1f ms"
                " (library now %zu)\n",
                n, ui, save, macros.size());
        }
    }
    std::printf(
        "user-interface thread per import: first %.1f ms, last %.1f ms, longest %.1f ms "
        "(goal: under 100 ms, flat in the library's size)\n",
        first, last, longest);
    std::system((std::string("rm -rf '") + root + "'").c_str());
    return 0;
}
