#include "services/UpdateRules.h"

#include "layout/TextCodec.h"
#include "services/UrlCodec.h"

namespace UpdateRules {

bool IsOutOfDate(uint32_t clientHigh, uint32_t clientLow, int32_t major, int32_t minor) {
    const auto newHigh = static_cast<uint32_t>(major);
    const auto newLow = static_cast<uint32_t>(minor);
    return clientHigh < newHigh || (clientHigh == newHigh && clientLow < newLow);
}

size_t PickSource(int r, size_t count) {
    const size_t index = static_cast<size_t>(r) * count / 32767;
    return index < count ? index : count - 1;
}

std::u16string ManifestObjectPath(const UpdateServer& server) { return server.path + server.file; }

std::u16string PackageObjectPath(const UpdateServer& item) {
    return item.path + Utf8ToUtf16(UrlEncode(Utf16ToUtf8(item.file)));
}

std::u16string UpdaterPath(const std::u16string& tempDir, const std::u16string& packagePath) {
    const size_t separator = packagePath.find_last_of(u"\\/");
    const std::u16string fileName =
        separator == std::u16string::npos ? packagePath : packagePath.substr(separator + 1);
    const size_t dot = fileName.rfind(u'.');
    const std::u16string stem = dot == std::u16string::npos ? fileName : fileName.substr(0, dot);
    const std::u16string extension = dot == std::u16string::npos ? u"" : fileName.substr(dot);
    return tempDir + u"\\update" + stem + extension;
}

std::u16string UpdaterCommandLine(uint32_t processId, const std::u16string& packagePath,
                                  const std::u16string& clientExe, size_t limit) {
    const std::string pid = std::to_string(processId);
    std::u16string line = u" -u -p" + std::u16string(pid.begin(), pid.end()) + u" \"" +
                          packagePath + u"\" \"" + clientExe + u"\"";
    if (limit > 0 && line.size() > limit - 1) line.resize(limit - 1);
    return line;
}

}  // namespace UpdateRules
