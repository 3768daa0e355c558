// The client of a browser and the handler interfaces it hands out. Every
// callback has an engine default: do nothing, return false or no object.
#pragma once

#include "cef/CefBrowser.h"
#include "cef/CefValues.h"

#include <cstdint>

class CefContextMenuHandler;
class CefDisplayHandler;
class CefDownloadHandler;
class CefJSDialogHandler;
class CefLifeSpanHandler;
class CefLoadHandler;
class CefRequestHandler;

class CefClient : public virtual CefBase {
public:
    virtual CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() { return nullptr; }
    virtual CefRefPtr<CefDisplayHandler> GetDisplayHandler() { return nullptr; }
    virtual CefRefPtr<CefDownloadHandler> GetDownloadHandler() { return nullptr; }
    virtual CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() { return nullptr; }
    virtual CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() { return nullptr; }
    virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
    virtual CefRefPtr<CefRequestHandler> GetRequestHandler() { return nullptr; }
    // UI thread. True when the message was handled.
    virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                          CefProcessId sourceProcess,
                                          CefRefPtr<CefProcessMessage> message) {
        (void)browser, (void)sourceProcess, (void)message;
        return false;
    }
};

// ---- Context menus (UI thread) -------------------------------------------

enum cef_context_menu_type_flags_t {
    CM_TYPEFLAG_NONE = 0,
    CM_TYPEFLAG_PAGE = 1 << 0,
    CM_TYPEFLAG_FRAME = 1 << 1,
    CM_TYPEFLAG_LINK = 1 << 2,
    CM_TYPEFLAG_MEDIA = 1 << 3,
    CM_TYPEFLAG_SELECTION = 1 << 4,
    CM_TYPEFLAG_EDITABLE = 1 << 5,
};

enum cef_event_flags_t { EVENTFLAG_NONE = 0 };

class CefContextMenuParams : public virtual CefBase {
public:
    virtual int GetTypeFlags() = 0;
    virtual int GetXCoord() = 0;
    virtual int GetYCoord() = 0;
};

class CefMenuModel : public virtual CefBase {
public:
    virtual int GetCount() = 0;
    virtual bool Clear() = 0;
    virtual bool AddItem(int commandId, const CefString& label) = 0;
};

class CefContextMenuHandler : public virtual CefBase {
public:
    virtual void OnBeforeContextMenu(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                     CefRefPtr<CefContextMenuParams>, CefRefPtr<CefMenuModel>) {}
    virtual bool OnContextMenuCommand(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                      CefRefPtr<CefContextMenuParams>, int commandId,
                                      cef_event_flags_t eventFlags) {
        (void)commandId, (void)eventFlags;
        return false;
    }
};

// ---- Display (UI thread) ---------------------------------------------------

class CefDisplayHandler : public virtual CefBase {
public:
    virtual void OnAddressChange(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString&) {}
    virtual void OnTitleChange(CefRefPtr<CefBrowser>, const CefString&) {}
    virtual void OnStatusMessage(CefRefPtr<CefBrowser>, const CefString&) {}
    // True stops the message from reaching the engine's console log.
    virtual bool OnConsoleMessage(CefRefPtr<CefBrowser>, const CefString& message,
                                  const CefString& source, int line) {
        (void)message, (void)source, (void)line;
        return false;
    }
};

// ---- Downloads (UI thread) -------------------------------------------------

class CefDownloadItem : public virtual CefBase {
public:
    virtual bool IsValid() = 0;
    virtual bool IsInProgress() = 0;
    virtual bool IsComplete() = 0;
    virtual bool IsCanceled() = 0;
    virtual int64_t GetCurrentSpeed() = 0;
    // -1 when the total size is unknown.
    virtual int GetPercentComplete() = 0;
    virtual int64_t GetTotalBytes() = 0;
    virtual int64_t GetReceivedBytes() = 0;
    virtual CefString GetURL() = 0;
    virtual CefString GetSuggestedFileName() = 0;
    virtual CefString GetFullPath() = 0;
};

class CefBeforeDownloadCallback : public virtual CefBase {
public:
    virtual void Continue(const CefString& downloadPath, bool showDialog) = 0;
};

class CefDownloadItemCallback : public virtual CefBase {
public:
    virtual void Cancel() = 0;
};

