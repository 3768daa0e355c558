// The application's hooks into the engine, in every process.
#pragma once

#include "cef/CefBrowser.h"
#include "cef/CefCommandLine.h"
#include "cef/CefV8.h"
#include "cef/CefValues.h"

class CefBrowserProcessHandler : public virtual CefBase {
public:
    // Engine UI thread, once the engine context exists.
    virtual void OnContextInitialized() {}
};

class CefRenderProcessHandler : public virtual CefBase {
public:
    // Render thread, for every new script context (main frame and sub-frames).
    virtual void OnContextCreated(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                  CefRefPtr<CefV8Context>) {}
    // Render thread. True when the message was handled.
    virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser>, CefProcessId sourceProcess,
                                          CefRefPtr<CefProcessMessage> message) {
        (void)sourceProcess, (void)message;
        return false;
    }
};

class CefApp : public virtual CefBase {
public:
    // Every process, on its main thread, before the engine reads its switches.
    // The browser process passes an empty process type.
    virtual void OnBeforeCommandLineProcessing(const CefString& processType,
                                               CefRefPtr<CefCommandLine> commandLine) {
        (void)processType, (void)commandLine;
    }
    virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() { return nullptr; }
    virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};
