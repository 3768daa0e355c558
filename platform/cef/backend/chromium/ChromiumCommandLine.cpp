#include "cef/backend/chromium/ChromiumCommandLine.h"

namespace cefimpl::chromium {
namespace {

bool NeedsQuotes(const std::u16string& argument) {
    return argument.empty() || argument.find_first_of(u" \t\n\v\"") != std::u16string::npos;
}

}  // namespace

std::vector<std::u16string> ChromiumArguments(const std::u16string& userDataDir, Sandbox sandbox) {
    std::vector<std::u16string> arguments = {
        u"--headless=new",
        // Port 0: Chromium picks a free port and reports it, so two
        // clients never race for one.
        u"--remote-debugging-port=0",
        u"--user-data-dir=" + userDataDir,
        u"--no-first-run",
        u"--no-default-browser-check",
        // Frames come to us as screencast pictures; Wine offers no GPU.
        u"--disable-gpu",
        // No downloads of its own components and lists at start-up: the
        // browser shows the portal's pages and nothing else.
        u"--disable-background-networking",
        u"--disable-component-update",
    };
    if (sandbox == Sandbox::kOff) arguments.push_back(u"--no-sandbox");
    arguments.push_back(u"about:blank");
    return arguments;
}

std::u16string WindowsCommandLine(const std::u16string& program,
                                  const std::vector<std::u16string>& arguments) {
    // The program name is split by quotes alone, without escapes.
    std::u16string line =
        program.find_first_of(u" \t") == std::u16string::npos ? program : u"\"" + program + u"\"";
    for (const std::u16string& argument : arguments) line += u" " + QuotedArgument(argument);
    return line;
}

std::u16string QuotedArgument(const std::u16string& argument) {
    if (!NeedsQuotes(argument)) return argument;
    std::u16string quoted = u"\"";
    size_t backslashes = 0;
    for (char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote escape it; elsewhere they are literal.
        quoted.append(c == u'"' ? 2 * backslashes + 1 : backslashes, u'\\');
        quoted += c;
        backslashes = 0;
    }
    // ... and before the closing quote they must not escape it.
    quoted.append(2 * backslashes, u'\\');
    return quoted + u"\"";
}

}  // namespace cefimpl::chromium
