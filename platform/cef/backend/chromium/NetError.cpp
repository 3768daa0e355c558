#include "cef/backend/chromium/NetError.h"

#include <cstring>

namespace cefimpl::chromium {

int NetErrorCode(const std::string& errorText) {
    static const struct {
        const char* name;
        int code;
    } kErrors[] = {
        {"ERR_FAILED", -2},
        {"ERR_ABORTED", -3},
        {"ERR_TIMED_OUT", -7},
        {"ERR_ACCESS_DENIED", -10},
        {"ERR_BLOCKED_BY_CLIENT", -20},
        {"ERR_CONNECTION_CLOSED", -100},
        {"ERR_CONNECTION_RESET", -101},
        {"ERR_CONNECTION_REFUSED", -102},
        {"ERR_CONNECTION_ABORTED", -103},
        {"ERR_CONNECTION_FAILED", -104},
        {"ERR_NAME_NOT_RESOLVED", -105},
        {"ERR_INTERNET_DISCONNECTED", -106},
        {"ERR_SSL_PROTOCOL_ERROR", -107},
        {"ERR_ADDRESS_INVALID", -108},
        {"ERR_ADDRESS_UNREACHABLE", -109},
        {"ERR_CONNECTION_TIMED_OUT", -118},
        {"ERR_NAME_RESOLUTION_FAILED", -137},
        {"ERR_INVALID_URL", -300},
        {"ERR_DISALLOWED_URL_SCHEME", -301},
        {"ERR_UNKNOWN_URL_SCHEME", -302},
        {"ERR_TOO_MANY_REDIRECTS", -310},
        {"ERR_EMPTY_RESPONSE", -324},
        {"ERR_CERT_COMMON_NAME_INVALID", -200},
        {"ERR_CERT_DATE_INVALID", -201},
        {"ERR_CERT_AUTHORITY_INVALID", -202},
    };
    if (errorText.empty()) return 0;
    std::string name = errorText;
    if (name.compare(0, 5, "net::") == 0) name.erase(0, 5);
    for (const auto& error : kErrors) {
        if (name == error.name) return error.code;
    }
    return -2;
}

}  // namespace cefimpl::chromium
