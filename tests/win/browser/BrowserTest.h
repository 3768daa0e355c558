// The fixture of the tests that drive a real browser: one host window and
// one browser, made by main right after cef_initialize (so the first browser
// is requested before the engine's UI thread may have made the client
// handler) and shared by every test. Each test starts with a silent host.
#pragma once

#include "EngineRecords.h"
#include "TestHost.h"
#include "browser/ClientApp.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class BrowserTest : public ::testing::Test {
public:
    // main: after cef_initialize, and before cef_shutdown.
    static void StartShared(CefRefPtr<ClientApp> app);
    static void StopShared();

protected:
    void SetUp() override;
    void TearDown() override;

    static ClientApp& App() { return *s_app; }
    static TestHost& Host() { return *s_host; }
    // The WM_BROWSER_AFTERCREATED with which the shared browser arrived.
    static const HostMessage& Arrival() { return s_arrival; }

    // Waits until the host has received `count` messages of this kind.
    std::vector<HostMessage> WaitForHost(UINT message, size_t count = 1);
    // Returns once every page event driven before has reached the host
    // (they all run on the engine UI thread, in order).
    void SyncUi();
    // Returns once the render process has handled every process message sent
    // to it before, and every automation call made before.
    void SyncRender();
    bool SendToRender(const std::u16string& name, const std::vector<std::u16string>& args);
    // The game requests that reached the host, without SyncRender's own.
    std::vector<std::vector<std::u16string>> GameRequests();

    CefRefPtr<CefBrowser> m_browser;
    int m_id = 0;
    EngineRecords m_records;

private:
    static CefRefPtr<ClientApp> s_app;
    static std::unique_ptr<TestHost> s_host;
    static HostMessage s_arrival;
    int m_syncCount = 0;
};
