// The body length a response's raw header block announces, and the range
// end it gives: the ordinary readings, and lengths that do not fit a
// 32-bit signed offset refused rather than wrapped.
#include "services/ContentLength.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {
const std::u16string kStatus = u"HTTP/1.1 206 Partial Content\r\n";

struct LengthCase {
    const char* name;
    std::u16string headers;  // after the status line, before the blank line
    std::optional<int32_t> length;
};

const LengthCase kLengthCases[] = {
    // What servers send.
    {"length", u"Content-Length: 100\r\n", 100},
    {"length wins over range", u"Content-Range: bytes 0-99/5000\r\nContent-Length: 100\r\n", 100},
    {"range gives its total", u"Content-Range: bytes 0-99/5000\r\n", 5000},
    {"range of an open request", u"Content-Range: bytes 4096-9999/10000\r\n", 10000},
    {"zero length", u"Content-Length: 0\r\n", 0},
    {"largest offset", u"Content-Length: 2147483647\r\n", INT32_MAX},
    // Neither header: the body counts as complete at once.
    {"no length headers", u"Server: x\r\n", 0},
    {"names are case-sensitive", u"content-length: 100\r\n", 0},
    {"range without a slash", u"Content-Range: bytes 0-99\r\n", 0},
    // Ordinary numbers are read by their leading digits.
    {"trailing blanks", u"Content-Length: 100 \r\n", 100},
    {"no blank after colon", u"Content-Length:100\r\n", 100},
    {"tab before number", u"Content-Length:\t42\r\n", 42},
    {"digits then text", u"Content-Length: 100abc\r\n", 100},
    {"plus sign", u"Content-Length: +7\r\n", 7},
    {"leading zeros", u"Content-Length: 000123\r\n", 123},
    {"blank after slash", u"Content-Range: bytes 0-99/ 5000\r\n", 5000},
    {"range without bytes unit", u"Content-Range: 12/5000\r\n", 12},
    // Unreadable or out-of-range numbers are refused, never wrapped.
    {"2 GiB", u"Content-Length: 2147483648\r\n", std::nullopt},
    {"4 GiB plus 100", u"Content-Length: 4294967396\r\n", std::nullopt},
    {"many digits", u"Content-Length: 99999999999999999999999999\r\n", std::nullopt},
    {"negative", u"Content-Length: -5\r\n", std::nullopt},
    {"no digits", u"Content-Length: abc\r\n", std::nullopt},
    {"empty value", u"Content-Length: \r\n", std::nullopt},
    {"sign only", u"Content-Length: -\r\n", std::nullopt},
    {"full-width digits", u"Content-Length: \uFF11\uFF10\r\n", std::nullopt},
    {"range total 2 GiB", u"Content-Range: bytes 0-99/2147483648\r\n", std::nullopt},
    {"range total unknown", u"Content-Range: bytes 0-99/*\r\n", std::nullopt},
    {"range total negative", u"Content-Range: bytes 0-99/-1\r\n", std::nullopt},
};

class ContentLengthFromHeaders : public ::testing::TestWithParam<LengthCase> {};

TEST_P(ContentLengthFromHeaders, ReadsTheAnnouncedLength) {
    const LengthCase& c = GetParam();
    const std::u16string block = kStatus + c.headers + u"\r\n";
    EXPECT_EQ(ContentLength::FromHeaders(block), c.length);
}

INSTANTIATE_TEST_SUITE_P(Headers, ContentLengthFromHeaders, ::testing::ValuesIn(kLengthCases),
                         [](const ::testing::TestParamInfo<LengthCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

TEST(ContentLength, AHeaderCountsOnlyWithALineEndAfterIt) {
    EXPECT_EQ(ContentLength::FromHeaders(u""), 0);
    EXPECT_EQ(ContentLength::FromHeaders(u"Content-Length: 100"), 0);
    EXPECT_EQ(ContentLength::FromHeaders(u"Content-Range: bytes 0-9/77\r\nContent-Length: 100"),
              77);
}

struct EndCase {
    int32_t start;
    int32_t length;
    std::optional<int32_t> end;
};

const EndCase kEndCases[] = {
    {0, 100, 100},
    {5000, 95000, 100000},
    {0, 0, 0},
    {0, INT32_MAX, INT32_MAX},
    {1, INT32_MAX - 1, INT32_MAX},
    {1, INT32_MAX, std::nullopt},  // would wrap negative
    {INT32_MAX, INT32_MAX, std::nullopt},
    {-10, 5, std::nullopt},  // before the file
    {-10, 10, 0},
};

TEST(ContentLength, RangeEndStaysInTheSignedRange) {
    for (const EndCase& c : kEndCases) {
        EXPECT_EQ(ContentLength::RangeEnd(c.start, c.length), c.end)
            << c.start << " + " << c.length;
    }
}
}  // namespace
