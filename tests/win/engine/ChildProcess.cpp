#include "ChildProcess.h"

#include "EngineTestSupport.h"

#include <vector>

namespace {

using cefimpl::UniqueHandle;

// Both ends of a pipe; the child's end inheritable.
bool MakePipe(UniqueHandle& ours, UniqueHandle& theirs, bool childReads) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) return false;
    ours.reset(childReads ? write : read);
    theirs.reset(childReads ? read : write);
    SetHandleInformation(ours.get(), HANDLE_FLAG_INHERIT, 0);
    return true;
}

std::vector<wchar_t> EnvironmentBlock(const std::map<std::wstring, std::wstring>& changes) {
    std::map<std::wstring, std::wstring> variables;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
        std::wstring text(entry);
        size_t equals = text.find(L'=', 1);
        if (equals != std::wstring::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& change : changes) {
        if (change.second.empty()) {
            variables.erase(change.first);
        } else {
            variables[change.first] = change.second;
        }
    }
    std::vector<wchar_t> block;
    for (const auto& variable : variables) {
        std::wstring entry = variable.first + L"=" + variable.second;
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

}  // namespace

ChildProcess::~ChildProcess() {
    if (m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.get(), 1);
    }
    m_input.reset();
    if (m_outputReader.joinable()) m_outputReader.join();
    if (m_errorReader.joinable()) m_errorReader.join();
}

bool ChildProcess::Start(const std::wstring& arguments,
                         const std::map<std::wstring, std::wstring>& environment) {
    UniqueHandle childInput, childOutput, childErrors;
    if (!MakePipe(m_input, childInput, true) || !MakePipe(m_output, childOutput, false) ||
        !MakePipe(m_errors, childErrors, false)) {
        return false;
    }
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\" " + arguments;
    std::vector<wchar_t> block = EnvironmentBlock(environment);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput.get();
    startup.hStdOutput = childOutput.get();
    startup.hStdError = childErrors.get();
    PROCESS_INFORMATION info = {};
    // Detached from this program's console, which under Wine a child's end
    // can otherwise bring down; its output goes to the pipes all the same.
    if (!CreateProcessW(exe, &commandLine[0], nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT | DETACHED_PROCESS, block.data(), nullptr,
                        &startup, &info)) {
        return false;
    }
    m_process.reset(info.hProcess);
    UniqueHandle thread(info.hThread);
    m_outputReader = std::thread([this] { Drain(m_output.get(), m_outputText); });
    m_errorReader = std::thread([this] { Drain(m_errors.get(), m_errorText); });
    return true;
}

void ChildProcess::Drain(HANDLE pipe, std::string& into) {
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        std::lock_guard<std::mutex> lock(m_mutex);
        into.append(buffer, read);
    }
}

void ChildProcess::CloseInput() { m_input.reset(); }

int ChildProcess::Wait(unsigned timeoutMs) {
    if (!m_process) return -1;
    bool ended = PumpUntil(
        [this] { return WaitForSingleObject(m_process.get(), 0) == WAIT_OBJECT_0; }, timeoutMs);
    if (!ended) TerminateProcess(m_process.get(), 1);
    WaitForSingleObject(m_process.get(), INFINITE);
    // The child's render processes may hold the pipes a moment longer.
    if (m_outputReader.joinable()) m_outputReader.join();
    if (m_errorReader.joinable()) m_errorReader.join();
    DWORD code = 0;
    GetExitCodeProcess(m_process.get(), &code);
    return ended ? static_cast<int>(code) : -1;
}

std::string ChildProcess::Output() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_outputText;
}

std::string ChildProcess::Errors() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_errorText;
}

bool ChildProcess::WaitForOutput(const std::string& text, unsigned timeoutMs) {
    return PumpUntil([&] { return Output().find(text) != std::string::npos; }, timeoutMs);
}
