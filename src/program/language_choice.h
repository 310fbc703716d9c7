// Which language file the program shows its texts from: the user's choice,
// else the desktop's locale as gettext reads it (LANGUAGE, a list of
// languages in order of preference, unless the locale is "C"; then the
// first of LC_ALL, LC_MESSAGES and LANG that is set). "pt_BR" is tried
// before "pt"; a language without a file is English.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/data_folder.h"

namespace tvq {

// The translations beside the English file, by code ("res/lang/<code>.xml"),
// with the name each language has in itself.
struct LanguageName {
    const char* code;
    const char* name;
};
std::span<const LanguageName> translations();

// The code of the translation to show, or empty for English. `chosen` is the
// user's choice from the settings file ("" for the desktop's).
std::string chooseLanguage(const Environment& env, std::string_view chosen);

}  // namespace tvq
