// A render process that dies or sends garbage: the browser process neither
// hangs nor falls over, says so, and starts a new render process on the
// next navigation.
#include "EngineTestSupport.h"
#include "HostWindow.h"
#include "RecordCursor.h"

#include "cef/CefTesting.h"
#include "cef/backend/UniqueHandle.h"

#include <gtest/gtest.h>

namespace {

using namespace cef_testing;

class RenderFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_client = new TestClient();
        m_browser = OpenBrowser(m_client, m_host.Handle(), "http://failure.test/");
        ASSERT_TRUE(m_browser);
        m_id = m_browser->GetIdentifier();
        m_pid = RenderProcessId(m_id);
        ASSERT_NE(m_pid, 0u);
    }

    bool EchoWorks() {
        m_client->Clear();
        CefRefPtr<CefProcessMessage> echo = CefProcessMessage::Create("Echo");
        echo->GetArgumentList()->SetString(0, "alive?");
        return m_browser->SendProcessMessage(PID_RENDERER, echo) &&
               m_client->WaitFor("OnProcessMessageReceived", nullptr, [](const ClientEvent& e) {
                   return e.message->GetName() == CefString("Echo-reply");
               });
    }

    // The browser goes on: its window stays, and the next load brings a new
    // render process that answers.
    void ExpectRecovery(const RecordCursor& records) {
        EXPECT_TRUE(IsWindow(m_browser->GetHost()->GetWindowHandle()));
        EXPECT_FALSE(
            m_browser->SendProcessMessage(PID_RENDERER, CefProcessMessage::Create("Echo")));
        m_client->Clear();
        m_browser->GetMainFrame()->LoadURL("http://failure.test/after");
        Record started;
        ASSERT_TRUE(records.WaitFor("render-started", m_id, &started));
        EXPECT_NE(started.fields[0], U16(std::to_string(m_pid)));
        ASSERT_TRUE(m_client->WaitForContext(u""));
        EXPECT_TRUE(m_client->WaitFor("OnLoadEnd"));
        EXPECT_NE(RenderProcessId(m_id), 0u);
        EXPECT_TRUE(EchoWorks());
    }

    void TearDown() override {
        if (m_browser) m_browser->GetHost()->CloseBrowser(true);
        if (m_client) m_client->WaitFor("OnBeforeClose");
    }

    HostWindow m_host;
    CefRefPtr<TestClient> m_client;
    CefRefPtr<CefBrowser> m_browser;
    int m_id = 0;
    uint32_t m_pid = 0;
};

TEST_F(RenderFailureTest, KilledWhileMessagesFlow) {
    RecordCursor records;
    CefRefPtr<CefProcessMessage> flood = CefProcessMessage::Create("Flood");
    flood->GetArgumentList()->SetInt(0, 100000);
    ASSERT_TRUE(m_browser->SendProcessMessage(PID_RENDERER, flood));
    ASSERT_TRUE(m_client->WaitFor("OnProcessMessageReceived", nullptr, [](const ClientEvent& e) {
        return e.message->GetName() == CefString("Flood-reply");
    }));
    // Messages keep going out as the process dies under them.
    ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(KillRenderProcess(m_id));
    for (int i = 0; i < 200; ++i) {
        CefRefPtr<CefProcessMessage> echo = CefProcessMessage::Create("Echo");
        echo->GetArgumentList()->SetString(0, std::u16string(10000, u'x'));
        m_browser->SendProcessMessage(PID_RENDERER, echo);
    }
    EXPECT_LT(GetTickCount64() - start, 2000u) << "sending must never wait on the dead process";
    Record ended;
    ASSERT_TRUE(records.WaitFor("render-ended", m_id, &ended));
    EXPECT_EQ(ended.fields, (std::vector<std::u16string>{U16(std::to_string(m_pid)), u"killed"}));
    ASSERT_TRUE(PumpUntil([&] { return RenderProcessId(m_id) == 0; }));
    ExpectRecovery(records);
}

TEST_F(RenderFailureTest, EveryKindOfGarbageEndsOnlyTheRenderProcess) {
    const int kinds[] = {kGarbageOversized, kGarbageUnknownType, kGarbageBadPayload};
    for (int kind : kinds) {
        SCOPED_TRACE("garbage kind " + std::to_string(kind));
        m_pid = RenderProcessId(m_id);
        ASSERT_NE(m_pid, 0u);
        RecordCursor records;
        ASSERT_TRUE(RenderSendsGarbage(m_id, kind));
        Record error, ended;
        ASSERT_TRUE(records.WaitFor("protocol-error", m_id, &error));
        EXPECT_FALSE(error.fields.empty() || error.fields[0].empty());
        ASSERT_TRUE(records.WaitFor("render-ended", m_id, &ended));
        EXPECT_EQ(ended.fields[1], u"protocol-error");
        // Ended for good, not left running.
        cefimpl::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, m_pid));
        if (process) {
            EXPECT_EQ(WaitForSingleObject(process.get(), 5000), WAIT_OBJECT_0);
        }
        ExpectRecovery(records);
    }
}

}  // namespace
