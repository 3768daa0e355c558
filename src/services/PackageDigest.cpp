#include "services/PackageDigest.h"

#include "afx/File.h"
#include "services/Sha256.h"

#include <algorithm>
#include <cctype>
#include <vector>

bool PackageMatchesDigest(LPCWSTR path, const std::string& expected, std::string* actual) {
    *actual = "(unreadable)";
    if (!Sha256::IsHexDigest(expected)) {
        *actual = "(the manifest's digest is not 64 hex digits)";
        return false;
    }
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) return false;
    Sha256 sha;
    std::vector<char> block(1 << 20);
    for (;;) {
        const UINT read = file.Read(block.data(), static_cast<UINT>(block.size()));
        if (read == 0) break;
        sha.Update(block.data(), read);
    }
    *actual = sha.HexDigest();
    std::string wanted = expected;
    std::transform(wanted.begin(), wanted.end(), wanted.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return *actual == wanted;
}
