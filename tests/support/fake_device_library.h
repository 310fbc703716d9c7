// A device-access library in memory: a loader hands out its seven entry
// points, which record the calls and answer from the test's settings. Each
// numbered copy has its own state, as the two real library files do.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "device/feature_transport.h"

namespace tvq::testing {

struct FakeDeviceState {
    std::vector<std::string> calls;
    std::int32_t vendor = 0, product = 0;
    MessageWindow* window = nullptr;
    std::uint32_t dataMessage = 0, attachMessage = 0;
    std::int32_t present = 0;  // what Open_FeatureDevice answers
    std::int32_t accept = 1;   // what SetFeature answers
    std::vector<std::vector<std::uint8_t>> frames;
    std::set<std::string> missingSymbols;
    // When set, answers SetFeature instead of `accept`.
    std::function<std::int32_t(std::span<const std::uint8_t>)> onFrame;
};

template <int N>
struct FakeDeviceLibrary {
    static FakeDeviceState& state() {
        static FakeDeviceState s;
        return s;
    }
    static void setVidPid(std::int32_t v, std::int32_t p) {
        state().calls.push_back("Set_VIDPID");
        state().vendor = v;
        state().product = p;
    }
    static void openMonitor(MessageWindow* w, std::uint32_t d, std::uint32_t a) {
        state().calls.push_back("Open_DevMonitor");
        state().window = w;
        state().dataMessage = d;
        state().attachMessage = a;
    }
    static void closeMonitor() { state().calls.push_back("Close_DevMonitor"); }
    static std::int32_t openFeature() {
        state().calls.push_back("Open_FeatureDevice");
        return state().present;
    }
    static void closeFeature() { state().calls.push_back("Close_FeatureDevice"); }
    static std::int32_t setFeature(const std::uint8_t* f, std::int32_t length) {
        state().frames.emplace_back(f, f + length);
        if (state().onFrame) {
            return state().onFrame({f, static_cast<std::size_t>(length)});
        }
        return state().accept;
    }
    static std::int32_t getFeature(std::uint8_t*, std::int32_t) { return 0; }

    static void* symbol(const char* name) {
        if (state().missingSymbols.contains(name)) {
            return nullptr;
        }
        const std::map<std::string, void*> table = {
            {"Set_VIDPID", reinterpret_cast<void*>(&setVidPid)},
            {"Open_DevMonitor", reinterpret_cast<void*>(&openMonitor)},
            {"Close_DevMonitor", reinterpret_cast<void*>(&closeMonitor)},
            {"Open_FeatureDevice", reinterpret_cast<void*>(&openFeature)},
            {"Close_FeatureDevice", reinterpret_cast<void*>(&closeFeature)},
            {"SetFeature", reinterpret_cast<void*>(&setFeature)},
            {"GetFeature", reinterpret_cast<void*>(&getFeature)},
        };
        const auto it = table.find(name);
        return it != table.end() ? it->second : nullptr;
    }
};

using FakeReceiverLibrary = FakeDeviceLibrary<1>;
using FakeCableLibrary = FakeDeviceLibrary<2>;

// Loads "hiddriver_1.so" and "hiddriver_2.so" as the two fakes; a file named
// in `missingFiles` cannot be loaded. Records the order of loads and unloads.
class FakeLibraryLoader final : public LibraryLoader {
  public:
    std::set<std::string> missingFiles;
    std::vector<std::string> log;

    std::unique_ptr<LoadedLibrary> load(const std::string& path) override {
        const std::string file = path.substr(path.find_last_of('/') + 1);
        if (missingFiles.contains(file)) {
            return nullptr;
        }
        log.push_back("load " + file);
        return std::make_unique<Library>(file, log);
    }

    static void reset() {
        FakeReceiverLibrary::state() = {};
        FakeCableLibrary::state() = {};
    }

  private:
    class Library final : public LoadedLibrary {
      public:
        Library(std::string file, std::vector<std::string>& log)
            : file_(std::move(file)), log_(log) {}
        ~Library() override { log_.push_back("unload " + file_); }
        void* symbol(const char* name) const override {
            return file_ == "hiddriver_1.so" ? FakeReceiverLibrary::symbol(name)
                                             : FakeCableLibrary::symbol(name);
        }

      private:
        std::string file_;
        std::vector<std::string>& log_;
    };
};

}  // namespace tvq::testing
