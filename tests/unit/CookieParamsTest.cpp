// Cookies as Network.setCookie parameters, and UTC times as seconds.
#include "cef/backend/chromium/CookieParams.h"

#include <gtest/gtest.h>

namespace {

using namespace cefimpl::chromium;
using nlohmann::json;

struct TimeCase {
    UtcTime time;
    double seconds;
};

TEST(CookieParams, CountsSecondsFromTheEpoch) {
    const TimeCase cases[] = {
        {{1970, 1, 1, 0, 0, 0, 0}, 0},
        {{1970, 1, 2, 0, 0, 1, 500}, 86401.5},
        {{2000, 2, 29, 12, 0, 0, 0}, 951825600},  // a leap day of a century's leap year
        {{2000, 3, 1, 0, 0, 0, 0}, 951868800},
        {{2038, 1, 19, 3, 14, 8, 0}, 2147483648.0},  // past 32-bit seconds
        {{1969, 12, 31, 23, 59, 59, 0}, -1},
        {{1601, 1, 1, 0, 0, 0, 0}, -11644473600.0},
    };
    for (const TimeCase& c : cases) {
        EXPECT_EQ(SecondsSinceEpoch(c.time), c.seconds)
            << c.time.year << "-" << c.time.month << "-" << c.time.dayOfMonth;
    }
}

TEST(CookieParams, RefusesTimesThatDoNotExist) {
    const UtcTime refused[] = {
        {1900, 2, 29, 0, 0, 0, 0},  // 1900 was no leap year
        {2023, 2, 29, 0, 0, 0, 0}, {2024, 4, 31, 0, 0, 0, 0}, {2024, 0, 1, 0, 0, 0, 0},
        {2024, 13, 1, 0, 0, 0, 0}, {2024, 1, 0, 0, 0, 0, 0},  {2024, 1, 1, 24, 0, 0, 0},
        {2024, 1, 1, 0, 60, 0, 0}, {2024, 1, 1, 0, 0, 60, 0}, {2024, 1, 1, 0, 0, 0, 1000},
        {0, 0, 0, 0, 0, 0, 0},  // what an unset time holds
    };
    for (const UtcTime& t : refused)
        EXPECT_EQ(SecondsSinceEpoch(t), std::nullopt) << t.year << "-" << t.month;
}

CookieFields Marker() {
    CookieFields cookie;
    cookie.name = u"plover";
    cookie.value = u"1";
    return cookie;
}

TEST(CookieParams, ASessionCookieForThePagesOrigin) {
    EXPECT_EQ(SetCookieParams(Marker(), u"http://127.0.0.1:8080/game/index.html?x=1"),
              json::parse(R"({"name":"plover","value":"1","url":"http://127.0.0.1:8080/","path":"/",
                              "secure":false,"httpOnly":false})"));
}

TEST(CookieParams, AllFieldsGoAlong) {
    CookieFields cookie = Marker();
    cookie.value = u"\u4E2D";
    cookie.domain = u".example.com";
    cookie.path = u"forum";
    cookie.httpOnly = true;
    cookie.expires = UtcTime{2030, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(SetCookieParams(cookie, u"HTTP://www.example.com"),
              json::parse(R"({"name":"plover","value":"中","url":"http://www.example.com/forum",
                              "path":"/forum","secure":false,"httpOnly":true,"domain":".example.com",
                              "expires":1893456000.0})"));
}

TEST(CookieParams, ASecureCookieIsSetThroughHttps) {
    CookieFields cookie = Marker();
    cookie.secure = true;
    for (const char16_t* url : {u"http://portal.test/a", u"https://portal.test/b"}) {
        EXPECT_EQ((*SetCookieParams(cookie, url))["url"], "https://portal.test/");
    }
}

TEST(CookieParams, RefusesUrlsWithoutAnHttpOriginAndBadExpiries) {
    for (const char16_t* url : {u"", u"portal.test/", u"ftp://portal.test/", u"http://",
                                u"http:///path", u"about:blank", u"file:///C:/x"}) {
        EXPECT_EQ(SetCookieParams(Marker(), url), std::nullopt);
    }
    CookieFields cookie = Marker();
    cookie.expires = UtcTime{2023, 2, 29, 0, 0, 0, 0};
    EXPECT_EQ(SetCookieParams(cookie, u"http://portal.test/"), std::nullopt);
}

}  // namespace

TEST(CookieParams, ANameWithAnEqualsSignPutsTheSameTextOnTheWire) {
    const struct {
        std::u16string name, value, wireName, wireValue;
    } cases[] = {
        {u"plover=1", u"", u"plover", u"1="},
        {u"a=b=c", u"v", u"a", u"b=c=v"},
        {u"=x", u"", u"", u"x="},
        {u"plain", u"v", u"plain", u"v"},
    };
    for (const auto& c : cases) {
        CookieFields cookie;
        cookie.name = c.name;
        cookie.value = c.value;
        CookieFields sent = AsSentOnTheWire(cookie);
        EXPECT_EQ(sent.name, c.wireName);
        EXPECT_EQ(sent.value, c.wireValue);
        // What a server reads back is what "name=value" would have said.
        EXPECT_EQ(sent.name + u"=" + sent.value, c.name + u"=" + c.value);
    }
}
