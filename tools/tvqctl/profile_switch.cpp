#include "profile_switch.h"

#include <systemd/sd-bus.h>

#include <iostream>
#include <memory>
#include <optional>

#include "apply_command.h"
#include "base/data_folder.h"
#include "base/text.h"
#include "failure.h"
#include "platform/data_folder_lock.h"
#include "platform/program_folder.h"
#include "profiles/profile_store.h"

namespace tvq {
namespace {

constexpr const char* kService = "io.github.tvq_config.TvqConfig";
constexpr const char* kPath = "/io/github/tvq_config/TvqConfig";
constexpr const char* kInterface = "io.github.tvq_config.Profiles1";
constexpr const char* kNoSuchProfile = "io.github.tvq_config.Error.NoSuchProfile";
// An apply through the receiver that the mouse never answers can take
// minutes; the program answers when it has ended.
constexpr std::uint64_t kApplyTimeoutUs = 10ull * 60 * 1000 * 1000;

// The profiles and the selected one, wherever they come from.
struct Profiles {
    std::vector<std::string> names;
    int current = 0;
};

// The running program on the session bus; empty when it does not run there.
class Program {
  public:
    Program() {
        if (sd_bus_open_user(&bus_) < 0) {
            bus_ = nullptr;
        }
    }
    ~Program() { sd_bus_flush_close_unref(bus_); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The profiles, or nothing when the program does not answer.
    std::optional<Profiles> profiles() {
        if (bus_ == nullptr) {
            return std::nullopt;
        }
        sd_bus_error error = SD_BUS_ERROR_NULL;
        sd_bus_message* reply = nullptr;
        if (sd_bus_call_method(bus_, kService, kPath, kInterface, "ListProfiles", &error, &reply,
                               "") < 0) {
            sd_bus_error_free(&error);
            return std::nullopt;
        }
        Profiles p;
        char** names = nullptr;
        if (sd_bus_message_read_strv(reply, &names) >= 0 && names != nullptr) {
            for (char** n = names; *n != nullptr; ++n) {
                p.names.emplace_back(*n);
                std::free(*n);
            }
            std::free(names);
        }
        sd_bus_message_unref(reply);
        char* current = nullptr;
        if (sd_bus_get_property_string(bus_, kService, kPath, kInterface, "CurrentProfile", &error,
                                       &current) >= 0) {
            for (std::size_t i = 0; i < p.names.size(); ++i) {
                if (p.names[i] == current) {
                    p.current = static_cast<int>(i);
                }
            }
            std::free(current);
        }
        sd_bus_error_free(&error);
        return p;
    }

    void select(const std::string& name) {
        sd_bus_error error = SD_BUS_ERROR_NULL;
        const int rc = sd_bus_call_method(bus_, kService, kPath, kInterface, "SelectProfile",
                                          &error, nullptr, "s", name.c_str());
        const bool noSuch = sd_bus_error_has_name(&error, kNoSuchProfile);
        const std::string why = error.message != nullptr ? error.message : "no answer";
        sd_bus_error_free(&error);
        if (noSuch) {
            throw Failure{name, "no profile has this name"};
        }
        if (rc < 0) {
            throw Failure{"tvq-config", why};
        }
    }

    // The program's ApplyProfile; -1 when the program is not on the bus.
    int apply(const Profile& profile) {
        if (bus_ == nullptr) {
            return -1;
        }
        const std::vector<std::uint8_t> bytes = encodeProfile(profile);
        sd_bus_message* call = nullptr;
        sd_bus_message* reply = nullptr;
        sd_bus_error error = SD_BUS_ERROR_NULL;
        int rc = sd_bus_message_new_method_call(bus_, &call, kService, kPath, kInterface,
                                                "ApplyProfile");
        if (rc >= 0) {
            rc = sd_bus_message_append_array(call, 'y', bytes.data(), bytes.size());
        }
        if (rc >= 0) {
            rc = sd_bus_call(bus_, call, kApplyTimeoutUs, &error, &reply);
        }
        sd_bus_message_unref(call);
        const bool absent = sd_bus_error_has_name(&error, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
                            sd_bus_error_has_name(&error, SD_BUS_ERROR_NAME_HAS_NO_OWNER);
        const std::string why = error.message != nullptr ? error.message : "no answer";
        sd_bus_error_free(&error);
        if (absent) {
            return -1;
        }
        if (rc < 0) {
            throw Failure{"tvq-config", why};
        }
        int reached = 0;
        std::uint32_t frames = 0, taken = 0, repaired = 0;
        rc = sd_bus_message_read(reply, "buuu", &reached, &frames, &taken, &repaired);
        sd_bus_message_unref(reply);
        if (rc < 0) {
            throw Failure{"tvq-config", "answered in a form this tvqctl does not know"};
        }
        if (reached == 0) {
            std::cerr << errorPrefix()
                      << "the running program could not reach the mouse (none connected, "
                         "or it sleeps); it was not written\n";
            return 2;
        }
        if (taken != frames) {
            std::cout << frames - taken << " frame(s) not taken by the mouse" << std::endl;
            return 1;
        }
        std::cout << "profile written through the running program (" << frames << " frame(s))"
                  << std::endl;
        return 0;
    }

  private:
    sd_bus* bus_ = nullptr;
};

// The profile store of the data folder, when the program does not run.
class Store {
  public:
    explicit Store(FileSystem& fs)
        : fs_(fs), folder_(dataFolderPath(processEnvironment(), programFolder())) {}

    // Fails while the program holds the data folder: it would write its own
    // store over ours, and it could not be reached on the bus.
    Profiles read() {
        lock_ = std::make_unique<DataFolderLock>(folder_);
        if (lock_->state() == DataFolderLock::State::kInUse) {
            throw Failure{"tvq-config", "runs but cannot be reached on the session bus"};
        }
        const std::string path = profileStorePath(folder_);
        const auto bytes = fs_.readFileStart(
            path, layout::store::kFirstProfile +
                      ProfileStore::kMaxProfiles * std::uint64_t{layout::profile::kSize});
        if (!bytes) {
            throw Failure{path, "cannot be read (has the program been started once?)"};
        }
        store_ = parseProfileStore(*bytes);
        if (store_.droppedBytes != 0 || store_.profiles.empty()) {
            throw Failure{path, "is damaged; start the program to repair it"};
        }
        Profiles p;
        for (const auto& profile : store_.profiles) {
            p.names.push_back(utf8FromUtf16(fieldText(profile->name)));
        }
        p.current = std::clamp(store_.currentIndex, 0, static_cast<int>(p.names.size()) - 1);
        return p;
    }

    // Stores `row` as the selected profile and writes it to the mouse.
    int select(int row) {
        const std::string path = profileStorePath(folder_);
        if (!fs_.replaceFile(path, encodeProfileStore(row, store_.profiles))) {
            throw Failure{path, "cannot be written"};
        }
        return applyToMouse(*store_.profiles[static_cast<std::size_t>(row)]);
    }

  private:
    FileSystem& fs_;
    std::string folder_;
    std::unique_ptr<DataFolderLock> lock_;
    ParsedProfileStore store_;
};

int rowNamed(const Profiles& p, const std::string& name) {
    for (std::size_t i = 0; i < p.names.size(); ++i) {
        if (equalIgnoringCase(utf16FromUtf8(p.names[i]), utf16FromUtf8(name))) {
            return static_cast<int>(i);
        }
    }
    throw Failure{name, "no profile has this name"};
}

// Selects the row `choose` picks, through the program or on the store.
int selectRow(FileSystem& fs, const std::function<int(const Profiles&)>& choose) {
    Program program;
    if (const auto p = program.profiles()) {
        const int row = choose(*p);
        program.select(p->names[static_cast<std::size_t>(row)]);
        std::cout << p->names[static_cast<std::size_t>(row)] << '\n';
        return 0;
    }
    Store store(fs);
    const Profiles p = store.read();
    const int row = choose(p);
    std::cout << p.names[static_cast<std::size_t>(row)] << '\n';
    return store.select(row);
}

void noArguments(const std::vector<std::string>& args, const char* command) {
    if (!args.empty()) {
        throw Failure{command, "takes no arguments"};
    }
}

}  // namespace

int applyThroughProgram(const Profile& profile) {
    Program program;
    return program.apply(profile);
}

int profileList(FileSystem& fs, const std::vector<std::string>& args) {
    noArguments(args, "profile list");
    Program program;
    std::optional<Profiles> p = program.profiles();
    if (!p) {
        p = Store(fs).read();
    }
    for (std::size_t i = 0; i < p->names.size(); ++i) {
        std::cout << (static_cast<int>(i) == p->current ? "* " : "  ") << p->names[i] << '\n';
    }
    return 0;
}

int profileSelect(FileSystem& fs, const std::vector<std::string>& args) {
    if (args.size() != 1) {
        throw Failure{"profile select", "takes one profile name"};
    }
    return selectRow(fs, [&](const Profiles& p) { return rowNamed(p, args[0]); });
}

int profileNext(FileSystem& fs, const std::vector<std::string>& args) {
    noArguments(args, "profile next");
    return selectRow(
        fs, [](const Profiles& p) { return (p.current + 1) % static_cast<int>(p.names.size()); });
}

int profilePrevious(FileSystem& fs, const std::vector<std::string>& args) {
    noArguments(args, "profile previous");
    return selectRow(fs, [](const Profiles& p) {
        const int n = static_cast<int>(p.names.size());
        return (p.current + n - 1) % n;
    });
}

}  // namespace tvq
