// The engine's error numbers for the network errors Chromium names in
// text ("net::ERR_NAME_NOT_RESOLVED"), as a load error reports them.
#pragma once

#include <string>

namespace cefimpl::chromium {

// -2 (ERR_FAILED) for a name we do not know, 0 for no error.
int NetErrorCode(const std::string& errorText);

}  // namespace cefimpl::chromium
