// Writes starting inputs for the fuzzers: sound files of each kind, so that
// mutations start from the real layouts.
#include <fstream>
#include <iostream>
#include <string>

#include "base/text.h"
#include "macros/macro_record.h"
#include "profiles/profile_store.h"

namespace {

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tvq;
    if (argc != 2) {
        std::cerr << "usage: fuzz_make_seeds FOLDER\n";
        return 2;
    }
    const std::string out = argv[1];

    auto profile = newProfile(u"Seed");
    profile->modes[0].buttons[2].function = 17;
    profile->modes[0].buttons[2].macroActionCount = 2;
    writeFile(out + "/profile_file/default.pro", encodeProfile(*profile));

    std::vector<std::unique_ptr<Profile>> two;
    two.push_back(newProfile(u"One"));
    two.push_back(std::move(profile));
    writeFile(out + "/profile_store/two.data", encodeProfileStore(1, two));

    MacroRecord macro;
    setFieldText(macro.name, u"Seed macro");
    macro.actionCount = 3;
    macro.actions[0] = {0x04, 1, 20};
    macro.actions[1] = {0x04, 2, 2000};
    macro.actions[2] = {0xF1, 1, 10};
    const auto one = encodeMacro(macro);
    writeFile(out + "/macro_file/one.macro", {one.begin(), one.end()});
    std::vector<std::uint8_t> store(one.begin(), one.end());
    store.insert(store.end(), one.begin(), one.end());
    writeFile(out + "/macro_store/two.data", store);
    const std::string settings = R"({"version": 1, "battery": {"notifications": true, "low": 20,
        "critical": 10}, "appearance": "dark"})";
    writeFile(out + "/settings_file/settings.json", {settings.begin(), settings.end()});
    // Nested deeper than any settings file: refused before it is built.
    const std::string deep = "{\"x\": " + std::string(5000, '[') + std::string(5000, ']') + "}";
    writeFile(out + "/settings_file/deep.json", {deep.begin(), deep.end()});
    const std::string entry =
        "[Desktop Entry]\nType=Application\nName=GIMP\nName[de]=GIMP\nIcon=/usr/share/gimp.png\n"
        "NoDisplay=false\n[Desktop Action new]\nName=New\n";
    writeFile(out + "/desktop_entry/gimp.desktop", {entry.begin(), entry.end()});
    return 0;
}
