// The SHA-256 check of a downloaded update package against the digest its
// manifest item announced.
#pragma once

#include "afx/Afx.h"

#include <string>

// True when the file at `path` has the SHA-256 `expected` (64 hex digits,
// either case). False when it differs, when `expected` is not such a
// digest, or when the file cannot be read; `actual` then tells which.
bool PackageMatchesDigest(LPCWSTR path, const std::string& expected, std::string* actual);
