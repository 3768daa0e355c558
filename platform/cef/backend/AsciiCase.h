// ASCII-only lower-casing: what switch names and cookie domains compare by.
#pragma once

#include <string>

namespace cefimpl {

inline std::u16string AsciiLower(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return text;
}

}  // namespace cefimpl
