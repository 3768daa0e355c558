// The update flow's rules that need no Win32: which version is newer, which
// package source is taken, which object paths are fetched, and the updater's
// file name and command line.
#pragma once

#include "layout/LayoutConfig.h"

#include <cstdint>
#include <string>

namespace UpdateRules {

// The two downloads of the update flow, the tag of their events, the port
// of every update host and the package download's buffer.
constexpr int kManifestDownload = 1;
constexpr int kPackageDownload = 2;
constexpr int kDownloadTag = 1000;
constexpr int kUpdatePort = 80;
constexpr int kPackageBufferSize = 2097152;

// The client's version words (high = major * 65536 + minor, low = build *
// 65536 + revision) against the manifest's, compared as unsigned numbers:
// true when the manifest's version is newer.
bool IsOutOfDate(uint32_t clientHigh, uint32_t clientLow, int32_t major, int32_t minor);

// The item index for a draw `r` of rand() (0 ... 32767) among `count`
// items: r * count / 32767, at most count - 1. count must be above 0.
size_t PickSource(int r, size_t count);

// Where the manifest of `server` is fetched: its path followed by its file,
// nothing added, nothing encoded.
std::u16string ManifestObjectPath(const UpdateServer& server);
// Where the package of a manifest item is fetched: its path followed by its
// file URL-encoded as UTF-8.
std::u16string PackageObjectPath(const UpdateServer& item);

// "<tempDir>\update<name><ext>" for the package "<...>\<name><ext>". The
// temporary directory ends in a backslash already, so the result holds two
// in a row, which the file system accepts.
std::u16string UpdaterPath(const std::u16string& tempDir, const std::u16string& packagePath);
// " -u -p<pid> \"<package>\" \"<client exe>\"", cut to `limit` - 1
// characters like text placed in a buffer of `limit` characters.
std::u16string UpdaterCommandLine(uint32_t processId, const std::u16string& packagePath,
                                  const std::u16string& clientExe, size_t limit = 16384);

}  // namespace UpdateRules
