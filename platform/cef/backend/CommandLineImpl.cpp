#include "cef/backend/CommandLineImpl.h"

#include "cef/backend/AsciiCase.h"
#include "cef/backend/chromium/ChromiumCommandLine.h"

#include <windows.h>

#include <algorithm>

namespace cefimpl {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::mutex g_globalMutex;
CefRefPtr<CefCommandLineImpl> g_global;

}  // namespace

CefRefPtr<CefCommandLineImpl> CefCommandLineImpl::Global() {
    std::lock_guard<std::mutex> lock(g_globalMutex);
    if (!g_global) {
        g_global = new CefCommandLineImpl();
        g_global->InitFromString(CefString(GetCommandLineW()));
    }
    return g_global;
}

CefRefPtr<CefCommandLineImpl> CefCommandLineImpl::GlobalIfRead() {
    std::lock_guard<std::mutex> lock(g_globalMutex);
    return g_global;
}

std::vector<std::u16string> CefCommandLineImpl::Split(const std::u16string& commandLine) {
    std::vector<std::u16string> words;
    size_t i = 0, n = commandLine.size();
    // The program name: quotes delimit it, backslashes are plain characters.
    while (i < n && IsBlank(commandLine[i])) ++i;
    if (i == n) return words;
    std::u16string program;
    bool quoted = false;
    for (; i < n && (quoted || !IsBlank(commandLine[i])); ++i) {
        if (commandLine[i] == u'"') {
            quoted = !quoted;
        } else {
            program += commandLine[i];
        }
    }
    words.push_back(program);
    for (;;) {
        while (i < n && IsBlank(commandLine[i])) ++i;
        if (i == n) break;
        std::u16string word;
        quoted = false;
        while (i < n && (quoted || !IsBlank(commandLine[i]))) {
            size_t backslashes = 0;
            while (i < n && commandLine[i] == u'\\') ++backslashes, ++i;
            if (i < n && commandLine[i] == u'"') {
                word.append(backslashes / 2, u'\\');
                if (backslashes % 2) {
                    word += u'"';
                } else if (quoted && i + 1 < n && commandLine[i + 1] == u'"') {
                    word += u'"';  // "" inside quotes is a literal quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                word.append(backslashes, u'\\');
                if (i < n && (quoted || !IsBlank(commandLine[i]))) word += commandLine[i++];
            }
        }
        words.push_back(word);
    }
    return words;
}

void CefCommandLineImpl::InitFromString(const CefString& commandLine) {
    std::vector<std::u16string> words = Split(commandLine.ToString16());
    std::lock_guard<std::mutex> lock(m_mutex);
    m_program.clear();
    m_switches.clear();
    m_arguments.clear();
    if (words.empty()) return;
    m_program = words[0];
    bool switchesEnded = false;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::u16string& word = words[i];
        if (!switchesEnded && word == u"--") {
            switchesEnded = true;
        } else if (!switchesEnded && word.size() > 2 && word.compare(0, 2, u"--") == 0) {
            size_t equals = word.find(u'=');
            if (equals == std::u16string::npos) {
                AddSwitch(word.substr(2), u"", false);
            } else {
                AddSwitch(word.substr(2, equals - 2), word.substr(equals + 1), true);
            }
        } else {
            m_arguments.push_back(word);
        }
    }
}

void CefCommandLineImpl::AddSwitch(const std::u16string& name, const std::u16string& value,
                                   bool hasValue) {
    m_switches.push_back(Switch{AsciiLower(name), value, hasValue});
}

std::vector<std::u16string> CefCommandLineImpl::ArgvLocked() const {
    std::vector<std::u16string> argv{m_program};
    for (const Switch& s : m_switches) {
        argv.push_back(u"--" + s.name + (s.hasValue ? u"=" + s.value : u""));
    }
    // An argument that looks like a switch must not turn into one on re-parsing.
    bool needsSeparator =
        std::any_of(m_arguments.begin(), m_arguments.end(),
                    [](const std::u16string& a) { return a.rfind(u"--", 0) == 0; });
    if (needsSeparator) argv.push_back(u"--");
    argv.insert(argv.end(), m_arguments.begin(), m_arguments.end());
    return argv;
}

CefString CefCommandLineImpl::GetCommandLineString() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::u16string text;
    for (const std::u16string& word : ArgvLocked()) {
        if (!text.empty()) text += u' ';
        // Quoted so that Split() gives the word back unchanged.
        text += chromium::QuotedArgument(word);
    }
    return text;
}

CefString CefCommandLineImpl::GetProgram() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_program;
}

bool CefCommandLineImpl::HasSwitch(const CefString& name) {
    std::u16string wanted = AsciiLower(name.ToString16());
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::any_of(m_switches.begin(), m_switches.end(),
                       [&](const Switch& s) { return s.name == wanted; });
}

CefString CefCommandLineImpl::GetSwitchValue(const CefString& name) {
    std::u16string wanted = AsciiLower(name.ToString16());
    std::lock_guard<std::mutex> lock(m_mutex);
    // The last occurrence wins, so an appended switch overrides an earlier one.
    for (auto it = m_switches.rbegin(); it != m_switches.rend(); ++it) {
        if (it->name == wanted) return it->value;
    }
    return CefString();
}

void CefCommandLineImpl::AppendSwitch(const CefString& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    AddSwitch(name.ToString16(), u"", false);
}

void CefCommandLineImpl::AppendSwitchWithValue(const CefString& name, const CefString& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    AddSwitch(name.ToString16(), value.ToString16(), true);
}

void CefCommandLineImpl::AppendArgument(const CefString& argument) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_arguments.push_back(argument.ToString16());
}

std::vector<CefString> CefCommandLineImpl::GetArgv() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<CefString> argv;
    for (const std::u16string& word : ArgvLocked()) argv.emplace_back(word);
    return argv;
}

}  // namespace cefimpl

CefRefPtr<CefCommandLine> CefCommandLine::CreateCommandLine() {
    return new cefimpl::CefCommandLineImpl();
}

CefRefPtr<CefCommandLine> CefCommandLine::GetGlobalCommandLine() {
    return cefimpl::CefCommandLineImpl::GlobalIfRead().get();
}
