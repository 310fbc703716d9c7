#include "editing/colour_channels.h"

#include <limits>

namespace tvq {

std::int64_t leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = n * 10 + (text[i] - '0');
        if (n > kMax + 1) {
            n = kMax + 1;  // saturated; further digits change nothing
        }
    }
    if (negative) {
        return -n;
    }
    return n > kMax ? kMax : n;
}

ChannelText channelFromText(std::string_view text) {
    const std::int64_t n = leadingNumber(text);
    if (n > 255) {
        return {255, "255"};
    }
    if (n < 0) {
        return {0, "0"};
    }
    return {static_cast<int>(n), std::nullopt};
}

std::uint32_t withChannel(std::uint32_t argb, int channel, int value) {
    const int shift = channel == 0 ? 16 : channel == 1 ? 8 : 0;
    const auto v = static_cast<std::uint32_t>(value < 0 ? 0 : value > 255 ? 255 : value);
    return 0xFF000000u | (argb & ~(0xFFu << shift) & 0x00FFFFFFu) | (v << shift);
}

}  // namespace tvq
