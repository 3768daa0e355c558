// URL parsing as the engine canonicalises URLs.
#pragma once

#include "cef/CefString.h"

struct CefURLParts {
    CefString spec;      // the whole canonical URL
    CefString scheme;    // lower case, without ':'
    CefString username;
    CefString password;
    CefString host;      // lower case; empty for URLs without an authority
    CefString port;      // empty when the scheme's default port is used
    CefString origin;    // scheme://host[:port]/ for standard schemes, else empty
    CefString path;
    CefString query;
};

// False, with every part empty, when the text is not an absolute URL.
bool CefParseURL(const CefString& url, CefURLParts& parts);
