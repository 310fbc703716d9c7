#include "base/unique_name.h"

#include "base/text.h"

namespace tvq {
namespace {

std::u16string ascii(const std::string& text) {
    return {text.begin(), text.end()};
}

std::u16string fitted(std::u16string_view text, std::size_t maxUnits) {
    return std::u16string(text.substr(0, fittingUnits(text, maxUnits)));
}

}  // namespace

std::u16string makeUniqueName(std::u16string_view base, std::size_t maxUnits,
                              const std::function<bool(std::u16string_view)>& taken,
                              std::size_t* firstSuffix) {
    std::u16string name = fitted(base, maxUnits);
    for (std::size_t n = firstSuffix != nullptr ? *firstSuffix : 1; taken(name); ++n) {
        const std::u16string suffix = u"_" + ascii(std::to_string(n));
        if (suffix.size() > maxUnits) {
            return {};  // cannot happen for the record sizes in use
        }
        name = fitted(base, maxUnits - suffix.size()) + suffix;
        if (firstSuffix != nullptr) {
            *firstSuffix = n;
        }
    }
    return name;
}

std::u16string numberedName(std::u16string_view text, std::size_t number, std::size_t maxUnits) {
    const std::u16string digits = ascii(std::to_string(number));
    if (digits.size() > maxUnits) {
        return fitted(digits, maxUnits);
    }
    return fitted(text, maxUnits - digits.size()) + digits;
}

}  // namespace tvq
