// A command line in the Windows manner: the program, then switches
// ("--name" or "--name=value", names compared without case), then
// arguments. "--" alone ends the switches.
#pragma once

#include "cef/CefCommandLine.h"

#include <mutex>
#include <string>
#include <vector>

namespace cefimpl {

class CefCommandLineImpl : public CefCommandLine {
public:
    // The process's own command line; the first call reads it, and the
    // application's hook adjusts this same object.
    static CefRefPtr<CefCommandLineImpl> Global();
    // Null until Global() has read it.
    static CefRefPtr<CefCommandLineImpl> GlobalIfRead();
    // Splits a command line as the C runtime does (quotes, backslashes).
    static std::vector<std::u16string> Split(const std::u16string& commandLine);

    void InitFromString(const CefString& commandLine) override;
    CefString GetCommandLineString() override;
    CefString GetProgram() override;
    bool HasSwitch(const CefString& name) override;
    CefString GetSwitchValue(const CefString& name) override;
    void AppendSwitch(const CefString& name) override;
    void AppendSwitchWithValue(const CefString& name, const CefString& value) override;
    void AppendArgument(const CefString& argument) override;
    std::vector<CefString> GetArgv() override;

private:
    struct Switch {
        std::u16string name;  // lower case
        std::u16string value;
        bool hasValue = false;
    };

    std::vector<std::u16string> ArgvLocked() const;
    void AddSwitch(const std::u16string& name, const std::u16string& value, bool hasValue);

    std::mutex m_mutex;
    std::u16string m_program;
    std::vector<Switch> m_switches;
    std::vector<std::u16string> m_arguments;

    IMPLEMENT_REFCOUNTING(CefCommandLineImpl);
};

}  // namespace cefimpl
