// tvqctl: the command-line companion of tvq-config.
//
// Every error is one line on standard error naming the file and the fault,
// with exit status 2; nothing is written when a command fails.

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "apply_command.h"
#include "base/data_folder.h"
#include "base/text.h"
#include "failure.h"
#include "json_view.h"
#include "macros/macro_layout.h"
#include "macros/macro_record.h"
#include "page/profile_check.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "profile_switch.h"
#include "profiles/profile_store.h"
#include "protocol/frames.h"

namespace {

using namespace tvq;

std::string commandName;  // of the command running, for its errors

// A failure that ends the command: `subject` is the file (or the command).

// Reads a regular file of at most `maxBytes`; anything else is refused
// before a byte is read.
std::vector<std::uint8_t> readOrFail(FileSystem& fs, const std::string& path,
                                     std::uint64_t maxBytes) {
    if (fs.isDirectory(path)) {
        throw Failure{path, "is a folder, not a file"};
    }
    const std::optional<std::uint64_t> size = fs.regularFileSize(path);
    if (!size && fs.exists(path)) {
        throw Failure{path, "is not a regular file"};
    }
    if (size && *size > maxBytes) {
        throw Failure{path, "is " + std::to_string(*size) +
                                " bytes, more than such a file holds (" + std::to_string(maxBytes) +
                                ")"};
    }
    auto bytes = fs.readFile(path);
    if (!bytes) {
        throw Failure{path, fs.exists(path) ? "cannot be read" : "does not exist"};
    }
    if (bytes->empty()) {
        throw Failure{path, "is empty"};
    }
    return std::move(*bytes);
}

void printJson(const nlohmann::ordered_json& json) {
    std::cout << json.dump(2) << '\n';
}

std::unique_ptr<Profile> readProfile(FileSystem& fs, const std::string& path) {
    std::string error;
    auto profile = parseProfileFile(readOrFail(fs, path, layout::profile::kSize), &error);
    if (!profile) {
        throw Failure{path, error};
    }
    return profile;
}

// Whether `path` names one of the program's own store files (through any
// link or another spelling of the same path): the program alone writes them.
bool isProgramStore(const std::string& path) {
    const std::string folder = dataFolderPath(processEnvironment(), programFolder());
    for (const std::string& store : {profileStorePath(folder), macroStorePath(folder)}) {
        std::error_code e1, e2;
        const auto a = std::filesystem::weakly_canonical(path, e1);
        const auto b = std::filesystem::weakly_canonical(store, e2);
        if (!e1 && !e2 && a == b) {
            return true;
        }
        std::error_code e3;
        if (std::filesystem::equivalent(path, store, e3) && !e3) {
            return true;
        }
    }
    return false;
}

// Whether `bytes` read as one of the program's own files, wherever they
// lie: a profile store, a macro store of more than one macro (one macro is a
// macro file too), or the settings file.
bool readsAsProgramFile(const std::vector<std::uint8_t>& bytes) {
    const std::size_t n = bytes.size();
    if (n > layout::store::kFirstProfile &&
        (n - layout::store::kFirstProfile) % layout::profile::kSize == 0) {
        return true;
    }
    if (n >= 2 * layout::macro::kSize && n % layout::macro::kSize == 0) {
        return true;
    }
    const auto json = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
    return json.is_object() && (json.contains("battery") || json.contains("applications"));
}

int profileNew(FileSystem& fs, std::vector<std::string> args) {
    const auto force = std::find(args.begin(), args.end(), "--force");
    const bool replace = force != args.end();
    if (replace) {
        args.erase(force);
    }
    if (args.size() != 2) {
        throw Failure{"profile new", "takes a NAME and an output file (and --force)"};
    }
    const std::u16string name = utf16FromUtf8(args[0]);
    if (name.size() > layout::profile::kNameMaxChars) {
        throw Failure{args[1], "profile name is longer than " +
                                   std::to_string(layout::profile::kNameMaxChars) +
                                   " characters; nothing written"};
    }
    if (isProgramStore(args[1])) {
        throw Failure{args[1],
                      "is the program's own profile or macro store, which only the "
                      "program writes; nothing written"};
    }
    // Only a regular file or a new name: a device or a pipe is never
    // replaced by a file.
    if (fs.exists(args[1])) {
        if (!fs.regularFileSize(args[1])) {
            throw Failure{args[1], "is not a regular file; nothing written"};
        }
        if (!replace) {
            throw Failure{args[1], "exists; give --force to replace it; nothing written"};
        }
        const auto bytes = fs.readFile(args[1]);
        if (!bytes || readsAsProgramFile(*bytes)) {
            throw Failure{args[1],
                          "holds the program's own data (a store or its settings), which only "
                          "the program writes; nothing written"};
        }
    }
    const auto profile = newProfile(name);
    if (!fs.replaceFile(args[1], encodeProfile(*profile))) {
        throw Failure{args[1], "cannot be written; nothing written"};
    }
    return 0;
}

int profileShow(FileSystem& fs, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        throw Failure{"profile show", "takes one profile file"};
    }
    printJson(profileJson(*readProfile(fs, args[0])));
    return 0;
}

