// Text helpers: UTF-8 and UTF-16 conversion, letter case, and the bounded
// UTF-16 name fields of the records.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tvq {

// Invalid input (broken UTF-8 sequences, lone surrogates) becomes U+FFFD.
std::u16string utf16FromUtf8(std::string_view utf8);
std::string utf8FromUtf16(std::u16string_view utf16);

// Appends one code point (a surrogate pair beyond U+FFFF).
void appendUtf16(std::u16string& out, char32_t c);

// Simple one-to-one case mapping for Latin, Greek and Cyrillic letters; every
// other code point maps to itself.
char32_t toLowerCase(char32_t c);
char32_t toUpperCase(char32_t c);
std::u16string upperCased(std::u16string_view text);

// True when the two ASCII texts (menu item names, commands) are equal without
// regard to letter case.
bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);

// `pattern` with "%1".."%9" replaced by the arguments (a number without an
// argument stays as it is).
std::string formatText(std::string_view pattern, std::initializer_list<std::string> args);

// The last part of a path: "x.pro" of "/home/u/x.pro".
inline std::string_view fileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// True when the two names are equal without regard to letter case.
bool equalIgnoringCase(std::u16string_view a, std::u16string_view b);
// A 64-bit hash of the name's letters in lower case: names equal without
// regard to letter case have equal hashes.
std::uint64_t caseHash(std::u16string_view name);

// Number of UTF-16 code units of `text` that fit in `maxUnits` without
// splitting a surrogate pair.
std::size_t fittingUnits(std::u16string_view text, std::size_t maxUnits);

// The text of a fixed UTF-16 field: up to the first zero unit, or the whole
// field when it holds no terminator.
template <std::size_t N>
std::u16string_view fieldText(const std::array<char16_t, N>& field) {
    std::size_t n = 0;
    while (n < N && field[n] != u'\0') {
        ++n;
    }
    return {field.data(), n};
}

// Stores `text` in a fixed UTF-16 field, cut to N - 1 units (never inside a
// surrogate pair), and zero-fills the rest so the terminator is always there.
template <std::size_t N>
void setFieldText(std::array<char16_t, N>& field, std::u16string_view text) {
    static_assert(N > 0);
    const std::size_t n = fittingUnits(text, N - 1);
    field.fill(u'\0');
    for (std::size_t i = 0; i < n; ++i) {
        field[i] = text[i];
    }
}

}  // namespace tvq
