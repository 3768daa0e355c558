// A cookie the application sets, as the parameters of Network.setCookie.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace cefimpl::chromium {

// A moment in UTC, field by field as the engine's API gives it.
struct UtcTime {
    int year = 1970;
    int month = 1;  // 1..12
    int dayOfMonth = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

struct CookieFields {
    std::u16string name;
    std::u16string value;
    std::u16string domain;  // empty: the URL's host alone; ".host": its subdomains too
    std::u16string path;    // empty: "/"
    bool secure = false;
    bool httpOnly = false;
    std::optional<UtcTime> expires;  // none: a session cookie
};

// Chromium refuses a cookie name that holds "=", which a browser writing
// "name=value" into its Cookie header would send as it stands. Such a
// cookie becomes the one that puts the same text on the wire: the name up
// to the first "=", the rest of it, "=" and the value as its value.
CookieFields AsSentOnTheWire(CookieFields cookie);

// Seconds since 1970-01-01 UTC; nothing for fields out of their ranges.
std::optional<double> SecondsSinceEpoch(const UtcTime& time);

// The parameters for `cookie` set for the page at `url`: the cookie is
// tied to the URL's origin and the cookie's own path. Nothing when the URL
// is not http or https with a host, or the expiry is no valid time.
std::optional<nlohmann::json> SetCookieParams(const CookieFields& cookie,
                                              const std::u16string& url);

}  // namespace cefimpl::chromium
