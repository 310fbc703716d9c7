#include "device/feature_transport.h"

#include <climits>

namespace tvq {

bool FeatureTransport::load(LibraryLoader& loader, const std::string& path) {
    unload();
    std::unique_ptr<LoadedLibrary> library = loader.load(path);
    if (!library) {
        return false;
    }
    Entries e;
    const bool complete = library->bind("Set_VIDPID", e.setVidPid) &&
                          library->bind("Open_DevMonitor", e.openDevMonitor) &&
                          library->bind("Close_DevMonitor", e.closeDevMonitor) &&
                          library->bind("Open_FeatureDevice", e.openFeatureDevice) &&
                          library->bind("Close_FeatureDevice", e.closeFeatureDevice) &&
                          library->bind("SetFeature", e.setFeature) &&
                          library->bind("GetFeature", e.getFeature);
    if (!complete) {
        return false;  // the library is unloaded again as it goes out of scope
    }
    library_ = std::move(library);
    entries_ = e;
    return true;
}

void FeatureTransport::unload() {
    entries_ = {};
    library_.reset();
}

void FeatureTransport::setVidPid(std::int32_t vendor, std::int32_t product) {
    if (available()) {
        entries_.setVidPid(vendor, product);
    }
}

void FeatureTransport::openMonitor(MessageWindow* window, std::uint32_t dataMessage,
                                   std::uint32_t attachMessage) {
    if (available()) {
        entries_.openDevMonitor(window, dataMessage, attachMessage);
    }
}

void FeatureTransport::closeMonitor() {
    if (available()) {
        entries_.closeDevMonitor();
    }
}

std::int32_t FeatureTransport::openFeature() {
    return available() ? entries_.openFeatureDevice() : 0;
}

void FeatureTransport::closeFeature() {
    if (available()) {
        entries_.closeFeatureDevice();
    }
}

std::int32_t FeatureTransport::write(std::span<const std::uint8_t> frame) {
    if (!available() || frame.empty() || frame.size() > INT32_MAX) {
        return 0;
    }
    return entries_.setFeature(frame.data(), static_cast<std::int32_t>(frame.size()));
}

}  // namespace tvq
