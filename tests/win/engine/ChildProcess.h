// This test program started again as a child with other switches (its own
// browser process, a bare sub-process), its output captured.
#pragma once

#include "cef/backend/UniqueHandle.h"

#include <map>
#include <mutex>
#include <string>
#include <thread>

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // `environment` entries replace (or, with an empty value, remove) the
    // variables of this process's environment.
    bool Start(const std::wstring& arguments,
               const std::map<std::wstring, std::wstring>& environment = {});
    // The child's stdin ends: its cue to finish.
    void CloseInput();
    // Waits for the child (pumping messages); its exit code, or -1 when it
    // had to be ended after the timeout.
    int Wait(unsigned timeoutMs = 20000);
    std::string Output();
    std::string Errors();
    // Pumps until the child's output holds `text`.
    bool WaitForOutput(const std::string& text, unsigned timeoutMs = 20000);

private:
    void Drain(HANDLE pipe, std::string& into);

    cefimpl::UniqueHandle m_process;
    cefimpl::UniqueHandle m_input;
    cefimpl::UniqueHandle m_output;
    cefimpl::UniqueHandle m_errors;
    std::thread m_outputReader;
    std::thread m_errorReader;
    std::mutex m_mutex;
    std::string m_outputText;
    std::string m_errorText;
};
