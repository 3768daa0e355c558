// Where a started Chromium's DevTools protocol can be reached: the browser
// target's WebSocket address. Chromium picks a free port when asked for
// port 0 and tells it twice: a line on standard error and the
// DevToolsActivePort file in its profile folder.
#pragma once

#include "cef/backend/chromium/WebSocketUrl.h"

#include <string>
#include <string_view>

namespace cefimpl::chromium {

struct DevToolsEndpoint {
    enum State { kNotFound, kFound, kMalformed } state = kNotFound;
    WebSocketUrl url;   // found
    std::string error;  // malformed: what was wrong, for the log

    // The standard error output read so far. Only whole lines count, so a
    // line still arriving is not taken with half its address; other lines
    // are passed over.
    static DevToolsEndpoint FromStandardError(std::string_view output);

    // The file's contents: the port on the first line, the browser target's
    // path on the second. Chromium listens on loopback.
    static DevToolsEndpoint FromActivePortFile(std::string_view contents);
};

}  // namespace cefimpl::chromium
