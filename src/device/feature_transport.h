// One device-access library (cable or receiver), loaded at run time and
// bound by name. A library that cannot be loaded, or lacks an entry point,
// leaves its link unavailable: nothing is ever called on it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "device/frame_writer.h"
#include "tvq/hiddriver.h"

namespace tvq {

// A loaded shared library.
class LoadedLibrary {
  public:
    virtual ~LoadedLibrary() = default;
    // The address of an exported symbol, or null.
    virtual void* symbol(const char* name) const = 0;
    // `out` pointed at the exported function `name`; false (and null) when
    // the library lacks it.
    template <class Fn>
    bool bind(const char* name, Fn*& out) const {
        out = reinterpret_cast<Fn*>(symbol(name));
        return out != nullptr;
    }
};

class LibraryLoader {
  public:
    virtual ~LibraryLoader() = default;
    // Null when the file cannot be loaded.
    virtual std::unique_ptr<LoadedLibrary> load(const std::string& path) = 0;
};

class FeatureTransport final : public FrameWriter {
  public:
    FeatureTransport() = default;
    FeatureTransport(const FeatureTransport&) = delete;
    FeatureTransport& operator=(const FeatureTransport&) = delete;

    // Loads the library and binds its seven entry points. False leaves the
    // link unavailable.
    bool load(LibraryLoader& loader, const std::string& path);
    bool available() const { return library_ != nullptr; }
    // Unloads the library. Call only after the worker has ended.
    void unload();

    void setVidPid(std::int32_t vendor, std::int32_t product);
    void openMonitor(MessageWindow* window, std::uint32_t dataMessage, std::uint32_t attachMessage);
    void closeMonitor();
    std::int32_t openFeature();  // 0 when unavailable
    void closeFeature();
    std::int32_t write(std::span<const std::uint8_t> frame) override;  // SetFeature

  private:
    struct Entries {
        TvqSetVidPid* setVidPid = nullptr;
        TvqOpenDevMonitor* openDevMonitor = nullptr;
        TvqCloseDevMonitor* closeDevMonitor = nullptr;
        TvqOpenFeatureDevice* openFeatureDevice = nullptr;
        TvqCloseFeatureDevice* closeFeatureDevice = nullptr;
        TvqSetFeature* setFeature = nullptr;
        TvqGetFeature* getFeature = nullptr;
    };
    std::unique_ptr<LoadedLibrary> library_;
    Entries entries_;
};

}  // namespace tvq
