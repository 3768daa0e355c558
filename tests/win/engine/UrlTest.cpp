// URL canonicalisation for the schemes the client meets.
#include "cef/CefUrl.h"

#include <gtest/gtest.h>

namespace {

struct UrlCase {
    std::u16string input;
    const char* spec;
    const char* scheme;
    const char* host;
    const char* port;
    const char* origin;
    const char* path;
    const char* query;
};

std::string S(const CefString& text) { return text.ToString(); }

TEST(UrlTest, CanonicalisesOrRefusesAsTheEngineDoes) {
    const UrlCase cases[] = {
        {u"http://Example.COM", "http://example.com/", "http", "example.com", "",
         "http://example.com/", "/", ""},
        {u"HTTPS://h:443/a?b=1", "https://h/a?b=1", "https", "h", "", "https://h/", "/a", "b=1"},
        {u"http://h:8080/x/../y/./z", "http://h:8080/y/z", "http", "h", "8080", "http://h:8080/",
         "/y/z", ""},
        {u"http://h:80/", "http://h/", "http", "h", "", "http://h/", "/", ""},
        {u"ftp://Files.test:21/pub/", "ftp://files.test/pub/", "ftp", "files.test", "",
         "ftp://files.test/", "/pub/", ""},
        {u"http://h?x", "http://h/?x", "http", "h", "", "http://h/", "/", "x"},
        {u"http://h/#top", "http://h/#top", "http", "h", "", "http://h/", "/", ""},
        {u"  http://h/a b\t\n ", "http://h/a%20b", "http", "h", "", "http://h/", "/a%20b", ""},
        {u"http://h/\u8def?q=\u4e2d", "http://h/%E8%B7%AF?q=%E4%B8%AD", "http", "h", "",
         "http://h/", "/%E8%B7%AF", "q=%E4%B8%AD"},
        {u"http:\\\\h\\a\\b", "http://h/a/b", "http", "h", "", "http://h/", "/a/b", ""},
        {u"file:///C:/games/a b.txt", "file:///C:/games/a%20b.txt", "file", "", "", "file:///",
         "/C:/games/a%20b.txt", ""},
        {u"about:blank", "about:blank", "about", "", "", "", "blank", ""},
        {u"data:text/html,<p>hi</p>", "data:text/html,<p>hi</p>", "data", "", "", "",
         "text/html,<p>hi</p>", ""},
    };
    for (const UrlCase& c : cases) {
        SCOPED_TRACE(CefString(c.input).ToString());
        CefURLParts parts;
        parts.spec = "left over";
        ASSERT_TRUE(CefParseURL(c.input, parts));
        EXPECT_EQ(S(parts.spec), c.spec);
        EXPECT_EQ(S(parts.scheme), c.scheme);
        EXPECT_EQ(S(parts.host), c.host);
        EXPECT_EQ(S(parts.port), c.port);
        EXPECT_EQ(S(parts.origin), c.origin);
        EXPECT_EQ(S(parts.path), c.path);
        EXPECT_EQ(S(parts.query), c.query);
    }
}

TEST(UrlTest, RefusesTextThatIsNoAbsoluteUrlAndLeavesEveryPartEmpty) {
    const std::u16string refused[] = {
        u"http://h:99999/", u"http://h:8a/", u"http://", u"http://a b/",
        u"/page.html",      u"page.html",    u"",        u"1http://x/",
    };
    for (const std::u16string& text : refused) {
        CefURLParts parts;
        parts.spec = parts.host = parts.path = "left over";
        EXPECT_FALSE(CefParseURL(text, parts)) << CefString(text).ToString();
        EXPECT_TRUE(parts.spec.empty() && parts.scheme.empty() && parts.host.empty() &&
                    parts.port.empty() && parts.origin.empty() && parts.path.empty() &&
                    parts.query.empty());
    }
}

TEST(UrlTest, KeepsTheUserInformation) {
    CefURLParts parts;
    ASSERT_TRUE(CefParseURL("http://player:secret@h/p", parts));
    EXPECT_EQ(S(parts.username), "player");
    EXPECT_EQ(S(parts.password), "secret");
    EXPECT_EQ(S(parts.spec), "http://player:secret@h/p");
    EXPECT_EQ(S(parts.origin), "http://h/");
}

}  // namespace