int macroShow(FileSystem& fs, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        throw Failure{"macro show", "takes one macro file"};
    }
    const std::vector<std::uint8_t> bytes = readOrFail(fs, args[0], layout::macro::kSize);
    MacroFileError error;
    const auto record = parseMacroFile(bytes, &error);
    if (!record) {
        throw Failure{args[0], error.message};
    }
    if (*record != decodeMacroRaw(std::span(bytes).first<layout::macro::kSize>())) {
        std::cerr << errorPrefix() << args[0]
                  << ": note: name without terminator or action count outside 0..46; shown "
                     "as the program reads it\n";
    }
    printJson(macroJson(*record));
    return 0;
}

int storeShow(FileSystem& fs, const std::vector<std::string>& args) {
    if (!args.empty()) {
        throw Failure{"store show", "takes no arguments"};
    }
    const std::string folder = dataFolderPath(processEnvironment(), programFolder());
    const std::string proPath = profileStorePath(folder);
    const std::vector<std::uint8_t> proBytes =
        readOrFail(fs, proPath,
                   layout::store::kFirstProfile +
                       ProfileStore::kMaxProfiles * std::uint64_t{layout::profile::kSize});
    const ParsedProfileStore store = parseProfileStore(proBytes);
    if (store.droppedBytes != 0) {
        throw Failure{proPath, "ends inside a profile record (" +
                                   std::to_string(store.droppedBytes) + " bytes left over)"};
    }
    if (store.profiles.empty()) {
        throw Failure{proPath, "holds no profile"};
    }

    const std::string macroPath = macroStorePath(folder);
    std::vector<MacroRecord> macros;
    if (fs.exists(macroPath)) {
        const std::vector<std::uint8_t> macroBytes =
            readOrFail(fs, macroPath, MacroStore::kMaxMacros * layout::macro::kSize);
        std::size_t dropped = 0;
        macros = parseMacroStore(macroBytes, &dropped);
        if (dropped != 0) {
            throw Failure{macroPath, "ends inside a macro record (" + std::to_string(dropped) +
                                         " bytes left over)"};
        }
    }

    nlohmann::ordered_json json;
    json["dataFolder"] = folder;
    json["currentIndex"] = store.currentIndex;
    json["profiles"] = nlohmann::ordered_json::array();
    for (const auto& p : store.profiles) {
        json["profiles"].push_back(utf8FromUtf16(fieldText(p->name)));
    }
    json["macros"] = nlohmann::ordered_json::array();
    for (const MacroRecord& m : macros) {
        json["macros"].push_back(utf8FromUtf16(fieldText(m.name)));
    }
    printJson(json);
    return 0;
}

int frames(FileSystem& fs, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        throw Failure{"frames", "takes one profile file"};
    }
    MacroSlotTable slots{};
    for (const Frame& f : applyFrames(*readProfile(fs, args[0]), slots)) {
        std::string line;
        char byte[4];
        for (std::uint8_t b : f) {
            std::snprintf(byte, sizeof byte, line.empty() ? "%02X" : " %02X", b);
            line += byte;
        }
        std::cout << line << '\n';
    }
    return 0;
}

int apply(FileSystem& fs, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        throw Failure{"apply", "takes one profile file"};
    }
    const std::unique_ptr<Profile> profile = readProfile(fs, args[0]);
    // The checks of the program's import: nothing reaches the mouse that no
    // profile of the program could hold.
    const ProfileRepairs repairs = repairImportedProfile(*profile);
    const int repaired = repairs.sentValuesRepaired();
    if (repaired != 0) {
        std::cerr << errorPrefix() << args[0] << ": " << repaired
                  << " value(s) no profile can have were put back to their defaults"
                  << (repairs.leftClickRestored ? " (no button kept the left click)" : "") << '\n';
    }
    // While the program runs it writes the mouse, so that it always knows
    // what the mouse holds.
    int status = applyThroughProgram(*profile);
    if (status < 0) {
        status = applyToMouse(*profile);
    }
    return status == 0 && repaired != 0 ? 1 : status;
}

