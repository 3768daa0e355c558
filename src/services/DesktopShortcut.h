// A shell link (.lnk) written through the shell's link object.
#pragma once

#include <string>

// Saves a link at `linkPath`, replacing any file there, to `target` with the
// working directory and description given, shown normally, without
// arguments or hot key. COM must be initialised on the thread. False, with
// nothing written, when the link object or its persistence fails.
bool SaveShellLink(const std::wstring& linkPath, const std::wstring& target,
                   const std::wstring& workingDirectory, const std::wstring& description);
