// A linear pre-scan that every XML document passes before TinyXML parses it.
//
// TinyXML builds nested elements by recursion and looks for duplicate
// attributes with a linear search, so a hostile document (the update manifest
// arrives over plain HTTP) could overflow the stack with deep nesting or burn
// quadratic time on one tag with many attributes. The scan follows TinyXML's
// own lexical rules (comments, CDATA, declarations, other "<!"/"<?" markup,
// quoted attribute values with their character references, empty-element
// tags), so it counts the nesting TinyXML will really build and ordinary
// documents pass untouched.
#pragma once

#include <cstddef>

class XmlGuard {
public:
    // Deepest element nesting accepted; far beyond any layout or manifest.
    static constexpr int kMaxDepth = 256;
    // Most attributes accepted in one start tag.
    static constexpr int kMaxAttributes = 256;

    // True when the document may be handed to TinyXML: `length` is at most
    // `maxBytes`, no element nests deeper than kMaxDepth and no start tag has
    // more than kMaxAttributes attributes. Reading stops at an embedded NUL,
    // where the parser stops too.
    //
    // Also refused: a UTF-8 lead byte without its continuation bytes (TinyXML
    // would step over the following markup, or past the end of the buffer),
    // and markup where the parser's reading depends on the encoding it has
    // detected (non-ASCII outside quotes in an XML declaration). Callers that
    // must accept ill-formed UTF-8 repair it first.
    static bool IsAcceptable(const char* text, size_t length, size_t maxBytes);
};
