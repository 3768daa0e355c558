#include "cef/backend/BackendChoice.h"

#include <windows.h>

#include <mutex>

namespace cefimpl {
namespace {

std::string EnvironmentValue(const wchar_t* name) {
    wchar_t value[256];
    DWORD length = GetEnvironmentVariableW(name, value, 256);
    if (length == 0 || length >= 256) return std::string();
    return CefString(std::wstring(value, length)).ToString();
}

BackendChoice FromName(const std::string& name) {
    BackendChoice choice;
    choice.name = name;
    choice.chosenExplicitly = true;
    if (name == "test") {
        choice.kind = BackendChoice::kTest;
    } else if (name == "chromium") {
        choice.kind = BackendChoice::kChromium;
    } else {
        choice.kind = BackendChoice::kUnknown;
    }
    return choice;
}

}  // namespace

BackendChoice BackendChoice::Decide(CefRefPtr<CefCommandLine> commandLine) {
    static std::once_flag once;
    static BackendChoice decided;
    std::call_once(once, [&] {
        std::string fromSwitch =
            commandLine ? commandLine->GetSwitchValue("engine-backend").ToString() : std::string();
        std::string fromEnvironment = EnvironmentValue(L"PLOVER_ENGINE_BACKEND");
        if (!fromSwitch.empty()) {
            decided = FromName(fromSwitch);
        } else if (!fromEnvironment.empty()) {
            decided = FromName(fromEnvironment);
        } else {
            decided.kind = kTest;
            decided.name = "test";
        }
    });
    return decided;
}

}  // namespace cefimpl
