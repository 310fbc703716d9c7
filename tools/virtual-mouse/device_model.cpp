#include "device_model.h"

#include <cstdio>

#include "protocol/frames.h"

namespace tvq::virtualmouse {
namespace {

namespace r = report;
using Json = nlohmann::ordered_json;

std::optional<std::size_t> expectedLength(std::uint8_t id) {
    switch (id) {
        case r::kDpi:
            return r::kDpiLength;
        case r::kLighting:
            return r::kLightingLength;
        case r::kPolling:
            return r::kPollingLength;
        case r::kButtons:
            return r::kButtonsLength;
        case r::kMacro:
            return r::kMacroLength;
        case r::kProfileSelect:
            return r::kProfileSelectLength;
        default:
            return std::nullopt;
    }
}

std::uint32_t rgb(std::span<const std::uint8_t> f, std::size_t at) {
    return (std::uint32_t{f[at]} << 16) | (std::uint32_t{f[at + 1]} << 8) | f[at + 2];
}

std::string colorText(std::uint32_t rgbValue) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", rgbValue);
    return text;
}

bool sumHolds(std::span<const std::uint8_t> f, std::size_t at) {
    return frameSum(f, r::kBody, at) == ((f[at] << 8) | f[at + 1]);
}

Verdict refuse(std::string reason) {
    return {false, std::move(reason), false};
}

}  // namespace

Verdict DeviceModel::receive(std::span<const std::uint8_t> bytes, bool fromCable) {
    Verdict v;
    if (fromCable && bytes.size() >= r::kChunkLength && bytes[r::kId] == r::kMacro &&
        bytes[r::kLength] == r::kChunkLength) {
        const std::uint8_t index = bytes[r::kChunkIndex];
        if (index > 2 ||
            (index > 0 && (chunksSeen_ != index || chunkSlot_ != bytes[r::kSelector]))) {
            chunksSeen_ = 0;
            v = refuse("macro chunk out of order");
        } else {
            chunkSlot_ = bytes[r::kSelector];
            std::copy_n(bytes.begin() + r::kChunkData, r::kChunkDataSize,
                        chunkData_.begin() + index * r::kChunkDataSize);
            chunksSeen_ = index + 1;
            if (index < 2) {
                return {true, "", true};
            }
            chunksSeen_ = 0;
            std::vector<std::uint8_t> frame = {
                r::kMacro, static_cast<std::uint8_t>(r::kMacroLength), chunkSlot_};
            frame.insert(frame.end(), chunkData_.begin(),
                         chunkData_.begin() + (r::kMacroLength - r::kBody));
            v = decode(frame);
        }
    } else {
        v = decode(bytes);
    }
    ++(v.accepted ? accepted_ : refused_);
    return v;
}

