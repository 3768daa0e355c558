#include "layout/TextCodec.h"

#include <cstdint>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Leading-byte table of well-formed UTF-8: how many continuation bytes follow
// and the range the first of them must fall in (which rules out overlong forms,
// surrogates and values above U+10FFFF).
struct LeadByte {
    int continuations;
    unsigned char firstLow;
    unsigned char firstHigh;
};

bool DescribeLead(unsigned char byte, LeadByte* lead) {
    if (byte >= 0xC2 && byte <= 0xDF) {
        *lead = {1, 0x80, 0xBF};
    } else if (byte == 0xE0) {
        *lead = {2, 0xA0, 0xBF};
    } else if (byte == 0xED) {
        *lead = {2, 0x80, 0x9F};
    } else if (byte >= 0xE1 && byte <= 0xEF) {
        *lead = {2, 0x80, 0xBF};
    } else if (byte == 0xF0) {
        *lead = {3, 0x90, 0xBF};
    } else if (byte >= 0xF1 && byte <= 0xF3) {
        *lead = {3, 0x80, 0xBF};
    } else if (byte == 0xF4) {
        *lead = {3, 0x80, 0x8F};
    } else {
        return false;
    }
    return true;
}

void AppendCodePoint(uint32_t cp, std::u16string* out) {
    if (cp < 0x10000) {
        out->push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

// Decodes the multi-byte sequence starting at `pos`; returns the index of the
// first byte not consumed. On an ill-formed sequence the bytes that were still
// a valid prefix are consumed and the offending byte is left for the next round.
size_t DecodeSequence(const std::string& in, size_t pos, std::u16string* out) {
    const unsigned char lead = static_cast<unsigned char>(in[pos]);
    LeadByte shape;
    if (!DescribeLead(lead, &shape)) {
        out->push_back(kReplacement);
        return pos + 1;
    }
    uint32_t cp = lead & (0x3Fu >> shape.continuations);
    unsigned char low = shape.firstLow;
    unsigned char high = shape.firstHigh;
    size_t next = pos + 1;
    for (int i = 0; i < shape.continuations; ++i, ++next) {
        if (next >= in.size()) {
            out->push_back(kReplacement);
            return next;
        }
        const unsigned char byte = static_cast<unsigned char>(in[next]);
        if (byte < low || byte > high) {
            out->push_back(kReplacement);
            return next;
        }
        cp = (cp << 6) | (byte & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    AppendCodePoint(cp, out);
    return next;
}

void AppendUtf8(uint32_t cp, std::string* out) {
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const unsigned char byte = static_cast<unsigned char>(utf8[pos]);
        if (byte < 0x80) {
            out.push_back(byte);
            ++pos;
        } else {
            pos = DecodeSequence(utf8, pos, &out);
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            const uint32_t cp = 0x10000 + ((unit - 0xD800u) << 10) + (utf16[i + 1] - 0xDC00u);
            AppendUtf8(cp, &out);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(kReplacement, &out);
        } else {
            AppendUtf8(unit, &out);
        }
    }
    return out;
}
