// The engine application of the test program, in every process it runs as.
// Like the client's, its hook adds two switches everywhere. In render
// processes it installs script functions and answers process messages, so
// that tests in the browser process can observe the render side:
//
//   every new context   -> "ContextCreated" [frame name, is main, url, frame id,
//                                            on render thread]
//   function Report(...) -> "Reported" [each argument's string value...,
//                                       on render thread]
//   function Throw()     -> exception "thrown"; function Decline() -> not handled
//   "Echo" [args]        -> "Echo-reply" [the same args]
//   "Flood" [n]          -> n x "Flood-reply" [i]
//   "Focused"            -> "Focused-reply" [has node, has title, title, tag,
//                                            focused frame name]
//   "SetBodyAttribute" [name, value] -> "Body-set" [had body]
//   "Threads"            -> "Threads-reply" [on render thread, on UI thread]
//   "Browser"            -> "Browser-reply" [identifier, has a host, main frame
//                                            is main, frame count]
#pragma once

#include "cef/CefApp.h"

#include <atomic>
#include <string>

class TestApp : public CefApp, public CefBrowserProcessHandler, public CefRenderProcessHandler {
public:
    void OnBeforeCommandLineProcessing(const CefString& processType,
                                       CefRefPtr<CefCommandLine> commandLine) override;
    CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override { return this; }
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }

    void OnContextInitialized() override;

    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override;
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess,
                                  CefRefPtr<CefProcessMessage> message) override;

    // Where OnContextInitialized ran: "UI", "IO" or "other"; empty before.
    static std::string ContextInitializedThread();

    IMPLEMENT_REFCOUNTING(TestApp);
};
