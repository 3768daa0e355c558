// The client's application object towards the engine, one per process: it
// adjusts every process's command line, creates the browser process's client
// handler, runs the page bridge in render processes and creates the host
// windows' browsers.
#pragma once

#include "browser/ClientHandler.h"
#include "cef/CefApp.h"

#include <atomic>

class ClientApp : public CefApp, public CefBrowserProcessHandler, public CefRenderProcessHandler {
public:
    ClientApp() = default;

    // CefApp
    void OnBeforeCommandLineProcessing(const CefString& processType,
                                       CefRefPtr<CefCommandLine> commandLine) override;
    CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override { return this; }
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }

    // CefBrowserProcessHandler
    void OnContextInitialized() override;

    // CefRenderProcessHandler
    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override;
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess,
                                  CefRefPtr<CefProcessMessage> message) override;

    // Main thread. Asks for a windowed child browser of `parent` filling
    // `rect`; true when the engine accepted the request. The browser reports
    // itself to `parent` with WM_BROWSER_AFTERCREATED.
    bool CreateBrowser(HWND parent, const RECT& rect, const wchar_t* url);

private:
    // Main thread. The engine's UI thread sets the handler shortly after
    // cef_initialize returns; a host window created in that gap waits for it.
    CefRefPtr<ClientHandler> WaitForHandler();

    CefRefPtr<ClientHandler> m_handler;
    // Published after m_handler is written, so the main thread reads it whole.
    std::atomic<bool> m_handlerReady{false};
    // Main thread only: once a wait has run out, later browsers do not wait.
    bool m_handlerWaitExpired = false;

    IMPLEMENT_REFCOUNTING(ClientApp);
};
