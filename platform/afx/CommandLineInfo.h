// CCommandLineInfo: what the framework's standard command-line parse found.
// The client's documents hold no files, so every start opens a new one.
#pragma once

#include <windows.h>

class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FileNothing };
    ShellCommand m_nShellCommand = FileNew;
};
