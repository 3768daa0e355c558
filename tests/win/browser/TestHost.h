// A plain top-level window that stands in for the client's browser host
// windows: it records every browser message it receives, decoded while the
// pointers in it are still valid, and answers with configurable results.
#pragma once

#include "browser/BrowserMessages.h"
#include "cef/CefBrowser.h"

#include <map>
#include <string>
#include <vector>

struct HostMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    // True for a send from another thread, as the engine threads do.
    bool crossThread = false;
    // Texts of wParam and lParam, for the messages that carry them.
    std::u16string text;
    std::u16string text2;
    bool textWasNull = false;
    // WM_BROWSER_POPGAMEWINDOW: the process message.
    std::u16string messageName;
    std::vector<std::u16string> args;
    std::vector<int> argTypes;
    // WM_BROWSER_AFTERCREATED: the identifier the browser object reports.
    int browserId = 0;
    BrowserDownloadState download = {};
    // WM_BROWSER_AUTHCREDENTIALS: both buffers arrived as empty strings.
    bool credentialsStartedEmpty = false;
};

class TestHost {
public:
    TestHost();
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    HWND Window() const { return m_window; }
    // The browser that reported itself last, or null.
    CefRefPtr<CefBrowser> Browser() const { return m_browser; }
    void ReleaseBrowser() { m_browser = nullptr; }

    // Forgets the messages seen and every configured answer.
    void Reset();
    void SetResult(UINT message, LRESULT result) { m_results[message] = result; }
    // What the host writes into a WM_BROWSER_AUTHCREDENTIALS record.
    void SetCredentials(const std::wstring& user, const std::wstring& password);
    // Fills both buffers to the last character, leaving no terminating NUL.
    void SetCredentialsWithoutTerminator() { m_fillWithoutTerminator = true; }

    const std::vector<HostMessage>& Messages() const { return m_messages; }
    std::vector<HostMessage> MessagesOf(UINT message) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnBrowserMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Decode(HostMessage& record);
    void FillCredentials(BrowserAuthRequest& request) const;

    HWND m_window = nullptr;
    CefRefPtr<CefBrowser> m_browser;
    std::vector<HostMessage> m_messages;
    std::map<UINT, LRESULT> m_results;
    std::wstring m_user;
    std::wstring m_password;
    bool m_fillCredentials = false;
    bool m_fillWithoutTerminator = false;
};
