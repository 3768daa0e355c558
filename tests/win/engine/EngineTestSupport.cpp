#include "EngineTestSupport.h"

#include <windows.h>

bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount64() >= deadline) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void PumpFor(unsigned milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

CefRefPtr<CefBrowser> OpenBrowser(CefRefPtr<TestClient> client, HWND parent, const CefString& url) {
    CefWindowInfo info;
    info.SetAsChild(parent, RECT{0, 0, 320, 200});
    CefBrowserSettings settings;
    if (!CefBrowserHost::CreateBrowser(info, client.get(), url, settings, nullptr)) return nullptr;
    ClientEvent created;
    if (!client->WaitFor("OnAfterCreated", &created,
                         [](const ClientEvent& e) { return !e.isPopup; })) {
        return nullptr;
    }
    if (!url.empty() && !client->WaitForContext(u"")) return nullptr;
    return created.browser;
}

std::u16string U16(const std::string& utf8) { return CefString(utf8).ToString16(); }
