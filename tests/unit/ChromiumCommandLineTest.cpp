// Chromium's start-up arguments, and quoting that survives the Windows
// command-line split.
#include "cef/backend/chromium/ChromiumCommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace cefimpl::chromium;

// The split CommandLineToArgvW does after the program name: the reference
// the quoting must survive, written out independently here.
std::vector<std::u16string> SplitArguments(const std::u16string& line) {
    std::vector<std::u16string> arguments;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
        if (i == line.size()) break;
        std::u16string argument;
        bool inQuotes = false;
        for (; i < line.size() && (inQuotes || (line[i] != u' ' && line[i] != u'\t')); ++i) {
            size_t slashes = 0;
            while (i < line.size() && line[i] == u'\\') ++slashes, ++i;
            if (i < line.size() && line[i] == u'"') {
                argument.append(slashes / 2, u'\\');
                if (slashes % 2) {
                    argument += u'"';
                } else {
                    inQuotes = !inQuotes;
                }
            } else {
                argument.append(slashes, u'\\');
                if (i == line.size()) break;
                if (!inQuotes && (line[i] == u' ' || line[i] == u'\t')) break;
                argument += line[i];
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

TEST(ChromiumCommandLine, StartsHeadlessWithAPickedPortOnTheGivenProfile) {
    const std::vector<std::u16string> common = {
        u"--headless=new",
        u"--remote-debugging-port=0",
        u"--user-data-dir=C:\\users\\me\\Temp\\cache",
        u"--no-first-run",
        u"--no-default-browser-check",
        u"--disable-gpu",
        u"--disable-background-networking",
        u"--disable-component-update",
    };
    const struct {
        Sandbox sandbox;
        std::vector<std::u16string> after;  // what follows the common part
    } cases[] = {
        {Sandbox::kOn, {u"about:blank"}},
        {Sandbox::kOff, {u"--no-sandbox", u"about:blank"}},
    };
    for (const auto& c : cases) {
        std::vector<std::u16string> expected = common;
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(ChromiumArguments(u"C:\\users\\me\\Temp\\cache", c.sandbox), expected);
    }
}

struct QuoteCase {
    std::u16string argument;
    std::u16string quoted;
};

TEST(ChromiumCommandLine, QuotesOnlyWhatTheSplitWouldChange) {
    const QuoteCase cases[] = {
        {u"--no-first-run", u"--no-first-run"},
        {u"C:\\path\\to\\dir", u"C:\\path\\to\\dir"},  // backslashes alone are literal
        {u"", u"\"\""},
        {u"a b", u"\"a b\""},
        {u"tab\there", u"\"tab\there\""},
        {u"say \"hi\"", u"\"say \\\"hi\\\"\""},
        {u"--user-data-dir=C:\\My Cache\\", u"\"--user-data-dir=C:\\My Cache\\\\\""},
        {u"a\\\"b", u"\"a\\\\\\\"b\""},
        {u"\u4E2D \u6587", u"\"\u4E2D \u6587\""},
    };
    for (const QuoteCase& c : cases) {
        EXPECT_EQ(QuotedArgument(c.argument), c.quoted);
        EXPECT_EQ(SplitArguments(QuotedArgument(c.argument)),
                  std::vector<std::u16string>{c.argument});
    }
}

TEST(ChromiumCommandLine, TheWholeLineSplitsBackIntoTheArguments) {
    const std::vector<std::u16string> arguments =
        ChromiumArguments(u"C:\\users\\Jo \"J\" Doe\\Application Data\\cache\\");
    const std::u16string line = WindowsCommandLine(u"Z:\\usr\\bin\\chromium", arguments);
    EXPECT_EQ(line.substr(0, 20), u"Z:\\usr\\bin\\chromium ");
    EXPECT_EQ(SplitArguments(line.substr(20)), arguments);
    EXPECT_EQ(WindowsCommandLine(u"C:\\Program Files\\Chromium\\chrome.exe", {u"x"}),
              u"\"C:\\Program Files\\Chromium\\chrome.exe\" x");
}

}  // namespace
