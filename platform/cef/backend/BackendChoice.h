// Which backend this process uses, decided once: the --engine-backend
// switch, else the PLOVER_ENGINE_BACKEND environment variable, else the
// default.
#pragma once

#include "cef/CefCommandLine.h"

#include <string>

namespace cefimpl {

struct BackendChoice {
    enum Kind { kTest, kChromium, kUnknown } kind = kTest;
    std::string name;  // as given; "test" by default
    bool chosenExplicitly = false;

    static BackendChoice Decide(CefRefPtr<CefCommandLine> commandLine);
};

}  // namespace cefimpl
