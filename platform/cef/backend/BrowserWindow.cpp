#include "cef/backend/BrowserWindow.h"

#include "cef/backend/BrowserHostImpl.h"
#include "cef/backend/Engine.h"
#include "cef/backend/EngineBackend.h"

namespace cefimpl {
namespace {

const wchar_t kWindowClass[] = L"AshgroveEngineBrowser";

bool RegisterWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

BrowserHostImpl* BrowserOf(HWND window) {
    return reinterpret_cast<BrowserHostImpl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

HWND BrowserWindow::Create(BrowserHostImpl& browser, const CefWindowInfo& info, bool isPopup) {
    if (!RegisterWindowClass(&BrowserWindow::WindowProc)) return nullptr;
    DWORD style = info.style;
    int x = info.x, y = info.y, width = info.width, height = info.height;
    // A popup the client left alone becomes an ordinary top-level window.
    if (!info.parent_window && style == 0) {
        style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
        x = y = CW_USEDEFAULT;
        width = width > 0 ? width : 640;
        height = height > 0 ? height : 480;
    }
    std::wstring name =
        isPopup && info.window_name.empty() ? L"Popup" : info.window_name.ToWString();
    return CreateWindowExW(info.ex_style, kWindowClass, name.c_str(), style, x, y, width, height,
                           info.parent_window, info.parent_window ? info.menu : nullptr,
                           GetModuleHandleW(nullptr), &browser);
}

LRESULT CALLBACK BrowserWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (BrowserHostImpl* browser = BrowserOf(window)) {
        EngineBackend* backend = Engine::Get().Backend();
        LRESULT result = 0;
        if (backend && backend->HandleInput(*browser, window, message, wParam, lParam, result)) {
            return result;
        }
    }
    switch (message) {
        case WM_NCCREATE: {
            auto* browser = static_cast<BrowserHostImpl*>(
                reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            // The window keeps its browser alive until it is gone.
            browser->AddRef();
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(browser));
            browser->AttachWindow(window);
            break;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            if (BrowserHostImpl* browser = BrowserOf(window)) {
                if (EngineBackend* backend = Engine::Get().Backend()) {
                    backend->Resized(*browser, LOWORD(lParam), HIWORD(lParam));
                }
            }
            break;
        case WM_PAINT:
            if (BrowserHostImpl* browser = BrowserOf(window)) {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(window, &paint);
                Paint(window, dc, *browser);
                EndPaint(window, &paint);
                return 0;
            }
            break;
        case WM_PRINTCLIENT:
            // PrintWindow (screenshots of a covered or hidden window) lands here.
            if (BrowserHostImpl* browser = BrowserOf(window)) {
                Paint(window, reinterpret_cast<HDC>(wParam), *browser);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            if (BrowserHostImpl* browser = BrowserOf(window)) {
                SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                browser->OnWindowDestroyed();
                browser->Release();
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void BrowserWindow::Paint(HWND window, HDC dc, BrowserHostImpl& browser) {
    RECT client;
    GetClientRect(window, &client);
    if (EngineBackend* backend = Engine::Get().Backend()) {
        backend->Paint(browser, dc, client);
    } else {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
}

}  // namespace cefimpl
