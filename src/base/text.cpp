#include "base/text.h"

#include <algorithm>
#include <utility>

namespace tvq {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Decodes one code point of UTF-16 at `i` and advances past it.
char32_t nextUtf16(std::u16string_view s, std::size_t& i) {
    const char32_t c = s[i++];
    if (isHighSurrogate(c)) {
        if (i < s.size() && isLowSurrogate(s[i])) {
            const char32_t low = s[i++];
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
        return kReplacement;
    }
    return isLowSurrogate(c) ? kReplacement : c;
}

// Pairs where the upper-case letter has the even code point in a range.
bool inEvenUpperRange(char32_t c) {
    return (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177) ||
           (c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F);
}

// Pairs where the upper-case letter has the odd code point in a range.
bool inOddUpperRange(char32_t c) {
    return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E) || (c >= 0x4C1 && c <= 0x4CE);
}

// Accented Greek capitals and their small letters.
constexpr std::pair<char32_t, char32_t> kGreekTonos[] = {
    {0x386, 0x3AC}, {0x388, 0x3AD}, {0x389, 0x3AE}, {0x38A, 0x3AF},
    {0x38C, 0x3CC}, {0x38E, 0x3CD}, {0x38F, 0x3CE},
};

}  // namespace

void appendUtf16(std::u16string& out, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

std::u16string utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, c = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, c = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, c = lead & 0x07, minimum = 0x10000;
        } else {
            out.push_back(static_cast<char16_t>(kReplacement));
            ++i;
            continue;
        }
        std::size_t taken = 1;
        for (; taken < length && i + taken < utf8.size(); ++taken) {
            const auto next = static_cast<unsigned char>(utf8[i + taken]);
            if ((next & 0xC0) != 0x80) {
                break;
            }
            c = (c << 6) | (next & 0x3F);
        }
        i += taken;
        const bool valid = taken == length && c >= minimum && c <= 0x10FFFF &&
                           !isHighSurrogate(c) && !isLowSurrogate(c);
        appendUtf16(out, valid ? c : kReplacement);
    }
    return out;
}

std::string utf8FromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    std::size_t i = 0;
    while (i < utf16.size()) {
        appendUtf8(out, nextUtf16(utf16, i));
    }
    return out;
}

char32_t toLowerCase(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    if (c == 0x178) {
        return 0xFF;
    }
    for (const auto& [upper, lower] : kGreekTonos) {
        if (c == upper) {
            return lower;
        }
    }
    if (inEvenUpperRange(c) && c % 2 == 0) {
        return c + 1;
    }
    if (inOddUpperRange(c) && c % 2 == 1) {
        return c + 1;
    }
    return c;
}

char32_t toUpperCase(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) || (c >= 0x430 && c <= 0x44F)) {
        return c - 0x20;
    }
    if (c == 0x3C2) {  // final sigma
        return 0x3A3;
    }
    if (c >= 0x450 && c <= 0x45F) {
        return c - 0x50;
    }
    if (c == 0xFF) {
        return 0x178;
    }
    for (const auto& [upper, lower] : kGreekTonos) {
        if (c == lower) {
            return upper;
        }
    }
    if (inEvenUpperRange(c) && c % 2 == 1) {
        return c - 1;
    }
    if (inOddUpperRange(c) && c % 2 == 0) {
        return c - 1;
    }
    return c;
}

std::u16string upperCased(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        appendUtf16(out, toUpperCase(nextUtf16(text, i)));
    }
    return out;
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool equalIgnoringCase(std::u16string_view a, std::u16string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (toLowerCase(nextUtf16(a, i)) != toLowerCase(nextUtf16(b, j))) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

std::uint64_t caseHash(std::u16string_view name) {
    std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a over the code points
    std::size_t i = 0;
    while (i < name.size()) {
        hash = (hash ^ toLowerCase(nextUtf16(name, i))) * 0x100000001b3u;
    }
    return hash;
}

std::size_t fittingUnits(std::u16string_view text, std::size_t maxUnits) {
    if (text.size() <= maxUnits) {
        return text.size();
    }
    std::size_t n = maxUnits;
    if (n > 0 && isHighSurrogate(text[n - 1])) {
        --n;  // keep the pair whole
    }
    return n;
}

std::string formatText(std::string_view pattern, std::initializer_list<std::string> args) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace tvq