struct Command {
    std::string_view name;       // one or two words
    std::string_view arguments;  // as the usage shows them
    std::string_view summary;    // one line
    std::string_view details;    // for `tvqctl help COMMAND`
    std::function<int(FileSystem&, const std::vector<std::string>&)> run;
};

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"profile new", "NAME OUT.pro [--force]", "write a profile file with every default",
         "Writes a profile named NAME with every setting at its default to OUT.pro. An existing\n"
         "file is replaced only with --force, and never one that holds the program's stores or\n"
         "settings.\n",
         profileNew},
        {"profile show", "FILE.pro", "print a profile file as JSON",
         "Prints every setting of a profile file as JSON on standard output.\n", profileShow},
        {"profile list", "", "the profiles, the selected one marked *",
         "Lists the profiles of the data folder (through the running program when it runs).\n",
         profileList},
        {"profile select", "NAME", "select a profile and write it to the mouse",
         "Selects the profile NAME (letter case ignored) and writes it to the mouse, through the\n"
         "running program when it runs.\n",
         profileSelect},
        {"profile next", "", "select the next profile, round the list",
         "Selects the profile after the selected one (the first after the last) and writes it.\n",
         profileNext},
        {"profile previous", "", "select the previous profile, round the list",
         "Selects the profile before the selected one (the last before the first) and writes it.\n",
         profilePrevious},
        {"macro show", "FILE.macro", "print a macro file as JSON",
         "Prints a macro file's name, repeat and actions as JSON on standard output.\n", macroShow},
        {"store show", "", "print the stores of the data folder",
         "Prints the profiles and macros of the data folder as JSON; only reads.\n", storeShow},
        {"frames", "FILE.pro", "print the frames that write the profile, in hex",
         "Prints the frames that write the profile to the mouse, one per line, in hex.\n", frames},
        {"apply", "FILE.pro", "write the profile to the attached mouse",
         "Checks the profile as the program's import does (values no profile can hold go back to\n"
         "their defaults, said on standard error) and writes it to the mouse: through the running\n"
         "program when it runs, else by the cable, the receiver or Bluetooth LE.\n"
         "Exit status 0 when every frame was taken, 1 when some were not or values were put back,\n"
         "2 when no mouse is found or the file is refused.\n",
         apply},
    };
    return all;
}

std::string usage() {
    std::string text = "usage: tvqctl COMMAND [ARGUMENTS]\n";
    for (const Command& c : commands()) {
        std::string line = "  tvqctl " + std::string(c.name);
        if (!c.arguments.empty()) {
            line += " " + std::string(c.arguments);
        }
        constexpr std::size_t kColumn = 40;
        line += line.size() < kColumn ? std::string(kColumn - line.size(), ' ')
                                      : "\n" + std::string(kColumn, ' ');
        text += line + std::string(c.summary) + "\n";
    }
    text +=
        "  tvqctl help [COMMAND]                 this text, or more on one command\n"
        "  tvqctl --version                      the version\n"
        "Exit status: 0 done, 1 done in part (apply), 2 refused or failed.\n";
    return text;
}

// The command `words` begin with, and how many words its name takes.
std::pair<const Command*, int> findCommand(const std::vector<std::string_view>& words) {
    for (const Command& c : commands()) {
        const bool two = c.name.find(' ') != std::string_view::npos;
        const std::string joined = words.empty() ? std::string()
                                   : two && words.size() >= 2
                                       ? std::string(words[0]) + " " + std::string(words[1])
                                       : std::string(words[0]);
        if (joined == c.name) {
            return {&c, two ? 2 : 1};
        }
    }
    return {nullptr, 0};
}

int run(int argc, char** argv) {
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::cerr << "tvqctl: no command given\n" << usage();
        return kExitError;
    }
    if (words[0] == "--version") {
        std::cout << "tvqctl " << TVQ_VERSION << "\n";
        return 0;
    }
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        if (words.size() == 1) {
            std::cout << usage();
            return 0;
        }
        const auto [command, taken] =
            findCommand(std::vector<std::string_view>(words.begin() + 1, words.end()));
        if (command == nullptr || words.size() != static_cast<std::size_t>(taken) + 1) {
            std::cerr << "tvqctl help: no command '" << words[1]
                      << (words.size() > 2 ? " " + std::string(words[2]) : "")
                      << "' (see tvqctl --help)\n";
            return kExitError;
        }
        std::cout << "usage: tvqctl " << command->name << (command->arguments.empty() ? "" : " ")
                  << command->arguments << "\n"
                  << command->details;
        return 0;
    }
    const auto [command, taken] = findCommand(words);
    if (command == nullptr) {
        std::cerr << "tvqctl: unknown command '" << words[0]
                  << (words.size() > 1 ? " " + std::string(words[1]) : "")
                  << "' (see tvqctl --help)\n";
        return kExitError;
    }
    setCommandName(std::string(command->name));
    PosixFileSystem fs;
    return command->run(fs, std::vector<std::string>(argv + 1 + taken, argv + argc));
}

}  // namespace

namespace tvq {

std::string errorPrefix() {
    return commandName.empty() ? "tvqctl: " : "tvqctl " + commandName + ": ";
}

void setCommandName(std::string name) {
    commandName = std::move(name);
}

}  // namespace tvq

int main(int argc, char** argv) {
    // A file-size limit makes a write fail, which is reported, instead of
    // ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        return run(argc, argv);
    } catch (const Failure& f) {
        std::cerr << errorPrefix() << f.subject << ": " << f.message << '\n';
        return kExitError;
    } catch (const std::exception& e) {
        std::cerr << errorPrefix() << e.what() << '\n';
        return kExitError;
    }
}