class CefDownloadHandler : public virtual CefBase {
public:
    // Without a Continue on the callback the download does not start.
    virtual void OnBeforeDownload(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem>,
                                  const CefString& suggestedName,
                                  CefRefPtr<CefBeforeDownloadCallback>) = 0;
    virtual void OnDownloadUpdated(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem>,
                                   CefRefPtr<CefDownloadItemCallback>) {}
};

// ---- Life span -----------------------------------------------------------

class CefLifeSpanHandler : public virtual CefBase {
public:
    // IO thread. True cancels the popup.
    virtual bool OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                               const CefString& targetUrl, const CefString& targetFrameName,
                               const CefPopupFeatures& popupFeatures,
                               CefWindowInfo& windowInfo, CefRefPtr<CefClient>& client,
                               CefBrowserSettings& settings, bool* noJavascriptAccess) {
        (void)targetUrl, (void)targetFrameName, (void)popupFeatures, (void)windowInfo;
        (void)client, (void)settings, (void)noJavascriptAccess;
        return false;
    }
    // UI thread from here on.
    virtual void OnAfterCreated(CefRefPtr<CefBrowser>) {}
    virtual bool RunModal(CefRefPtr<CefBrowser>) { return false; }
    virtual bool DoClose(CefRefPtr<CefBrowser>) { return false; }
    virtual void OnBeforeClose(CefRefPtr<CefBrowser>) {}
};

// ---- Loading (UI thread) ---------------------------------------------------

enum cef_errorcode_t {
    ERR_NONE = 0,
    ERR_FAILED = -2,
    ERR_ABORTED = -3,
    ERR_CONNECTION_REFUSED = -102,
    ERR_NAME_NOT_RESOLVED = -105,
};
using ErrorCode = cef_errorcode_t;

class CefLoadHandler : public virtual CefBase {
public:
    virtual void OnLoadingStateChange(CefRefPtr<CefBrowser>, bool isLoading, bool canGoBack,
                                      bool canGoForward) {
        (void)isLoading, (void)canGoBack, (void)canGoForward;
    }
    virtual void OnLoadStart(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>) {}
    virtual void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, int httpStatusCode) {
        (void)httpStatusCode;
    }
    virtual void OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, ErrorCode errorCode,
                             const CefString& errorText, const CefString& failedUrl) {
        (void)errorCode, (void)errorText, (void)failedUrl;
    }
};

// ---- Requests ------------------------------------------------------------

class CefRequest : public virtual CefBase {
public:
    virtual CefString GetURL() = 0;
    virtual CefString GetMethod() = 0;
};

class CefAuthCallback : public virtual CefBase {
public:
    virtual void Continue(const CefString& username, const CefString& password) = 0;
    virtual void Cancel() = 0;
};

class CefRequestHandler : public virtual CefBase {
public:
    // UI thread. True cancels the navigation.
    virtual bool OnBeforeBrowse(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                CefRefPtr<CefRequest>, bool isRedirect) {
        (void)isRedirect;
        return false;
    }
    // IO thread. True means the callback will be (or was) run; false cancels.
    virtual bool GetAuthCredentials(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, bool isProxy,
                                    const CefString& host, int port, const CefString& realm,
                                    const CefString& scheme, CefRefPtr<CefAuthCallback>) {
        (void)isProxy, (void)host, (void)port, (void)realm, (void)scheme;
        return false;
    }
    // UI thread.
    virtual void OnProtocolExecution(CefRefPtr<CefBrowser>, const CefString& url,
                                     bool& allowOsExecution) {
        (void)url, (void)allowOsExecution;
    }
};

// ---- Script dialogs (UI thread) --------------------------------------------

class CefJSDialogCallback : public virtual CefBase {
public:
    virtual void Continue(bool success, const CefString& userInput) = 0;
};

class CefJSDialogHandler : public virtual CefBase {
public:
    // True when the handler takes care of the dialog (and runs the callback,
    // or does not); false lets the engine show its own.
    virtual bool OnBeforeUnloadDialog(CefRefPtr<CefBrowser>, const CefString& messageText,
                                      bool isReload, CefRefPtr<CefJSDialogCallback>) {
        (void)messageText, (void)isReload;
        return false;
    }
};
