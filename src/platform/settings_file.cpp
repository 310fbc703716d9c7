#include "platform/settings_file.h"

#include <nlohmann/json.hpp>

#include "base/data_folder.h"
#include "base/debug.h"

namespace tvq {
namespace {

using Json = nlohmann::json;

constexpr int kFormatVersion = 1;
// Keys of the file.
constexpr const char* kVersionKey = "version";
constexpr const char* kBatteryKey = "battery";
constexpr const char* kNotificationsKey = "notifications";
constexpr const char* kLowKey = "low";
constexpr const char* kCriticalKey = "critical";

BatteryAlertSettings readBattery(const Json& doc) {
    BatteryAlertSettings battery;
    const auto it = doc.find(kBatteryKey);
    if (it == doc.end() || !it->is_object()) {
        return battery;
    }
    BatteryAlertSettings read = battery;
    if (const auto on = it->find(kNotificationsKey); on != it->end() && on->is_boolean()) {
        read.enabled = on->get<bool>();
    }
    for (auto [key, field] : {std::pair{kLowKey, &read.low}, {kCriticalKey, &read.critical}}) {
        if (const auto v = it->find(key); v != it->end() && v->is_number_integer()) {
            const auto n = v->get<std::int64_t>();
            *field = n >= 0 && n <= 100 ? static_cast<int>(n) : -1;
        }
    }
    if (!read.valid()) {
        debug::write("settings: battery thresholds out of range, the defaults are used\n");
        read.low = battery.low;
        read.critical = battery.critical;
    }
    return read;
}

}  // namespace

SettingsFile::Loaded SettingsFile::load() {
    settings_ = {};
    document_.clear();
    keptAs_.clear();
    if (path_.empty() || !fs_.exists(path_)) {
        return Loaded::kNoFile;
    }
    const std::optional<std::uint64_t> size = fs_.regularFileSize(path_);
    if (!size) {
        return Loaded::kUnreadable;
    }
    std::optional<std::vector<std::uint8_t>> bytes;
    if (*size <= kMaxBytes) {
        bytes = fs_.readFile(path_);
        if (!bytes) {
            return Loaded::kUnreadable;
        }
    }
    Json doc = bytes ? Json::parse(bytes->begin(), bytes->end(), nullptr, false) : Json();
    if (!bytes || doc.is_discarded() || !doc.is_object()) {
        keptAs_ = keepDamagedStore(fs_, path_);
        debug::write("settings: " + path_ + " is not a settings file; kept as " + keptAs_ + "\n");
        return keptAs_.empty() ? Loaded::kUnreadable : Loaded::kKeptAside;
    }
    settings_.battery = readBattery(doc);
    document_ = doc.dump();
    return Loaded::kRead;
}

bool SettingsFile::save(const ProgramSettings& settings) {
    if (path_.empty()) {
        return false;
    }
    Json doc = document_.empty() ? Json::object() : Json::parse(document_, nullptr, false);
    if (!doc.is_object()) {
        doc = Json::object();
    }
    doc[kVersionKey] = kFormatVersion;
    doc[kBatteryKey] = {{kNotificationsKey, settings.battery.enabled},
                        {kLowKey, settings.battery.low},
                        {kCriticalKey, settings.battery.critical}};
    const std::string text = doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
    const std::size_t slash = path_.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        fs_.createDirectories(path_.substr(0, slash));
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!fs_.replaceFile(path_, {data, text.size()})) {
        debug::write("settings: cannot write " + path_ + "\n");
        return false;
    }
    settings_ = settings;
    document_ = doc.dump();
    return true;
}

}  // namespace tvq