Verdict DeviceModel::decode(std::span<const std::uint8_t> f) {
    if (f.size() < 3) {
        return refuse("shorter than a header");
    }
    const auto length = expectedLength(f[r::kId]);
    if (!length) {
        return refuse("unknown report id");
    }
    if (f[r::kLength] != *length || f.size() < *length) {
        return refuse("wrong length");
    }
    f = f.first(*length);
    const std::uint8_t selector = f[r::kSelector];
    switch (f[r::kId]) {
        case r::kProfileSelect:
            if (f[3] != static_cast<std::uint8_t>(~selector) || f[4] != 0x02 || f[5] != 0xFD) {
                return refuse("complement does not match");
            }
            if (selector < 1 || selector > 5) {
                return refuse("no such button mode");
            }
            profileMode_ = selector;
            return {true, "", false};
        case r::kPolling:
            if (f[4] != static_cast<std::uint8_t>(~f[3])) {
                return refuse("complement does not match");
            }
            if (selector < 1 || selector > 2) {
                return refuse("no such copy");
            }
            polling_[selector] = {f[3], f[4]};
            return {true, "", false};
        default:
            break;
    }
    const std::size_t sumAt = f[r::kId] == r::kDpi        ? r::kDpiSum
                              : f[r::kId] == r::kLighting ? r::kLightSum
                              : f[r::kId] == r::kButtons  ? r::kButtonsSum
                                                          : r::kMacroSum;
    if (!sumHolds(f, sumAt)) {
        return refuse("sum does not match");
    }
    if (f[r::kId] == r::kMacro) {
        if (selector < 1 || selector > 18) {
            return refuse("no such macro slot");
        }
        MacroConfig m;
        m.repeat = f[r::kMacroRepeat];
        m.option = f[r::kMacroOption];
        m.loops = f[r::kMacroLoops];
        const std::size_t count = f[r::kMacroEntryCount];
        if (r::kMacroEntries + 2 * count > r::kMacroSum) {
            return refuse("too many macro entries");
        }
        for (std::size_t i = 0; i < count; ++i) {
            m.entries.push_back({f[r::kMacroEntries + 2 * i], f[r::kMacroEntries + 2 * i + 1]});
        }
        macros_[selector] = m;
        return {true, "", false};
    }
    if (selector < 1 || selector > 2) {
        return refuse("no such mode slot");
    }
    SlotConfig& s = slots_[selector];
    if (f[r::kId] == r::kDpi) {
        if (f[r::kDpiHighMask] != f[r::kDpiHighMaskCopy] ||
            f[r::kDpiTrailer] != r::kDpiTrailerValue) {
            return refuse("malformed DPI report");
        }
        s.hasDpi = true;
        s.reportA = f[r::kDpiReportA];
        s.reportB = f[r::kDpiReportB];
        s.enabledMask = f[r::kDpiEnableMask];
        s.highMask = f[r::kDpiHighMask];
        s.stage = f[r::kDpiStage];
        for (std::size_t i = 0; i < 8; ++i) {
            s.countsA[i] = f[r::kDpiCountA + i];
            s.countsB[i] = f[r::kDpiCountB + i];
            s.colors[i] = rgb(f, r::kDpiColors + 3 * i);
        }
    } else if (f[r::kId] == r::kLighting) {
        if (f[r::kLightTrailer] != r::kLightTrailerValue) {
            return refuse("malformed lighting report");
        }
        s.hasLighting = true;
        s.effect = f[r::kLightEffect];
        s.speed = f[r::kLightSpeed];
        s.brightness = f[r::kLightBrightness];
        s.lightColor = rgb(f, r::kLightColor);
        s.sleepTimer = f[r::kLightSleep];
    } else {
        s.hasButtons = true;
        for (std::size_t k = 0; k < 18; ++k) {
            for (std::size_t b = 0; b < 3; ++b) {
                s.buttons[k][b] = f[r::kButtonEntries + 3 * k + b];
            }
        }
    }
    return {true, "", false};
}

void DeviceModel::setStage(int slot, std::uint8_t stage) {
    slots_[slot].stage = stage;
}

nlohmann::ordered_json DeviceModel::json() const {
    Json j;
    j["buttonMode"] = profileMode_;
    j["slots"] = Json::object();
    for (const auto& [n, s] : slots_) {
        Json slot;
        if (s.hasDpi) {
            Json colors = Json::array();
            for (std::uint32_t c : s.colors) {
                colors.push_back(colorText(c));
            }
            slot["dpi"] = {
                {"reportA", s.reportA},   {"reportB", s.reportB}, {"enabledMask", s.enabledMask},
                {"highMask", s.highMask}, {"countsA", s.countsA}, {"countsB", s.countsB},
                {"stage", s.stage},       {"colors", colors}};
        }
        if (s.hasLighting) {
            slot["lighting"] = {{"effect", s.effect},
                                {"speed", s.speed},
                                {"brightness", s.brightness},
                                {"color", colorText(s.lightColor)},
                                {"sleepTimer", s.sleepTimer}};
        }
        if (s.hasButtons) {
            slot["buttons"] = s.buttons;
        }
        j["slots"][std::to_string(n)] = slot;
    }
    j["polling"] = Json::object();
    for (const auto& [copy, p] : polling_) {
        j["polling"][std::to_string(copy)] = p[0];
    }
    j["macros"] = Json::object();
    for (const auto& [n, m] : macros_) {
        j["macros"][std::to_string(n)] = {
            {"repeat", m.repeat}, {"option", m.option}, {"loops", m.loops}, {"entries", m.entries}};
    }
    j["accepted"] = accepted_;
    j["refused"] = refused_;
    return j;
}

}  // namespace tvq::virtualmouse
