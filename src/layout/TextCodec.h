// UTF-8 <-> UTF-16 conversion for portable code. Behaves like the Win32 pair
// MultiByteToWideChar / WideCharToMultiByte with CP_UTF8 and no flags, so the
// host build and the Windows build turn the same bytes into the same strings.
#pragma once

#include <string>

// Each maximal ill-formed subsequence (a stray byte, a truncated or overlong
// sequence, an encoded surrogate, a value above U+10FFFF) becomes one U+FFFD.
std::u16string Utf8ToUtf16(const std::string& utf8);

// An unpaired surrogate becomes U+FFFD (EF BF BD).
std::string Utf16ToUtf8(const std::u16string& utf16);
