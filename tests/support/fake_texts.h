// Language texts for tests: each key answers a fixed text, unknown keys the
// key itself in brackets so that tests see which key was asked for.
#pragma once

#include <map>
#include <string>

#include "base/text_source.h"

namespace tvq::testing {

class FakeTexts final : public TextSource {
  public:
    std::map<std::string, std::string, std::less<>> texts{
        {"add_profile_text", "Profile"},
        {"add_macro_text", "Macro"},
        {"decimal_separator_text", "."},
        {"percent_text", "%1%"},
    };

    std::string text(std::string_view key) const override {
        const auto it = texts.find(key);
        return it != texts.end() ? it->second : "[" + std::string(key) + "]";
    }
};

}  // namespace tvq::testing
