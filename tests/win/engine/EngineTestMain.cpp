// The engine tests' program, which is also its own engine sub-process: the
// engine starts render processes from this executable, as the client's
// engine does from the client's.
#include "EngineChildren.h"
#include "TestApp.h"

#include "cef/CefProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// The main test process runs one engine for all tests, as the client does.
class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        CefSettings settings;
        settings.no_sandbox = true;
        settings.multi_threaded_message_loop = true;
        ASSERT_TRUE(cef_initialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, new TestApp(),
                                   nullptr));
    }
    void TearDown() override { cef_shutdown(); }
};

int RunChild(const std::string& name) {
    static const std::map<std::string, int (*)()> children = {
        {"lifecycle", LifecycleChild},
        {"initialize-only", InitializeOnlyChild},
        {"automation-host", AutomationHostChild},
        {"wrong-thread", WrongThreadChild},
    };
    auto it = children.find(name);
    if (it == children.end()) {
        fprintf(stderr, "unknown child role %s\n", name.c_str());
        return 2;
    }
    return it->second();
}

}  // namespace

int main(int argc, char** argv) {
    int code = cef_execute_process(CefMainArgs(GetModuleHandleW(nullptr)), new TestApp(), nullptr);
    if (code >= 0) {
        // Lets a test see a sub-process's command line after the hook.
        CefRefPtr<CefCommandLine> commandLine = CefCommandLine::GetGlobalCommandLine();
        if (commandLine && commandLine->HasSwitch("print-command-line")) {
            printf("%s\n", commandLine->GetCommandLineString().ToString().c_str());
        }
        return code;
    }
    CefRefPtr<CefCommandLine> commandLine = CefCommandLine::GetGlobalCommandLine();
    if (commandLine && commandLine->HasSwitch("engine-test-child")) {
        int result = RunChild(commandLine->GetSwitchValue("engine-test-child").ToString());
        fflush(stdout);
        fflush(stderr);
        return result;
    }
    // These tests play their pages on the test backend, and so do the
    // children they start, unless a test says otherwise.
    SetEnvironmentVariableW(L"PLOVER_ENGINE_BACKEND", L"test");
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment);
    return RUN_ALL_TESTS();
}
