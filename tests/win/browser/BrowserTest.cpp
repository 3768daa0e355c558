#include "BrowserTest.h"

#include "cef/CefTask.h"

#include <algorithm>

CefRefPtr<ClientApp> BrowserTest::s_app;
std::unique_ptr<TestHost> BrowserTest::s_host;
HostMessage BrowserTest::s_arrival;

namespace {
const char16_t kSyncPrefix[] = u"sync-";

bool IsSync(const std::u16string& text) { return text.rfind(kSyncPrefix, 0) == 0; }
}  // namespace

void BrowserTest::StartShared(CefRefPtr<ClientApp> app) {
    s_app = app;
    s_host = std::make_unique<TestHost>();
    RECT client;
    GetClientRect(s_host->Window(), &client);
    s_app->CreateBrowser(s_host->Window(), client, L"about:blank");
    PumpUntil([] { return !s_host->MessagesOf(WM_BROWSER_AFTERCREATED).empty(); });
    const auto arrivals = s_host->MessagesOf(WM_BROWSER_AFTERCREATED);
    if (!arrivals.empty()) s_arrival = arrivals.front();
}

void BrowserTest::StopShared() {
    s_host.reset();
    s_app = nullptr;
}

void BrowserTest::SetUp() {
    ASSERT_TRUE(cef_testing::IsTestBackend());
    m_browser = s_host->Browser();
    ASSERT_TRUE(m_browser) << "the shared browser never reported itself to its host";
    m_id = m_browser->GetIdentifier();
    // Whatever earlier tests (or the browser's first load) left on the way
    // arrives now, not during this test.
    SyncUi();
    s_host->Reset();
}

void BrowserTest::TearDown() {
    for (const auto& violation : m_records.Of("thread-violation")) {
        ADD_FAILURE() << "engine callback on the wrong thread: "
                      << CefString(violation.fields.at(1)).ToString();
    }
    EXPECT_TRUE(m_records.Of("protocol-error").empty());
    // Engine threads reach the host only by sends from another thread.
    for (const HostMessage& m : s_host->Messages()) {
        EXPECT_TRUE(m.crossThread) << "message 0x" << std::hex << m.message;
    }
    m_browser = nullptr;
}

std::vector<HostMessage> BrowserTest::WaitForHost(UINT message, size_t count) {
    PumpUntil([&] { return s_host->MessagesOf(message).size() >= count; });
    return s_host->MessagesOf(message);
}

void BrowserTest::SyncUi() {
    const std::u16string marker =
        kSyncPrefix + CefString(std::to_string(++m_syncCount)).ToString16();
    ASSERT_TRUE(cef_testing::ChangeStatus(m_id, marker));
    ASSERT_TRUE(PumpUntil([&] {
        const auto seen = s_host->MessagesOf(WM_BROWSER_STATUSMESSAGE);
        return std::any_of(seen.begin(), seen.end(),
                           [&](const HostMessage& m) { return m.text == marker; });
    })) << "the engine UI thread did not answer";
}

void BrowserTest::SyncRender() {
    // The automation's own round trip, then one through the process-message
    // channel: both queues of the render thread are drained.
    const size_t bodyAnswers = m_records.Of("body-attribute", m_id).size();
    ASSERT_TRUE(cef_testing::QueryBodyAttribute(m_id, 0, u"sync"));
    ASSERT_EQ(m_records.WaitFor("body-attribute", m_id, bodyAnswers + 1).size(), bodyAnswers + 1);

    const std::u16string marker =
        kSyncPrefix + CefString(std::to_string(++m_syncCount)).ToString16();
    ASSERT_TRUE(SendToRender(u"PopGameWindow", {marker, u""}));
    ASSERT_TRUE(PumpUntil([&] {
        const auto seen = s_host->MessagesOf(WM_BROWSER_POPGAMEWINDOW);
        return std::any_of(seen.begin(), seen.end(), [&](const HostMessage& m) {
            return !m.args.empty() && m.args[0] == marker;
        });
    })) << "the render process did not answer";
}

bool BrowserTest::SendToRender(const std::u16string& name,
                               const std::vector<std::u16string>& args) {
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name.c_str());
    CefRefPtr<CefListValue> list = message->GetArgumentList();
    for (size_t i = 0; i < args.size(); ++i) list->SetString(i, args[i].c_str());
    return m_browser->SendProcessMessage(PID_RENDERER, message);
}

std::vector<std::vector<std::u16string>> BrowserTest::GameRequests() {
    std::vector<std::vector<std::u16string>> requests;
    for (const HostMessage& m : s_host->MessagesOf(WM_BROWSER_POPGAMEWINDOW)) {
        if (m.args.empty() || !IsSync(m.args[0])) requests.push_back(m.args);
    }
    return requests;
}
