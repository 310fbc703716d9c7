#include "platform/settings_file.h"

#include <algorithm>
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
constexpr const char* kApplicationsKey = "applications";
constexpr const char* kClosedToTrayKey = "closedToTrayTold";
constexpr const char* kAutomaticKey = "automatic";
constexpr const char* kRulesKey = "rules";
constexpr const char* kAppKey = "app";
constexpr const char* kProfileKey = "profile";
constexpr const char* kAppearanceKey = "appearance";
constexpr const char* kChoiceKey = "choice";
constexpr const char* kDesktopDarkKey = "desktopDark";
constexpr const char* kClosedSectionsKey = "closedSections";
constexpr const char* kLanguageKey = "language";
constexpr std::size_t kMaxProfileNameBytes = 4 * 49;  // 49 UTF-16 units at most
// Section names and language codes are short words.
constexpr std::size_t kMaxWordBytes = 64;

constexpr std::pair<AppearanceChoice, const char*> kChoiceNames[] = {
    {AppearanceChoice::kSystem, "system"},
    {AppearanceChoice::kLight, "light"},
    {AppearanceChoice::kDark, "dark"},
};

bool isWord(const Json& v) {
    if (!v.is_string()) {
        return false;
    }
    const auto& s = v.get_ref<const std::string&>();
    return !s.empty() && s.size() <= kMaxWordBytes && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-';
    });
}

AppearanceSettings readAppearance(const Json& doc) {
    AppearanceSettings read;
    const auto it = doc.find(kAppearanceKey);
    if (it == doc.end() || !it->is_object()) {
        return read;
    }
    if (const auto choice = it->find(kChoiceKey); choice != it->end() && choice->is_string()) {
        for (const auto& [value, name] : kChoiceNames) {
            if (*choice == name) {
                read.choice = value;
            }
        }
    }
    if (const auto dark = it->find(kDesktopDarkKey); dark != it->end() && dark->is_boolean()) {
        read.desktopDark = dark->get<bool>();
    }
    return read;
}

std::vector<std::string> readClosedSections(const Json& doc) {
    std::vector<std::string> read;
    const auto it = doc.find(kClosedSectionsKey);
    if (it == doc.end() || !it->is_array()) {
        return read;
    }
    for (const Json& name : *it) {
        if (isWord(name) && std::find(read.begin(), read.end(), name) == read.end()) {
            read.push_back(name.get<std::string>());
        }
    }
    return read;
}

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

// A rule whose id or profile is not text, or is empty or overlong, is
// left out; the rest are read.
ApplicationRules readApplications(const Json& doc) {
    ApplicationRules read;
    const auto it = doc.find(kApplicationsKey);
    if (it == doc.end() || !it->is_object()) {
        return read;
    }
    if (const auto on = it->find(kAutomaticKey); on != it->end() && on->is_boolean()) {
        read.automatic = on->get<bool>();
    }
    const auto rules = it->find(kRulesKey);
    if (rules == it->end() || !rules->is_array()) {
        return read;
    }
    for (const Json& rule : *rules) {
        if (!rule.is_object()) {
            continue;
        }
        const auto app = rule.find(kAppKey);
        const auto profile = rule.find(kProfileKey);
        if (app == rule.end() || profile == rule.end() || !app->is_string() ||
            !profile->is_string()) {
            continue;
        }
        const auto& name = profile->get_ref<const std::string&>();
        if (name.size() <= kMaxProfileNameBytes) {
            read.set(app->get_ref<const std::string&>(), name);
        }
    }
    return read;
}

Json applicationsJson(const ApplicationRules& applications) {
    Json rules = Json::array();
    for (const AppRule& r : applications.rules) {
        rules.push_back({{kAppKey, r.app}, {kProfileKey, r.profile}});
    }
    return {{kAutomaticKey, applications.automatic}, {kRulesKey, std::move(rules)}};
}

