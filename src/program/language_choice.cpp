#include "program/language_choice.h"

#include <array>

namespace tvq {
namespace {

constexpr std::array kTranslations{
    LanguageName{"de", "Deutsch"},  LanguageName{"es", "Español"},
    LanguageName{"fr", "Français"}, LanguageName{"it", "Italiano"},
    LanguageName{"pl", "Polski"},   LanguageName{"pt_BR", "Português (Brasil)"},
    LanguageName{"ru", "Русский"},  LanguageName{"zh_CN", "简体中文"},
};

bool known(std::string_view code) {
    for (const LanguageName& l : kTranslations) {
        if (code == l.code) {
            return true;
        }
    }
    return false;
}

// "pt_BR.UTF-8@euro" → the translation for "pt_BR", else for "pt", else
// none ("en" for English itself).
std::string translationFor(std::string_view locale) {
    const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
    const std::string_view language = name.substr(0, name.find('_'));
    if (language == "en") {
        return "en";
    }
    if (known(name)) {
        return std::string(name);
    }
    return known(language) ? std::string(language) : "";
}

}  // namespace

std::span<const LanguageName> translations() {
    return kTranslations;
}

std::string chooseLanguage(const Environment& env, std::string_view chosen) {
    if (chosen == "en") {
        return {};
    }
    if (known(chosen)) {
        return std::string(chosen);
    }
    std::string locale;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const auto value = env(variable); value && !value->empty()) {
            locale = *value;
            break;
        }
    }
    // No locale at all is the "C" locale, which turns LANGUAGE off too.
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C.")) {
        return {};
    }
    if (const auto list = env("LANGUAGE"); list && !list->empty()) {
        std::string_view rest = *list;
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::string found = translationFor(rest.substr(0, colon));
            if (!found.empty()) {
                return found == "en" ? std::string() : found;
            }
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    const std::string found = translationFor(locale);
    return found == "en" ? std::string() : found;
}

}  // namespace tvq
