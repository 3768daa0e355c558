// Command lines as the engine reads and writes them.
#include "cef/CefCommandLine.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::u16string> Argv(CefRefPtr<CefCommandLine> line) {
    std::vector<std::u16string> argv;
    for (const CefString& word : line->GetArgv()) argv.push_back(word.ToString16());
    return argv;
}

CefRefPtr<CefCommandLine> Parse(const std::u16string& text) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    line->InitFromString(text);
    return line;
}

struct SplitCase {
    std::u16string text;
    std::vector<std::u16string> argv;
};

TEST(CommandLineTest, SplitsAsTheRuntimeDoes) {
    const SplitCase cases[] = {
        {u"prog a b", {u"prog", u"a", u"b"}},
        {u"  prog\t a  ", {u"prog", u"a"}},
        {u"\"C:\\Program Files\\p.exe\" x", {u"C:\\Program Files\\p.exe", u"x"}},
        {u"C:\\dir\\p.exe \"a b\" c", {u"C:\\dir\\p.exe", u"a b", u"c"}},
        {u"p a\\b \\\\server", {u"p", u"a\\b", u"\\\\server"}},
        {u"p \\\"q\\\"", {u"p", u"\"q\""}},
        {u"p \"a\\\\\" b", {u"p", u"a\\", u"b"}},
        {u"p \"\"", {u"p", u""}},
        {u"", {}},
    };
    for (const SplitCase& c : cases) {
        CefRefPtr<CefCommandLine> line = Parse(c.text);
        std::vector<std::u16string> argv =
            c.argv.empty() ? std::vector<std::u16string>{u""} : c.argv;
        EXPECT_EQ(Argv(line), argv) << CefString(c.text).ToString();
    }
}

TEST(CommandLineTest, ReadsSwitchesWithoutCaseAndArgumentsAfterTheSeparator) {
    CefRefPtr<CefCommandLine> line =
        Parse(u"prog --Type=renderer --flag arg -- --not-a-switch --engine-x=1");
    EXPECT_EQ(line->GetProgram(), CefString("prog"));
    EXPECT_TRUE(line->HasSwitch("type"));
    EXPECT_EQ(line->GetSwitchValue("TYPE"), CefString("renderer"));
    EXPECT_TRUE(line->HasSwitch("flag"));
    EXPECT_TRUE(line->GetSwitchValue("flag").empty());
    EXPECT_FALSE(line->HasSwitch("not-a-switch"));
    EXPECT_FALSE(line->HasSwitch("engine-x"));
    EXPECT_FALSE(line->HasSwitch("arg"));
}

TEST(CommandLineTest, AppendSwitchKeepsEveryCopyAndTheLastValueWins) {
    CefRefPtr<CefCommandLine> line = Parse(u"prog --disable-web-security file.txt");
    line->AppendSwitch("disable-web-security");
    line->AppendSwitchWithValue("lang", "en");
    line->AppendSwitchWithValue("lang", "zh CN");
    std::u16string text = line->GetCommandLineString().ToString16();
    size_t first = text.find(u"--disable-web-security");
    ASSERT_NE(first, std::u16string::npos);
    EXPECT_NE(text.find(u"--disable-web-security", first + 1), std::u16string::npos)
        << CefString(text).ToString();
    EXPECT_EQ(line->GetSwitchValue("lang"), CefString("zh CN"));
    // Switches stay ahead of the arguments.
    EXPECT_EQ(Argv(line).back(), u"file.txt");
}

TEST(CommandLineTest, ItsStringReadsBackToTheSameWords) {
    CefRefPtr<CefCommandLine> line = Parse(u"\"C:\\Program Files\\p.exe\"");
    line->AppendSwitchWithValue("path", u"C:\\a b\\");
    line->AppendSwitchWithValue("quote", u"say \"hi\"");
    line->AppendSwitch("plain");
    line->AppendArgument(u"two words");
    line->AppendArgument(u"--looks-like-a-switch");
    line->AppendArgument(u"中文");
    CefRefPtr<CefCommandLine> again = Parse(line->GetCommandLineString().ToString16());
    EXPECT_EQ(Argv(again), Argv(line));
    EXPECT_EQ(again->GetSwitchValue("path"), CefString(u"C:\\a b\\"));
    EXPECT_EQ(again->GetSwitchValue("quote"), CefString(u"say \"hi\""));
    EXPECT_FALSE(again->HasSwitch("looks-like-a-switch"));
}

}  // namespace
