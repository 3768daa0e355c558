// Starting and stopping the engine. One executable serves as the browser
// process and as every engine sub-process.
#pragma once

#include "cef/CefApp.h"

struct CefMainArgs {
    CefMainArgs() = default;
    explicit CefMainArgs(HINSTANCE instance) : instance(instance) {}
    HINSTANCE instance = nullptr;
};

enum cef_log_severity_t { LOGSEVERITY_DEFAULT = 0, LOGSEVERITY_DISABLE = 99 };

struct CefSettings {
    size_t size = sizeof(CefSettings);
    bool single_process = false;
    bool no_sandbox = false;
    CefString browser_subprocess_path;
    bool multi_threaded_message_loop = false;
    bool windowless_rendering_enabled = false;
    bool command_line_args_disabled = false;
    CefString cache_path;
    bool persist_session_cookies = false;
    CefString user_agent;
    CefString locale;
    CefString log_file;
    cef_log_severity_t log_severity = LOGSEVERITY_DEFAULT;
    int remote_debugging_port = 0;
};

// In an engine sub-process (a command line with --type=...): runs it and
// returns its exit code, 0 or more. In the browser process: -1 at once.
int cef_execute_process(const CefMainArgs& args, CefRefPtr<CefApp> application,
                        void* windowsSandboxInfo);
// Starts the engine in the browser process. With multi_threaded_message_loop
// the engine runs its own UI and IO threads. False when it cannot start.
int cef_initialize(const CefMainArgs& args, const CefSettings& settings,
                   CefRefPtr<CefApp> application, void* windowsSandboxInfo);
// Ends every sub-process and engine thread and returns; later calls (and a
// call without an engine) do nothing.
void cef_shutdown();
