// The test backend's automation: tests drive a browser's page and observe
// what the engine was asked to do. In-process for tests that link the engine;
// the same operations are served on a loopback TCP port when the process is
// started with --engine-automation=<port> (and only then).
//
// Every driving call is asynchronous: it hands the event to the engine
// thread that owns it and returns at once (false for an unknown browser or
// when the engine does not run). Engine callbacks reach windows by
// SendMessageW, so a test waits for results while pumping its own messages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cef_testing {

struct ScriptArg {
    enum Kind { kUndefined, kNull, kBool, kInt, kDouble, kString } kind = kUndefined;
    bool boolValue = false;
    int intValue = 0;
    double doubleValue = 0;
    std::u16string stringValue;

    static ScriptArg String(const std::u16string& text);
    static ScriptArg Int(int value);
    static ScriptArg Double(double value);
    static ScriptArg Bool(bool value);
    static ScriptArg Null();
};

struct DownloadProgress {
    bool inProgress = true;
    bool complete = false;
    bool canceled = false;
    int percent = -1;
    int64_t speed = 0;
    int64_t received = 0;
    int64_t total = 0;
};

// What the engine observed or was asked to do, in order. Kinds and fields
// (a field longer than 65536 UTF-16 units is cut there):
//   "browser-created"    id, parent HWND (decimal), url
//   "browser-failed"     error code                (its window could not be made)
//   "browser-closed"     (none)
//   "load-url"           url                      (CefFrame::LoadURL from the client)
//   "reload"             url
//   "reload-ignore-cache" url
//   "host-focus"         "1" | "0"
//   "navigation"         url, "allowed" | "canceled"
//   "popup"              url, frame name, "canceled" | "opened"
//   "auth"               "continued" | "canceled", user, password
//   "download"           path, "dialog" | "no-dialog" | "refused"
//   "download-canceled"  url                      (the client canceled it)
//   "context-menu"       type flags, entries left
//   "before-unload"      "suppressed" | "dialog"
//   "console"            "swallowed" | "logged"
//   "cookie"             url, name, value, domain, path, secure, httponly,
//                        has_expires, "io" | "wrong-thread", "set" | "refused"
//   "to-render"          message name, arguments...   (browser -> render)
//   "to-browser"         message name, arguments...   (render -> browser)
//   "body-attribute"     frame index, name, value | "", "body" | "no-body"
//                                                 (reply to QueryBodyAttribute)
//   "script-call"        frame index, function name, "handled" | "not-handled" |
//                        "exception: <text>" | "no-function" | "no-frame"
//                                                 (reply to CallFunction)
//   "render-started"     pid, the render process's command line
//   "render-ended"       pid, "closed" | "killed" | "protocol-error" |
//                        "connect-failed" | "launch-failed" | "exited <code>" |
//                        "broken-pipe"
//   "protocol-error"     what was wrong           (the render process is ended)
//   "automation-error"   what was wrong           (e.g. "no frame 3")
//   "thread-violation"   expected thread, function
struct Record {
    int browserId = 0;
    std::string kind;
    std::vector<std::u16string> fields;
};

bool IsTestBackend();
std::vector<int> BrowserIds();
// Records since the given sequence number; `next` receives the number to
// pass next time.
std::vector<Record> RecordsSince(size_t from, size_t* next);

// ---- The page ----------------------------------------------------------
// A load that ends in `frames` frames (main frame first, sub-frames named
// "frame1", ...): context created in each, load end for each with the status,
// then the loading state goes idle.
bool FinishLoad(int browserId, int frames, int httpStatus, const std::u16string& mainUrl);
bool ChangeTitle(int browserId, const std::u16string& title);
bool ChangeAddress(int browserId, int frameIndex, const std::u16string& url);
bool ChangeLoadingState(int browserId, bool loading, bool canGoBack, bool canGoForward);
bool ChangeStatus(int browserId, const std::u16string& text);
bool ReportLoadError(int browserId, int frameIndex, int errorCode, const std::u16string& url);
bool ConsoleMessage(int browserId, const std::u16string& text);
// Calls a function of the frame's global object in the render process.
bool CallFunction(int browserId, int frameIndex, const std::u16string& name,
                  const std::vector<ScriptArg>& args);
// Gives the focus to an element of the frame (with a title attribute when
// `title` is given), or to none.
bool FocusElement(int browserId, int frameIndex, bool element, bool hasTitle,
                  const std::u16string& title);
bool SetHasBody(int browserId, int frameIndex, bool hasBody);
bool QueryBodyAttribute(int browserId, int frameIndex, const std::u16string& name);
bool RequestPopup(int browserId, int frameIndex, const std::u16string& url,
                  const std::u16string& frameName);
bool RequestCredentials(int browserId, bool isProxy, const std::u16string& host, int port,
                        const std::u16string& realm, const std::u16string& scheme);
bool StartDownload(int browserId, const std::u16string& url, const std::u16string& suggestedName,
                   const std::vector<DownloadProgress>& progress);
bool OpenContextMenu(int browserId, int typeFlags, int entries);
bool BeforeUnload(int browserId);
// Browsers asked for from now on arrive this much later (at most 10 s), as
// on a loaded machine; 0 ends the delay.
bool DelayBrowsers(int milliseconds);
// Ends the browser's render process the hard way, as a crash would.
bool KillRenderProcess(int browserId);
// 0 while the browser has no render process running.
uint32_t RenderProcessId(int browserId);

// Makes the browser's render process write a malformed frame to the browser
// process, which must end that render process and carry on.
enum GarbageKind {
    kGarbageOversized = 1,    // a length prefix beyond the frame size limit
    kGarbageUnknownType = 2,  // a well-formed frame of no known message type
    kGarbageBadPayload = 3,   // a message whose fields run past its frame
};
bool RenderSendsGarbage(int browserId, int kind);

}  // namespace cef_testing
