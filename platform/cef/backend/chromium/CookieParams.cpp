#include "cef/backend/chromium/CookieParams.h"

#include "cef/backend/AsciiCase.h"
#include "cef/backend/Utf8Codec.h"

#include <cstdint>

namespace cefimpl::chromium {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool InRange(const UtcTime& t) {
    return t.year >= 1601 && t.year <= 30827 && t.month >= 1 && t.month <= 12 &&
           t.dayOfMonth >= 1 && t.dayOfMonth <= DaysInMonth(t.year, t.month) && t.hour >= 0 &&
           t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59 &&
           t.millisecond >= 0 && t.millisecond <= 999;
}

// Days from 1970-01-01 to the date, counting in eras of 400 years from
// March, where the leap day falls at the end of the year.
int64_t DaysSinceEpoch(int year, int month, int day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// "scheme://host[:port]" of an http or https URL, the scheme lower-cased.
std::optional<std::string> OriginOf(const std::string& url) {
    const size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos) return std::nullopt;
    const std::string scheme = AsciiLower(url.substr(0, schemeEnd));
    if (scheme != "http" && scheme != "https") return std::nullopt;
    const size_t hostStart = schemeEnd + 3;
    const size_t hostEnd = url.find_first_of("/?#", hostStart);
    if (hostEnd == hostStart || hostStart == url.size()) return std::nullopt;
    return scheme + url.substr(schemeEnd, hostEnd - schemeEnd);
}

}  // namespace

CookieFields AsSentOnTheWire(CookieFields cookie) {
    const size_t equals = cookie.name.find(u'=');
    if (equals == std::u16string::npos) return cookie;
    std::u16string value(cookie.name, equals + 1);
    value.push_back(u'=');
    value.append(cookie.value);
    cookie.value = std::move(value);
    cookie.name.resize(equals);
    return cookie;
}

std::optional<double> SecondsSinceEpoch(const UtcTime& t) {
    if (!InRange(t)) return std::nullopt;
    const int64_t days = DaysSinceEpoch(t.year, t.month, t.dayOfMonth);
    const int64_t seconds = days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
    return static_cast<double>(seconds) + t.millisecond / 1000.0;
}

std::optional<nlohmann::json> SetCookieParams(const CookieFields& cookie,
                                              const std::u16string& url) {
    std::optional<std::string> origin = OriginOf(ToUtf8(url));
    if (!origin) return std::nullopt;
    // Chromium refuses a secure cookie set for a plain-http URL.
    if (cookie.secure && origin->compare(0, 5, "http:") == 0) origin->insert(4, "s");

    std::string path = cookie.path.empty() ? "/" : ToUtf8(cookie.path);
    if (path.front() != '/') path.insert(0, "/");
    nlohmann::json params = {{"name", ToUtf8(cookie.name)}, {"value", ToUtf8(cookie.value)},
                             {"url", *origin + path},       {"path", path},
                             {"secure", cookie.secure},     {"httpOnly", cookie.httpOnly}};
    if (!cookie.domain.empty()) params["domain"] = ToUtf8(cookie.domain);
    if (cookie.expires) {
        const std::optional<double> expires = SecondsSinceEpoch(*cookie.expires);
        if (!expires) return std::nullopt;
        params["expires"] = *expires;
    }
    return params;
}

}  // namespace cefimpl::chromium
