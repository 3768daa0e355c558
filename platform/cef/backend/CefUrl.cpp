// URL canonicalisation in the engine's manner, for the schemes the client
// meets: http, https, ws, wss, ftp and file have an authority and get a
// canonical path; every other scheme (about, data, javascript...) keeps its
// text as an opaque path.
#include "cef/CefUrl.h"

#include "cef/backend/Utf8Codec.h"

#include <vector>

namespace {

using Text = std::u16string;

struct StandardScheme {
    const char16_t* name;
    const char16_t* defaultPort;  // empty: the scheme has no default port
};

const StandardScheme kStandardSchemes[] = {
    {u"http", u"80"}, {u"https", u"443"}, {u"ws", u"80"},
    {u"wss", u"443"}, {u"ftp", u"21"},    {u"file", u""},
};

const StandardScheme* FindStandard(const Text& scheme) {
    for (const StandardScheme& s : kStandardSchemes) {
        if (scheme == s.name) return &s;
    }
    return nullptr;
}

bool IsAlpha(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsSlash(char16_t c) { return c == u'/' || c == u'\\'; }

Text Lower(Text text) {
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return text;
}

// Leading and trailing blanks and control characters go, and so do tabs and
// line breaks anywhere (a URL pasted across lines still parses).
Text Clean(const Text& input) {
    size_t begin = 0, end = input.size();
    while (begin < end && input[begin] <= u' ') ++begin;
    while (end > begin && input[end - 1] <= u' ') --end;
    Text out;
    for (size_t i = begin; i < end; ++i) {
        if (input[i] != u'\t' && input[i] != u'\r' && input[i] != u'\n') out += input[i];
    }
    return out;
}

// Length of the scheme before its ':', or 0 when the text has none.
size_t SchemeLength(const Text& text) {
    if (text.empty() || !IsAlpha(text[0])) return 0;
    for (size_t i = 1; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u':') return i;
        if (!IsAlpha(c) && !IsDigit(c) && c != u'+' && c != u'-' && c != u'.') return 0;
    }
    return 0;
}

// Percent-escapes blanks, controls, characters that cannot stand in a URL
// and everything outside ASCII (as UTF-8).
Text Escape(const Text& part) {
    static const char16_t kHex[] = u"0123456789ABCDEF";
    Text out;
    for (size_t i = 0; i < part.size(); ++i) {
        char16_t c = part[i];
        if (c > u' ' && c < 0x7F && c != u'"' && c != u'<' && c != u'>' && c != u'`') {
            out += c;
            continue;
        }
        Text unit(1, c);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < part.size()) unit += part[++i];
        for (unsigned char byte : cefimpl::ToUtf8(unit)) {
            out += u'%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out;
}

// Resolves "." and ".." segments of an absolute path.
Text RemoveDotSegments(const Text& path) {
    std::vector<Text> segments;
    size_t start = 1;
    bool trailingSlash = false;
    while (start <= path.size()) {
        size_t slash = path.find(u'/', start);
        if (slash == Text::npos) slash = path.size();
        Text segment = path.substr(start, slash - start);
        trailingSlash = segment == u"." || segment == u"..";
        if (segment == u"..") {
            if (!segments.empty()) segments.pop_back();
        } else if (segment != u".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    Text out;
    for (const Text& segment : segments) out += u"/" + segment;
    if (out.empty() || trailingSlash) out += u"/";
    return out;
}

struct Tail {
    Text path;
    bool hasQuery = false;
    Text query;
    bool hasFragment = false;
    Text fragment;
};

Tail SplitTail(const Text& text) {
    Tail tail;
    size_t hash = text.find(u'#');
    if (hash != Text::npos) {
        tail.hasFragment = true;
        tail.fragment = text.substr(hash + 1);
    }
    Text beforeHash = text.substr(0, hash);
    size_t question = beforeHash.find(u'?');
    if (question != Text::npos) {
        tail.hasQuery = true;
        tail.query = beforeHash.substr(question + 1);
    }
    tail.path = beforeHash.substr(0, question);
    return tail;
}

Text JoinTail(const Tail& tail) {
    Text out = tail.path;
    if (tail.hasQuery) out += u"?" + tail.query;
    if (tail.hasFragment) out += u"#" + tail.fragment;
    return out;
}

// Canonical path, query and fragment of a URL with an authority.
Tail CanonicalTail(const Text& text) {
    Tail tail = SplitTail(text);
    for (char16_t& c : tail.path) {
        if (c == u'\\') c = u'/';
    }
    if (tail.path.empty() || tail.path[0] != u'/') tail.path.insert(0, 1, u'/');
    tail.path = Escape(RemoveDotSegments(tail.path));
    tail.query = Escape(tail.query);
    tail.fragment = Escape(tail.fragment);
    return tail;
}

bool IsValidHost(const Text& host) {
    if (host.empty()) return false;
    for (char16_t c : host) {
        if (c <= u' ' || c == 0x7F) return false;
        if (Text(u"<>\"^`{|}").find(c) != Text::npos) return false;
    }
    return true;
}

// "host[:port]"; false for a bad port or host. An IPv6 host keeps its
// brackets, so its colons are not taken for the port's.
bool ParseHostPort(const Text& text, const StandardScheme& scheme, CefURLParts& parts) {
    size_t hostEnd = 0;
    if (!text.empty() && text[0] == u'[') {
        hostEnd = text.find(u']');
        if (hostEnd == Text::npos) return false;
    }
    size_t colon = text.find(u':', hostEnd);
    Text host = Lower(text.substr(0, colon));
    Text digits = colon == Text::npos ? Text() : text.substr(colon + 1);
    if (!IsValidHost(host) || digits.size() > 5) return false;
    long value = 0;
    for (char16_t c : digits) {
        if (!IsDigit(c)) return false;
        value = value * 10 + (c - u'0');
    }
    if (value > 65535) return false;
    Text port;
    if (!digits.empty()) {
        for (char c : std::to_string(value)) port += static_cast<char16_t>(c);
    }
    parts.host = host;
    parts.port = port == scheme.defaultPort ? Text() : port;
    return true;
}

bool ParseAuthority(const Text& scheme, const Text& rest, const StandardScheme& info,
                    CefURLParts& parts) {
    size_t begin = 0;
    while (begin < rest.size() && IsSlash(rest[begin])) ++begin;
    size_t end = rest.find_first_of(u"/\\?#", begin);
    if (end == Text::npos) end = rest.size();
    Text authority = rest.substr(begin, end - begin);
    Text user, password;
    size_t at = authority.rfind(u'@');
    if (at != Text::npos) {
        Text userInfo = authority.substr(0, at);
        size_t colon = userInfo.find(u':');
        user = Escape(userInfo.substr(0, colon));
        if (colon != Text::npos) password = Escape(userInfo.substr(colon + 1));
        authority = authority.substr(at + 1);
    }
    if (!ParseHostPort(authority, info, parts)) return false;
    Tail tail = CanonicalTail(rest.substr(end));
    Text hostPort = parts.host.ToString16();
    if (!parts.port.empty()) hostPort += u":" + parts.port.ToString16();
    Text userInfo;
    if (!user.empty() || !password.empty()) {
        userInfo = user + (password.empty() ? Text() : u":" + password) + u"@";
    }
    parts.username = user;
    parts.password = password;
    parts.path = tail.path;
    parts.query = tail.query;
    parts.origin = scheme + u"://" + hostPort + u"/";
    parts.spec = scheme + u"://" + userInfo + hostPort + JoinTail(tail);
    return true;
}

bool StartsWithDrive(const Text& text) {
    return text.size() >= 2 && IsAlpha(text[0]) && (text[1] == u':' || text[1] == u'|');
}

// file: URLs may have no host ("file:///C:/dir"), or name a server.
void ParseFile(const Text& rest, CefURLParts& parts) {
    size_t slashes = 0;
    while (slashes < rest.size() && IsSlash(rest[slashes])) ++slashes;
    Text remaining = rest.substr(slashes);
    Text host;
    if (slashes >= 2 && !StartsWithDrive(remaining)) {
        size_t end = remaining.find_first_of(u"/\\?#");
        if (end == Text::npos) end = remaining.size();
        host = Lower(remaining.substr(0, end));
        remaining = remaining.substr(end);
        if (host == u"localhost") host.clear();
    }
    Tail tail = CanonicalTail(remaining);
    parts.host = host;
    parts.path = tail.path;
    parts.query = tail.query;
    parts.origin = u"file://" + host + u"/";
    parts.spec = u"file://" + host + JoinTail(tail);
}

void ParseOpaque(const Text& scheme, const Text& rest, CefURLParts& parts) {
    Tail tail = SplitTail(rest);
    parts.path = tail.path;
    parts.query = tail.query;
    parts.spec = scheme + u":" + rest;
}

}  // namespace

bool CefParseURL(const CefString& url, CefURLParts& parts) {
    parts = CefURLParts();
    Text text = Clean(url.ToString16());
    size_t schemeLength = SchemeLength(text);
    if (schemeLength == 0) return false;
    Text scheme = Lower(text.substr(0, schemeLength));
    Text rest = text.substr(schemeLength + 1);
    const StandardScheme* standard = FindStandard(scheme);
    CefURLParts result;
    result.scheme = scheme;
    if (standard == nullptr) {
        ParseOpaque(scheme, rest, result);
    } else if (scheme == u"file") {
        ParseFile(rest, result);
    } else if (!ParseAuthority(scheme, rest, *standard, result)) {
        return false;
    }
    parts = result;
    return true;
}
