// browser_tests is also its own engine sub-process, as the client is: the
// engine starts this executable again with --type=... for its render
// processes, and the tests start it for other process types.
#include "BrowserTest.h"
#include "browser/ClientApp.h"
#include "cef/CefProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

// A sub-process started by the tests with --report-command-line=<file>
// writes its command line, as the engine left it, to that file.
void ReportCommandLine() {
    CefRefPtr<CefCommandLine> commandLine = CefCommandLine::GetGlobalCommandLine();
    if (!commandLine || !commandLine->HasSwitch("report-command-line")) return;
    std::ofstream out(commandLine->GetSwitchValue("report-command-line").ToWString().c_str(),
                      std::ios::binary);
    out << commandLine->GetCommandLineString().ToString();
}

std::wstring CachePath() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"ashgrove_browser_tests_cache";
}

}  // namespace

int main(int argc, char** argv) {
    // The pages are driven by the test backend, also where Chromium could be
    // found; the engine's sub-processes inherit the choice.
    SetEnvironmentVariableW(L"PLOVER_ENGINE_BACKEND", L"test");
    CefRefPtr<ClientApp> app = new ClientApp();
    const CefMainArgs mainArgs(GetModuleHandleW(nullptr));
    const int exitCode = cef_execute_process(mainArgs, app.get(), nullptr);
    if (exitCode >= 0) {
        ReportCommandLine();
        return exitCode;
    }

    ::testing::InitGoogleTest(&argc, argv);
    CefSettings settings;
    settings.no_sandbox = true;
    settings.multi_threaded_message_loop = true;
    settings.cache_path = CachePath();
    if (!cef_initialize(mainArgs, settings, app.get(), nullptr)) {
        std::fprintf(stderr, "browser_tests: the engine did not start\n");
        return 1;
    }
    BrowserTest::StartShared(app);
    const int result = RUN_ALL_TESTS();
    BrowserTest::StopShared();
    app = nullptr;
    cef_shutdown();
    return result;
}
