// What the virtual mouse holds: every frame it receives is checked (length,
// sum or complement) and decoded into the configuration of mode slots 1 and
// 2, as the real mouse would store it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tvq::virtualmouse {

struct SlotConfig {
    bool hasDpi = false;
    std::uint8_t reportA = 0, reportB = 0, enabledMask = 0, highMask = 0, stage = 0;
    std::array<std::uint8_t, 8> countsA{}, countsB{};
    std::array<std::uint32_t, 8> colors{};  // 0xRRGGBB
    bool hasLighting = false;
    std::uint8_t effect = 0, speed = 0, brightness = 0, sleepTimer = 0;
    std::uint32_t lightColor = 0;
    bool hasButtons = false;
    std::array<std::array<std::uint8_t, 3>, 18> buttons{};
};

struct MacroConfig {
    std::uint8_t repeat = 0, option = 0, loops = 0;
    std::vector<std::array<std::uint8_t, 2>> entries;
};

struct Verdict {
    bool accepted = false;
    std::string reason;    // why a frame was refused
    bool partial = false;  // a cable chunk waiting for the rest of its frame
};

class DeviceModel {
  public:
    // A frame (or, from the cable, a 64-byte macro chunk). Bytes past the
    // frame's length (padding) are ignored.
    Verdict receive(std::span<const std::uint8_t> bytes, bool fromCable);

    // The mouse switched stage or mode by itself.
    void setStage(int slot, std::uint8_t stage);
    void setProfileMode(std::uint8_t mode) { profileMode_ = mode; }

    nlohmann::ordered_json json() const;
    int accepted() const { return accepted_; }
    int refused() const { return refused_; }

  private:
    Verdict decode(std::span<const std::uint8_t> frame);

    std::map<int, SlotConfig> slots_;
    std::map<int, std::array<std::uint8_t, 2>> polling_;  // copy -> interval, complement
    std::map<int, MacroConfig> macros_;
    std::uint8_t profileMode_ = 0;
    // Cable chunks of the macro frame being reassembled.
    std::uint8_t chunkSlot_ = 0;
    int chunksSeen_ = 0;
    std::array<std::uint8_t, 180> chunkData_{};
    int accepted_ = 0;
    int refused_ = 0;
};

}  // namespace tvq::virtualmouse
