// The colour picker's rules for its red, green and blue edits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvq {

// The number at the start of `text` as the C runtime's atoi reads it:
// leading blanks, an optional sign, then digits up to the first other
// character; no digits give 0. Values beyond int32 saturate.
std::int64_t leadingNumber(std::string_view text);

// What typing `text` into a channel's edit means: the channel's value, and
// the text the edit must show instead when the number was out of 0..255
// ("255" above, "0" below). Text within range stays as typed.
struct ChannelText {
    int value = 0;
    std::optional<std::string> replacement;
};
ChannelText channelFromText(std::string_view text);

// 0xFFRRGGBB with one channel (0 red, 1 green, 2 blue) replaced.
std::uint32_t withChannel(std::uint32_t argb, int channel, int value);

}  // namespace tvq
