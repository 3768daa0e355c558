#include "layout/XmlGuard.h"

#include <cstring>
#include <string_view>

namespace {

constexpr size_t kRefused = std::string_view::npos;

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// TinyXML's white space: the "C" locale's isspace set.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// TinyXML takes every byte from 127 up as a letter, so "<" followed by any of
// them opens an element.
bool IsNameStart(unsigned char c) { return IsAsciiLetter(c) || c == '_' || c >= 127; }
bool IsNameChar(unsigned char c) {
    return IsNameStart(c) || IsDigit(static_cast<char>(c)) || c == '-' || c == '.' || c == ':';
}

// Bytes TinyXML reads as the start of a multi-byte character (its UTF-8
// length table), and how long it takes that character to be.
size_t LeadLength(unsigned char c) {
    if (c >= 0xC2 && c <= 0xDF) return 2;
    if (c >= 0xE0 && c <= 0xEF) return 3;
    if (c >= 0xF0 && c <= 0xF4) return 4;
    return 1;
}

// In UTF-8 mode TinyXML consumes a lead byte together with the bytes after it,
// whatever they are. As long as those are continuation bytes, no '<', quote or
// '&' is ever swallowed and a byte-wise scan sees the same markup.
bool LeadBytesComplete(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t length = LeadLength(static_cast<unsigned char>(text[i]));
        for (size_t k = 1; k < length; ++k) {
            if (i + k >= text.size()) return false;
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if (next < 0x80 || next > 0xBF) return false;
        }
    }
    return true;
}

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool Run() {
        size_t i = 0;
        while (i < text_.size()) {
            const char c = text_[i];
            if (c == '<') {
                i = Markup(i);
            } else if (c == '&' && depth_ > 0) {
                // Only element content is read as text; at the top level the
                // parser stops at the first character that is not markup.
                i = SkipReference(i);
            } else {
                ++i;
            }
            if (i == kRefused) return false;
        }
        return true;
    }

