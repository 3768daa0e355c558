// The one pair of helpers between portable UTF-16 text (std::u16string) and
// Win32 wide strings. wchar_t is 16 bits on Windows, so both hold the same
// code units and the conversion is a copy.
#pragma once

#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

inline std::wstring ToWide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string ToU16(const wchar_t* text) {
    if (!text) return std::u16string();
    std::wstring wide(text);
    return std::u16string(wide.begin(), wide.end());
}

inline std::u16string ToU16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}
