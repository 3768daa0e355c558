// A process's command line: program, switches ("--name" or "--name=value")
// and arguments, in order.
#pragma once

#include "cef/CefBase.h"
#include "cef/CefString.h"

#include <vector>

class CefCommandLine : public virtual CefBase {
public:
    static CefRefPtr<CefCommandLine> CreateCommandLine();
    // The command line of this process after the application's adjustments;
    // null before the engine has read it.
    static CefRefPtr<CefCommandLine> GetGlobalCommandLine();

    virtual void InitFromString(const CefString& commandLine) = 0;
    virtual CefString GetCommandLineString() = 0;
    virtual CefString GetProgram() = 0;
    virtual bool HasSwitch(const CefString& name) = 0;
    virtual CefString GetSwitchValue(const CefString& name) = 0;
    // Appends the switch even when it is already present.
    virtual void AppendSwitch(const CefString& name) = 0;
    virtual void AppendSwitchWithValue(const CefString& name, const CefString& value) = 0;
    virtual void AppendArgument(const CefString& argument) = 0;
    virtual std::vector<CefString> GetArgv() = 0;
};
