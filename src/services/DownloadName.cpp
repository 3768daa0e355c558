#include "services/DownloadName.h"

#include "layout/TextCodec.h"
#include "services/UrlCodec.h"

namespace DownloadName {

std::u16string FromObjectPath(const std::u16string& objectPath) {
    const size_t slash = objectPath.rfind(u'/');
    const std::u16string segment =
        slash == std::u16string::npos ? objectPath : objectPath.substr(slash + 1);
    return Utf8ToUtf16(UrlDecode(Utf16ToUtf8(segment)));
}

bool IsSafe(const std::u16string& name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    for (const char16_t c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        if (std::u16string(u"<>:\"/\\|?*").find(c) != std::u16string::npos) return false;
    }
    const char16_t last = name.back();
    return last != u' ' && last != u'.';
}

std::optional<std::u16string> SafeFromObjectPath(const std::u16string& objectPath) {
    std::u16string name = FromObjectPath(objectPath);
    if (!IsSafe(name)) return std::nullopt;
    return name;
}

}  // namespace DownloadName
