// Tests against one browser per suite (each browser costs a render process).
// Every test starts with the client's default answers and an empty log.
#pragma once

#include "EngineTestSupport.h"
#include "HostWindow.h"
#include "RecordCursor.h"
#include "TestClient.h"

#include <gtest/gtest.h>

#include <memory>

class BrowserTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    int Id() const { return s_browser->GetIdentifier(); }
    // Sends a process message to the render process and waits for the
    // test app's reply named `replyName`.
    bool Ask(CefRefPtr<CefProcessMessage> message, const std::string& replyName,
             ClientEvent* reply = nullptr);
    // Loads `url` in the main frame and waits until its script context is up.
    bool Load(const CefString& url);

    static std::unique_ptr<HostWindow> s_host;
    static CefRefPtr<TestClient> s_client;
    static CefRefPtr<CefBrowser> s_browser;
};
