// ASCII-only lower-casing: what switch names, cookie domains and HTTP
// header names compare by, in UTF-16 and in UTF-8 text alike.
#pragma once

#include <string>

namespace cefimpl {

template <class Text>
Text AsciiLower(Text text) {
    for (auto& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<typename Text::value_type>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace cefimpl
