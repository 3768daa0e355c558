#include "TestHost.h"

#include "cef/CefValues.h"

#include <algorithm>
#include <cwchar>

namespace {

const wchar_t kClassName[] = L"AshgroveBrowserTestHost";

bool IsBrowserMessage(UINT message) {
    return message >= WM_BROWSER_LOADEND && message <= WM_BROWSER_AUTHCREDENTIALS;
}

std::u16string Text(const wchar_t* text) {
    if (!text) return std::u16string();
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

void RegisterHostClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), kClassName, &wc)) return;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
}

}  // namespace

TestHost::TestHost() {
    RegisterHostClass();
    m_window =
        CreateWindowExW(0, kClassName, L"browser test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        0, 0, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TestHost::WindowProc));
}

TestHost::~TestHost() {
    m_browser = nullptr;
    SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    DestroyWindow(m_window);
}

void TestHost::Reset() {
    m_messages.clear();
    m_results.clear();
    m_user.clear();
    m_password.clear();
    m_fillCredentials = false;
    m_fillWithoutTerminator = false;
}

void TestHost::SetCredentials(const std::wstring& user, const std::wstring& password) {
    m_user = user;
    m_password = password;
    m_fillCredentials = true;
}

std::vector<HostMessage> TestHost::MessagesOf(UINT message) const {
    std::vector<HostMessage> found;
    std::copy_if(m_messages.begin(), m_messages.end(), std::back_inserter(found),
                 [message](const HostMessage& m) { return m.message == message; });
    return found;
}

LRESULT CALLBACK TestHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<TestHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host && IsBrowserMessage(message)) return host->OnBrowserMessage(message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TestHost::OnBrowserMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HostMessage record;
    record.message = message;
    record.wParam = wParam;
    record.lParam = lParam;
    record.crossThread = InSendMessage() != FALSE;
    Decode(record);
    if (message == WM_BROWSER_AUTHCREDENTIALS) {
        auto* request = reinterpret_cast<BrowserAuthRequest*>(wParam);
        record.text = Text(request->host);
        record.text2 = Text(request->realm);
        record.credentialsStartedEmpty = request->user[0] == 0 && request->password[0] == 0;
        FillCredentials(*request);
    }
    m_messages.push_back(record);
    auto result = m_results.find(message);
    return result == m_results.end() ? 0 : result->second;
}

void TestHost::Decode(HostMessage& record) {
    const auto* wText = reinterpret_cast<const wchar_t*>(record.wParam);
    switch (record.message) {
        case WM_BROWSER_TITLECHANGE:
        case WM_BROWSER_ADDRESSCHANGE:
        case WM_BROWSER_STATUSMESSAGE:
        case WM_BROWSER_NAMENOTRESOLVED:
        case WM_BROWSER_BEFOREBROWSE:
            record.text = Text(wText);
            record.textWasNull = wText == nullptr;
            break;
        case WM_BROWSER_BEFOREPOPUP:
            record.text = Text(wText);
            record.textWasNull = wText == nullptr;
            record.text2 = Text(reinterpret_cast<const wchar_t*>(record.lParam));
            break;
        case WM_BROWSER_POPGAMEWINDOW: {
            auto* message = reinterpret_cast<CefProcessMessage*>(record.wParam);
            record.messageName = message->GetName().ToString16();
            CefRefPtr<CefListValue> args = message->GetArgumentList();
            for (size_t i = 0; args && i < args->GetSize(); ++i) {
                record.args.push_back(args->GetString(i).ToString16());
                record.argTypes.push_back(args->GetType(i));
            }
            break;
        }
        case WM_BROWSER_AFTERCREATED:
            m_browser = reinterpret_cast<CefBrowser*>(record.lParam);
            record.browserId = m_browser ? m_browser->GetIdentifier() : 0;
            break;
        case WM_BROWSER_DOWNLOADUPDATED:
            record.download = *reinterpret_cast<const BrowserDownloadState*>(record.wParam);
            break;
        default:
            break;
    }
}

void TestHost::FillCredentials(BrowserAuthRequest& request) const {
    if (m_fillWithoutTerminator) {
        std::fill(std::begin(request.user), std::end(request.user), L'u');
        std::fill(std::begin(request.password), std::end(request.password), L'p');
        return;
    }
    if (!m_fillCredentials) return;
    wcsncpy(request.user, m_user.c_str(), kBrowserAuthTextChars - 1);
    wcsncpy(request.password, m_password.c_str(), kBrowserAuthTextChars - 1);
}
