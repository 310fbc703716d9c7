#include "editing/macro_choice.h"

namespace tvq {

std::u16string digitsOnly(std::u16string_view text) {
    std::u16string out;
    for (const char16_t c : text) {
        if (c >= u'0' && c <= u'9') {
            out.push_back(c);
        }
    }
    return out;
}

std::int32_t loopCountFromText(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Any count past the bound reads as the bound, however many digits.
    std::int32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > kMaxLoopCount) {
            value = kMaxLoopCount + 1;
        }
    }
    if (negative || value < kMinLoopCount) {
        return kMinLoopCount;
    }
    return value > kMaxLoopCount ? kMaxLoopCount : value;
}

}  // namespace tvq
