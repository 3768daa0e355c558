#include "HostWindow.h"

namespace {

const wchar_t kClass[] = L"EngineTestHost";
constexpr UINT kRunMessage = WM_APP + 77;

}  // namespace

HostWindow::HostWindow() {
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &HostWindow::WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        return RegisterClassExW(&wc) != 0;
    }();
    if (registered) {
        m_window =
            CreateWindowExW(0, kClass, L"engine test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            360, 260, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
}

HostWindow::~HostWindow() {
    if (m_window) DestroyWindow(m_window);
}

void HostWindow::RunOnOwner(const std::function<void()>& work) const {
    SendMessageW(m_window, kRunMessage, reinterpret_cast<WPARAM>(&work), 0);
}

LRESULT CALLBACK HostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunMessage) {
        (*reinterpret_cast<const std::function<void()>*>(wParam))();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
