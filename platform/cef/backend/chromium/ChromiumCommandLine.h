// How the engine starts Chromium: headless, with DevTools on a port of its
// choosing, on the profile folder the application gave as cache folder.
// The Windows command line is one string that the started program splits
// again (CommandLineToArgvW's rules, which Wine follows for a Unix program
// too), so every argument is quoted to come out of that split unchanged.
#pragma once

#include <string>
#include <vector>

namespace cefimpl::chromium {

// Chromium refuses to run its sandbox as root (as tests here and some
// containers run); it is left off only then.
enum class Sandbox { kOn, kOff };

// The arguments after the program, in order.
std::vector<std::u16string> ChromiumArguments(const std::u16string& userDataDir,
                                              Sandbox sandbox = Sandbox::kOn);

// The program (quoted when it holds a blank; a file name holds no quote)
// and each argument, separated by blanks.
std::u16string WindowsCommandLine(const std::u16string& program,
                                  const std::vector<std::u16string>& arguments);

// One argument as the split gives it back: untouched when it has no blank,
// tab, line break or quote, else in quotes with quotes and the backslashes
// before them escaped.
std::u16string QuotedArgument(const std::u16string& argument);

}  // namespace cefimpl::chromium
