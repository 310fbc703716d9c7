// The program's settings file of any content: it loads or is kept aside,
// what loads is valid, and what is written reads back as itself.
#include <cstdlib>

#include "memory_file_system.h"
#include "platform/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvq;
    const std::string path = "/c/tvq-config/settings.json";
    testing::MemoryFileSystem fs;
    fs.createDirectories("/c/tvq-config");
    fs.files[path].assign(data, data + size);
    SettingsFile file(fs, path);
    switch (file.load()) {
        case SettingsFile::Loaded::kKeptAside:
            if (fs.files.contains(path) ||
                fs.files[file.keptAs()] != std::vector(data, data + size)) {
                std::abort();
            }
            return 0;
        case SettingsFile::Loaded::kRead:
            break;
        default:
            std::abort();
    }
    const ProgramSettings loaded = file.settings();
    if (!loaded.battery.valid()) {
        std::abort();
    }
    if (!file.save(loaded)) {
        // Refused only where what it keeps of the file would outgrow what
        // the reader takes.
        if (size < SettingsFile::kMaxBytes / 2) {
            std::abort();
        }
        return 0;
    }
    SettingsFile again(fs, path);
    if (again.load() != SettingsFile::Loaded::kRead || again.settings() != loaded) {
        std::abort();
    }
    return 0;
}
