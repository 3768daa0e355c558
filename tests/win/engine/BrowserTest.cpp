#include "BrowserTest.h"

std::unique_ptr<HostWindow> BrowserTest::s_host;
CefRefPtr<TestClient> BrowserTest::s_client;
CefRefPtr<CefBrowser> BrowserTest::s_browser;

void BrowserTest::SetUpTestSuite() {
    s_host.reset(new HostWindow());
    s_client = new TestClient();
    s_browser = OpenBrowser(s_client, s_host->Handle());
}

void BrowserTest::TearDownTestSuite() {
    s_browser = nullptr;
    // The browser window goes with its parent, as in the client.
    s_host.reset();
    s_client = nullptr;
}

void BrowserTest::SetUp() {
    ASSERT_TRUE(s_browser) << "the suite's browser did not open";
    s_client->ResetAnswers();
    s_client->Clear();
}

bool BrowserTest::Ask(CefRefPtr<CefProcessMessage> message, const std::string& replyName,
                      ClientEvent* reply) {
    s_client->Clear();
    if (!s_browser->SendProcessMessage(PID_RENDERER, message)) return false;
    return s_client->WaitFor("OnProcessMessageReceived", reply, [&](const ClientEvent& e) {
        return e.message->GetName().ToString() == replyName;
    });
}

bool BrowserTest::Load(const CefString& url) {
    s_client->Clear();
    s_browser->GetMainFrame()->LoadURL(url);
    return s_client->WaitFor("OnProcessMessageReceived", nullptr, [&](const ClientEvent& e) {
        CefRefPtr<CefListValue> args = e.message->GetArgumentList();
        return e.message->GetName() == CefString("ContextCreated") && args->GetBool(1) &&
               args->GetString(2) == url;
    }) && s_client->WaitFor("OnLoadingStateChange", nullptr, [](const ClientEvent& e) {
        return e.numbers[0] == 0;
    });
}
