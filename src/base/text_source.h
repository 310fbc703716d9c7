// Language texts by key.
#pragma once

#include <string>
#include <string_view>

namespace tvq {

// Answers the display text (UTF-8) of a text key. A key the language
// resource does not know gives the empty text.
class TextSource {
  public:
    virtual ~TextSource() = default;
    virtual std::string text(std::string_view key) const = 0;
};

}  // namespace tvq
