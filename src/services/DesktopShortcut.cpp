#include "services/DesktopShortcut.h"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

namespace {
// Releases the interface it holds.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (m_pointer) m_pointer->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* operator->() const { return m_pointer; }
    void** Out() { return reinterpret_cast<void**>(&m_pointer); }

private:
    Interface* m_pointer = nullptr;
};
}  // namespace

bool SaveShellLink(const std::wstring& linkPath, const std::wstring& target,
                   const std::wstring& workingDirectory, const std::wstring& description) {
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.Out()))) {
        return false;
    }
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingDirectory.c_str());
    link->SetHotkey(0);
    link->SetDescription(description.c_str());
    link->SetShowCmd(SW_SHOWNORMAL);
    link->SetArguments(L"");
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out()))) return false;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}
