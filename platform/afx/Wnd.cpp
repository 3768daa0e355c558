#include "afx/Afx.h"
#include "afx/CreationHook.h"

#include <memory>
#include <unordered_map>

// ---- Handle maps, one per thread --------------------------------------------

namespace {
struct HandleMaps {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
};
// Only trivially destructible thread-local objects: with mingw-w64's
// emulated thread-local storage, the thread-exit destructors of objects such
// as maps corrupted the heap when worker threads ended. The maps live on the
// heap instead; a framework thread frees its own when it ends.
thread_local HandleMaps* t_maps = nullptr;

HandleMaps& Maps() {
    if (!t_maps) t_maps = new HandleMaps;
    return *t_maps;
}

// The message being dispatched, so a handler can ask for its default
// processing without repeating the parameters.
struct CurrentMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
thread_local CurrentMessage t_current;
}  // namespace

CWnd* CWnd::FromHandlePermanent(HWND window) {
    if (!t_maps) return nullptr;
    auto found = t_maps->permanent.find(window);
    return found == t_maps->permanent.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND window) {
    if (!window) return nullptr;
    if (CWnd* permanent = FromHandlePermanent(window)) return permanent;
    std::unique_ptr<CWnd>& temporary = Maps().temporary[window];
    if (!temporary) {
        temporary = std::make_unique<CWnd>();
        temporary->m_hWnd = window;
    }
    return temporary.get();
}

void CWnd::DeleteTempMap() {
    if (!t_maps) return;
    for (auto& entry : t_maps->temporary) entry.second->m_hWnd = nullptr;
    t_maps->temporary.clear();
}

void CWnd::DeleteThreadMaps() {
    DeleteTempMap();
    delete t_maps;
    t_maps = nullptr;
}

BOOL CWnd::Attach(HWND window) {
    if (!window || m_hWnd) return FALSE;
    m_hWnd = window;
    Maps().permanent[window] = this;
    Maps().temporary.erase(window);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND window = m_hWnd;
    if (window && t_maps) t_maps->permanent.erase(window);
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::SubclassWindow(HWND window) {
    if (!Attach(window)) return FALSE;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    return TRUE;
}

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        HWND window = m_hWnd;
        Detach();
        if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
            ::DestroyWindow(window);
        }
    }
}

// ---- Creation --------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    (void)cs;
    return TRUE;
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, CCreateContext* context) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), context);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, LPVOID param) {
    CREATESTRUCTW cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = style;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) return FALSE;

    HWND window;
    {
        AfxCreationHook hook(this);
        window =
            CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                            cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    }
    if (!window && m_hWnd) Detach();  // creation failed after the hook bound it
    return window != nullptr;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

// ---- Dispatch ----------------------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = CWnd::FromHandlePermanent(window);
    if (!object) return DefWindowProcW(window, message, wParam, lParam);

    CurrentMessage saved = t_current;
    t_current = {message, wParam, lParam};
    LRESULT result = object->WindowProc(message, wParam, lParam);
    t_current = saved;

    if (message == WM_NCDESTROY && object->m_hWnd == window) {
        // Put the original procedure back so late messages find no object.
        if (object->m_pfnSuper) {
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object->m_pfnSuper));
        }
        object->Detach();
        CWinApp* app = AfxGetApp();
        if (app && app->m_hMainWnd == window) {
            app->m_hMainWnd = nullptr;
            PostQuitMessage(0);
        }
        object->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *result = 0;
        return TRUE;
    }
    const AfxMessageEntry* entry = FindMessageEntry(message, 0, 0);
    if (!entry || !entry->onMessage) return FALSE;
    *result = (this->*entry->onMessage)(wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG* msg) {
    (void)msg;
    return FALSE;
}

// ---- Helpers -------------------------------------------------------------------

CString CWnd::GetWindowText() const {
    int length = GetWindowTextLengthW(m_hWnd);
    std::wstring text(length + 1, L'\0');
    int copied = ::GetWindowTextW(m_hWnd, &text[0], length + 1);
    text.resize(copied > 0 ? copied : 0);
    return CString(text);
}

static BOOL ModifyLong(HWND window, int index, DWORD remove, DWORD add, UINT flags) {
    DWORD old = static_cast<DWORD>(GetWindowLongW(window, index));
    DWORD now = (old & ~remove) | add;
    if (now == old) return FALSE;
    SetWindowLongW(window, index, static_cast<LONG>(now));
    if (flags) {
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    return ModifyLong(m_hWnd, GWL_STYLE, remove, add, flags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, flags);
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    RECT area;
    HWND owner = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    bool onOwner = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
    if (onOwner) {
        ::GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own;
    GetWindowRect(&own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = area.left + ((area.right - area.left) - width) / 2;
    int y = area.top + ((area.bottom - area.top) - height) / 2;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL AfxRegisterClass(WNDCLASSW* windowClass) {
    WNDCLASSW existing;
    if (GetClassInfoW(windowClass->hInstance, windowClass->lpszClassName, &existing)) return TRUE;
    return RegisterClassW(windowClass) != 0;
}
