// UTF-16 <-> UTF-8 conversions of the engine's text.
#pragma once

#include <string>

namespace cefimpl {

// Valid UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const std::u16string& text);
// WTF-8: UTF-8 in which an unpaired surrogate keeps its own three-byte form,
// so that every UTF-16 string survives the round trip (automation channel).
std::string ToWtf8(const std::u16string& text);
// Decodes UTF-8 and WTF-8; each malformed byte becomes U+FFFD.
std::u16string FromUtf8(const std::string& bytes);

}  // namespace cefimpl
