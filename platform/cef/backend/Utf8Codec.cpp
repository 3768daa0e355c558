#include "cef/backend/Utf8Codec.h"

namespace cefimpl {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendCodePoint(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Encode(const std::u16string& text, bool keepLoneSurrogates) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            char32_t cp = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            AppendCodePoint(out, cp);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendCodePoint(out, keepLoneSurrogates ? unit : kReplacement);
        } else {
            AppendCodePoint(out, unit);
        }
    }
    return out;
}

// Length of the sequence that `lead` starts, with the smallest code point it
// may carry (anything below is an overlong form); 0 for a stray byte.
int SequenceLength(unsigned char lead, char32_t& minimum) {
    if (lead < 0x80) return minimum = 0, 1;
    if ((lead & 0xE0) == 0xC0) return minimum = 0x80, 2;
    if ((lead & 0xF0) == 0xE0) return minimum = 0x800, 3;
    if ((lead & 0xF8) == 0xF0) return minimum = 0x10000, 4;
    return 0;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

}  // namespace

std::string ToUtf8(const std::u16string& text) { return Encode(text, false); }

std::string ToWtf8(const std::u16string& text) { return Encode(text, true); }

std::u16string FromUtf8(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        char32_t minimum = 0;
        int length = SequenceLength(static_cast<unsigned char>(bytes[i]), minimum);
        if (length == 0 || i + length > bytes.size()) {
            out += static_cast<char16_t>(kReplacement);
            ++i;
            continue;
        }
        static const unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
        char32_t cp = static_cast<unsigned char>(bytes[i]) & kLeadMask[length];
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid || cp < minimum || cp > 0x10FFFF) {
            out += static_cast<char16_t>(kReplacement);
            ++i;
            continue;
        }
        AppendUtf16(out, cp);
        i += length;
    }
    return out;
}

}  // namespace cefimpl
