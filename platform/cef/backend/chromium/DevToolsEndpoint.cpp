#include "cef/backend/chromium/DevToolsEndpoint.h"

namespace cefimpl::chromium {
namespace {

constexpr std::string_view kListeningPrefix = "DevTools listening on ";
constexpr std::string_view kBrowserPath = "/devtools/browser/";

DevToolsEndpoint Malformed(std::string error) {
    DevToolsEndpoint endpoint;
    endpoint.state = DevToolsEndpoint::kMalformed;
    endpoint.error = std::move(error);
    return endpoint;
}

// Chromium on Windows may end its lines with a carriage return.
std::string_view WithoutCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The browser target's address, or why `url` is not one.
DevToolsEndpoint FromAddress(std::string_view url) {
    const std::optional<WebSocketUrl> parsed = WebSocketUrl::Parse(url);
    if (!parsed) return Malformed("not a ws:// address: \"" + std::string(url) + "\"");
    if (parsed->path.size() <= kBrowserPath.size() ||
        parsed->path.compare(0, kBrowserPath.size(), kBrowserPath) != 0) {
        return Malformed("not a browser target: \"" + std::string(url) + "\"");
    }
    DevToolsEndpoint endpoint;
    endpoint.state = DevToolsEndpoint::kFound;
    endpoint.url = *parsed;
    return endpoint;
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

DevToolsEndpoint DevToolsEndpoint::FromStandardError(std::string_view output) {
    size_t end;
    while ((end = output.find('\n')) != std::string_view::npos) {
        const std::string_view line = WithoutCarriageReturn(output.substr(0, end));
        output.remove_prefix(end + 1);
        if (line.substr(0, kListeningPrefix.size()) == kListeningPrefix) {
            return FromAddress(line.substr(kListeningPrefix.size()));
        }
    }
    return DevToolsEndpoint();
}

DevToolsEndpoint DevToolsEndpoint::FromActivePortFile(std::string_view contents) {
    const size_t end = contents.find('\n');
    if (end == std::string_view::npos) return Malformed("DevToolsActivePort has no second line");
    const std::string_view port = WithoutCarriageReturn(contents.substr(0, end));
    std::string_view path = contents.substr(end + 1);
    path = WithoutCarriageReturn(path.substr(0, path.find('\n')));
    if (!AllDigits(port))
        return Malformed("DevToolsActivePort has no port: \"" + std::string(port) + "\"");
    return FromAddress("ws://127.0.0.1:" + std::string(port) + std::string(path));
}

}  // namespace cefimpl::chromium
