// The process split: one executable is the browser process and every
// engine sub-process, and the application's hook adjusts each one's
// command line.
#include "BrowserTest.h"
#include "ChildProcess.h"

#include "cef/CefProcess.h"

namespace {

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(ProcessTest, TheBrowserProcessIsNoSubProcess) {
    EXPECT_EQ(cef_execute_process(CefMainArgs(GetModuleHandleW(nullptr)), nullptr, nullptr), -1);
}

TEST(ProcessTest, SubProcessesRunAndEnd) {
    struct Case {
        const wchar_t* arguments;
        int exitCode;
    } cases[] = {
        {L"--type=gpu-process", 0},
        {L"--type=utility --lang=en", 0},
        // A render process without its channel has nothing to serve.
        {L"--type=renderer", 1},
    };
    for (const Case& c : cases) {
        ChildProcess child;
        ASSERT_TRUE(child.Start(c.arguments));
        EXPECT_EQ(child.Wait(), c.exitCode) << CefString(c.arguments).ToString();
    }
}

TEST(ProcessTest, TheHookAddsItsSwitchesToASubProcessEvenWhenPresent) {
    ChildProcess child;
    ASSERT_TRUE(child.Start(L"--type=gpu-process --disable-web-security --print-command-line"));
    ASSERT_EQ(child.Wait(), 0);
    std::string line = child.Output();
    EXPECT_EQ(Count(line, "--disable-web-security"), 2) << line;
    EXPECT_EQ(Count(line, "--disable-gpu-compositing"), 1) << line;
    EXPECT_LT(line.find("--type=gpu-process"), line.find("--disable-gpu-compositing"));
}

TEST(ProcessTest, TheHookAdjustedTheBrowserProcess) {
    CefRefPtr<CefCommandLine> line = CefCommandLine::GetGlobalCommandLine();
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->HasSwitch("disable-web-security"));
    EXPECT_TRUE(line->HasSwitch("disable-gpu-compositing"));
    EXPECT_FALSE(line->HasSwitch("type"));
}

using RenderProcessTest = BrowserTest;

TEST_F(RenderProcessTest, StartsFromThisExecutableWithTheHooksSwitches) {
    cef_testing::Record started;
    bool found = false;
    for (auto& record : cef_testing::RecordsSince(0, nullptr)) {
        if (record.kind == "render-started" && record.browserId == Id()) {
            started = record;
            found = true;
        }
    }
    ASSERT_TRUE(found);
    ASSERT_EQ(started.fields.size(), 2u);
    EXPECT_EQ(CefString(started.fields[0]).ToString(),
              std::to_string(cef_testing::RenderProcessId(Id())));
    EXPECT_NE(started.fields[0], u"0");
    std::string line = CefString(started.fields[1]).ToString();
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    EXPECT_NE(line.find(CefString(exe).ToString()), std::string::npos) << line;
    for (const char* expected : {"--type=renderer", "--engine-backend=test", "--engine-channel=",
                                 "--disable-web-security", "--disable-gpu-compositing"}) {
        EXPECT_NE(line.find(expected), std::string::npos) << expected << " in " << line;
    }
    EXPECT_NE(line.find("--engine-browser-id=" + std::to_string(Id())), std::string::npos) << line;
}

TEST_F(RenderProcessTest, TheRenderSideBrowserHasNoHostAndTheSameIdentifier) {
    ASSERT_TRUE(cef_testing::FinishLoad(Id(), 2, 200, u"http://render.test/"));
    ASSERT_TRUE(s_client->WaitForContext(u"frame1"));
    ClientEvent reply;
    ASSERT_TRUE(Ask(CefProcessMessage::Create("Browser"), "Browser-reply", &reply));
    CefRefPtr<CefListValue> args = reply.message->GetArgumentList();
    EXPECT_EQ(args->GetInt(0), Id());
    EXPECT_FALSE(args->GetBool(1));
    EXPECT_TRUE(args->GetBool(2));
    EXPECT_EQ(args->GetInt(3), 2);
}

}  // namespace
