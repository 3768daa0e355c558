// The engine's entry points: the process split, start and stop.
#include "cef/CefProcess.h"

#include "cef/CefClient.h"
#include "cef/backend/CommandLineImpl.h"
#include "cef/backend/Engine.h"
#include "cef/backend/RenderProcess.h"

int cef_execute_process(const CefMainArgs&, CefRefPtr<CefApp> application, void*) {
    CefRefPtr<cefimpl::CefCommandLineImpl> commandLine = cefimpl::CefCommandLineImpl::Global();
    CefString type = commandLine->GetSwitchValue("type");
    // The browser process's hook runs in cef_initialize, with an empty type.
    if (type.empty()) return -1;
    if (application) application->OnBeforeCommandLineProcessing(type, commandLine.get());
    if (type == CefString("renderer")) {
        return cefimpl::RenderProcess(application, commandLine.get()).Run();
    }
    // No other sub-process has work to do here.
    return 0;
}

int cef_initialize(const CefMainArgs&, const CefSettings& settings, CefRefPtr<CefApp> application,
                   void*) {
    return cefimpl::Engine::Get().Initialize(settings, application) ? 1 : 0;
}

void cef_shutdown() { cefimpl::Engine::Get().Shutdown(); }

bool CefBrowserHost::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                                   const CefString& url, const CefBrowserSettings& settings,
                                   CefRefPtr<CefRequestContext>) {
    return cefimpl::Engine::Get().CreateBrowser(windowInfo, client, url, settings, false);
}
