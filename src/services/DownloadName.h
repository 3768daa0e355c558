// The local file name of a download: the part of its object path after the
// last "/", URL-decoded. The package's path comes from the update manifest,
// which arrives over plain HTTP, so a name is only used when it is a plain
// file name that cannot leave the temporary directory it is joined to.
#pragma once

#include <optional>
#include <string>

namespace DownloadName {

// The decoded last segment of `objectPath` (the whole path when it has no
// "/"): wide -> UTF-8 -> UrlDecode -> UTF-8 -> wide.
std::u16string FromObjectPath(const std::u16string& objectPath);

// Whether `name` is a plain file name on Windows: not empty, not "." or
// "..", no path separator, drive colon or other character Windows forbids
// in names (< > : " / \ | ? *), no control character, and no trailing blank
// or dot (Windows would strip them and name another file).
bool IsSafe(const std::u16string& name);

// FromObjectPath when the result IsSafe, else nullopt.
std::optional<std::u16string> SafeFromObjectPath(const std::u16string& objectPath);

}  // namespace DownloadName