// Whether the document's arrays and objects nest at most `maxDepth` deep;
// looked at before the document is built, whose printing recurses.
class DepthCheck final : public nlohmann::json_sax<Json> {
  public:
    explicit DepthCheck(std::size_t maxDepth) : max_(maxDepth) {}
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return ++depth_ <= max_; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return --depth_, true; }
    bool start_array(std::size_t) override { return ++depth_ <= max_; }
    bool end_array() override { return --depth_, true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

  private:
    std::size_t max_;
    std::size_t depth_ = 0;
};

bool shallowEnough(const std::vector<std::uint8_t>& bytes) {
    DepthCheck check(SettingsFile::kMaxDepth);
    return Json::sax_parse(bytes.begin(), bytes.end(), &check);
}

}  // namespace

SettingsFile::Loaded SettingsFile::load() {
    settings_ = {};
    document_.clear();
    keptAs_.clear();
    unreadable_ = false;
    if (path_.empty() || !fs_.exists(path_)) {
        return Loaded::kNoFile;
    }
    const std::optional<std::uint64_t> size = fs_.regularFileSize(path_);
    if (!size) {
        unreadable_ = true;
        return Loaded::kUnreadable;
    }
    std::optional<std::vector<std::uint8_t>> bytes;
    if (*size <= kMaxBytes) {
        bytes = fs_.readFile(path_);
        if (!bytes) {
            unreadable_ = true;
            return Loaded::kUnreadable;
        }
    }
    Json doc = bytes && shallowEnough(*bytes)
                   ? Json::parse(bytes->begin(), bytes->end(), nullptr, false)
                   : Json();
    if (!bytes || doc.is_discarded() || !doc.is_object()) {
        keptAs_ = keepDamagedStore(fs_, path_);
        debug::write("settings: " + path_ + " is not a settings file; kept as " + keptAs_ + "\n");
        unreadable_ = keptAs_.empty();
        return keptAs_.empty() ? Loaded::kUnreadable : Loaded::kKeptAside;
    }
    settings_.battery = readBattery(doc);
    settings_.applications = readApplications(doc);
    if (const auto told = doc.find(kClosedToTrayKey); told != doc.end() && told->is_boolean()) {
        settings_.closedToTrayTold = told->get<bool>();
    }
    settings_.appearance = readAppearance(doc);
    settings_.closedSections = readClosedSections(doc);
    if (const auto language = doc.find(kLanguageKey); language != doc.end() && isWord(*language)) {
        settings_.language = language->get<std::string>();
    }
    document_ = doc.dump();
    return Loaded::kRead;
}

bool SettingsFile::save(const ProgramSettings& settings) {
    if (path_.empty()) {
        return false;
    }
    if (unreadable_) {
        // What is there may be the user's settings, unreadable for now (its
        // permissions, say): it is not replaced by ours.
        if (load() == Loaded::kUnreadable) {
            debug::write("settings: " + path_ + " cannot be read; not written over\n");
            return false;
        }
    }
    Json doc = document_.empty() ? Json::object() : Json::parse(document_, nullptr, false);
    if (!doc.is_object()) {
        doc = Json::object();
    }
    doc[kVersionKey] = kFormatVersion;
    doc[kBatteryKey] = {{kNotificationsKey, settings.battery.enabled},
                        {kLowKey, settings.battery.low},
                        {kCriticalKey, settings.battery.critical}};
    doc[kApplicationsKey] = applicationsJson(settings.applications);
    doc[kClosedToTrayKey] = settings.closedToTrayTold;
    for (const auto& [value, name] : kChoiceNames) {
        if (value == settings.appearance.choice) {
            doc[kAppearanceKey] = {{kChoiceKey, name},
                                   {kDesktopDarkKey, settings.appearance.desktopDark}};
        }
    }
    doc[kClosedSectionsKey] = settings.closedSections;
    doc[kLanguageKey] = settings.language;
    std::string text = doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
    if (text.size() > kMaxBytes) {
        text = doc.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
    }
    if (text.size() > kMaxBytes) {
        debug::write("settings: too large to be read again; not written\n");
        return false;
    }
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