private:
    char At(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

    bool StartsWith(size_t i, std::string_view s) const { return text_.substr(i, s.size()) == s; }

    bool StartsWithIgnoringCase(size_t i, std::string_view s) const {
        if (text_.size() - i < s.size()) return false;
        for (size_t k = 0; k < s.size(); ++k) {
            const unsigned char c = static_cast<unsigned char>(text_[i + k]);
            const char lower =
                IsAsciiLetter(c) ? static_cast<char>(c | 0x20) : static_cast<char>(c);
            if (lower != s[k]) return false;
        }
        return true;
    }

    // Index just past the first `terminator` at or after `from`; unterminated
    // markup runs to the end, as in the parser.
    size_t After(size_t from, std::string_view terminator) const {
        const size_t at = text_.find(terminator, from);
        return at == std::string_view::npos ? text_.size() : at + terminator.size();
    }

    // The order of the tests is the parser's order of recognising a node.
    size_t Markup(size_t i) {
        if (StartsWithIgnoringCase(i, "<?xml")) return SkipDeclaration(i + 5);
        if (StartsWith(i, "<!--")) return After(i + 4, "-->");
        if (StartsWith(i, "<![CDATA[")) return After(i + 9, "]]>");
        if (StartsWith(i, "<!")) return After(i + 2, ">");
        if (StartsWith(i, "</")) {
            // Inside an element this is its end tag (or a parse error); at the
            // top level the parser skips it as unknown markup.
            if (depth_ > 0) --depth_;
            return After(i + 2, ">");
        }
        if (IsNameStart(static_cast<unsigned char>(At(i + 1)))) return SkipStartTag(i + 1);
        return After(i + 1, ">");
    }

    // Inside a start tag the parser meets a quote only where a value begins
    // (anywhere else it gives up), and ends the tag at the first '>' outside
    // values, so pairing quotes greedily finds the same tag end.
    size_t SkipStartTag(size_t i) {
        int attributes = 0;
        while (i < text_.size()) {
            const char c = text_[i];
            if (c == '"' || c == '\'') {
                i = SkipQuoted(i + 1, c);
                if (i == kRefused) return kRefused;
                continue;
            }
            if (c == '>') {
                if (text_[i - 1] != '/' && ++depth_ > XmlGuard::kMaxDepth) return kRefused;
                return i + 1;
            }
            // Every attribute the parser reads costs one '=' outside a value.
            if (c == '=' && ++attributes > XmlGuard::kMaxAttributes) return kRefused;
            ++i;
        }
        return i;
    }

    size_t SkipQuoted(size_t i, char quote) {
        while (i < text_.size()) {
            const char c = text_[i];
            if (c == quote) return i + 1;
            i = c == '&' ? SkipReference(i) : i + 1;
            if (i == kRefused) return kRefused;
        }
        return i;
    }

    // The parser takes a numeric reference to run from "&#" to the first ';'
    // in the rest of the document and checks only the digits nearest the ';',
    // so "&#x" ... "x;" can hide markup. Reproduce that reach exactly; where
    // the parser would fail, refuse.
    size_t SkipReference(size_t i) const {
        if (At(i + 1) != '#' || At(i + 2) == '\0') return i + 1;  // named or literal '&'
        const bool hex = At(i + 2) == 'x';
        if (hex && At(i + 3) == '\0') return kRefused;
        const size_t semicolon = text_.find(';', hex ? i + 3 : i + 2);
        if (semicolon == std::string_view::npos) return kRefused;
        const char stop = hex ? 'x' : '#';
        for (size_t q = semicolon - 1; text_[q] != stop; --q) {
            if (!(hex ? IsHexDigit(text_[q]) : IsDigit(text_[q]))) return kRefused;
        }
        return semicolon + 1;
    }

    // An XML declaration ends at the first '>' except where the parser reads
    // one of its three pseudo-attributes, whose quoted value may hold a '>'.
    size_t SkipDeclaration(size_t i) {
        while (i < text_.size()) {
            if (text_[i] == '>') return i + 1;
            i = SkipSpace(i);
            if (i == kRefused || i == text_.size()) return i;
            if (StartsWithIgnoringCase(i, "version") || StartsWithIgnoringCase(i, "encoding") ||
                StartsWithIgnoringCase(i, "standalone")) {
                i = SkipDeclarationAttribute(i);
                if (i == kRefused) return kRefused;
                continue;
            }
            for (; i < text_.size() && text_[i] != '>' && !IsSpace(text_[i]); ++i) {
                if (static_cast<unsigned char>(text_[i]) >= 0x80) return kRefused;
            }
        }
        return i;
    }

    size_t SkipDeclarationAttribute(size_t i) {
        while (i < text_.size() && IsNameChar(static_cast<unsigned char>(text_[i]))) ++i;
        i = SkipSpace(i);
        if (i == kRefused || i == text_.size()) return i;
        if (text_[i] != '=') return kRefused;
        i = SkipSpace(i + 1);
        if (i == kRefused || i == text_.size()) return i;
        const char c = text_[i];
        if (c == '"' || c == '\'') return SkipQuoted(i + 1, c);
        for (; i < text_.size() && !IsSpace(text_[i]) && text_[i] != '/' && text_[i] != '>'; ++i) {
            if (text_[i] == '"' || text_[i] == '\'') return kRefused;
        }
        return i;
    }

    // Inside a declaration the parser also skips byte-order marks as white
    // space, but only once it has settled on UTF-8; refusing non-ASCII where
    // white space may end keeps the reading independent of that.
    size_t SkipSpace(size_t i) const {
        while (i < text_.size() && IsSpace(text_[i])) ++i;
        if (i < text_.size() && static_cast<unsigned char>(text_[i]) >= 0x80) return kRefused;
        return i;
    }

    std::string_view text_;
    int depth_ = 0;
};

}  // namespace

bool XmlGuard::IsAcceptable(const char* text, size_t length, size_t maxBytes) {
    if (text == nullptr || length > maxBytes) return false;
    const void* nul = std::memchr(text, '\0', length);
    const size_t used = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : length;
    const std::string_view view(text, used);
    return LeadBytesComplete(view) && Scanner(view).Run();
}
