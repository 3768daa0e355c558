#include "afx/StdioFile.h"

#include <string>

namespace {
std::string ToDiskText(LPCWSTR text) {
    std::wstring withCrLf;
    for (const wchar_t* c = text; *c; ++c) {
        if (*c == L'\n') withCrLf += L'\r';
        withCrLf += *c;
    }
    if (withCrLf.empty()) return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, withCrLf.data(), static_cast<int>(withCrLf.size()),
                                   nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_ACP, 0, withCrLf.data(), static_cast<int>(withCrLf.size()),
                            &bytes[0], size, nullptr, nullptr);
    }
    return bytes;
}

std::wstring FromDiskText(const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    int size =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(size > 0 ? size : 0, L'\0');
    if (size > 0) {
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0],
                            size);
    }
    return text;
}
}  // namespace

BOOL CStdioFile::WriteString(LPCWSTR text) {
    if (!text) return FALSE;
    std::string bytes = ToDiskText(text);
    return bytes.empty() || Write(bytes.data(), static_cast<UINT>(bytes.size()));
}

BOOL CStdioFile::ReadRawLine(std::string& bytes) {
    char chunk[256];
    bool any = false;
    for (;;) {
        UINT read = Read(chunk, sizeof(chunk));
        if (read == 0) return any;
        any = true;
        for (UINT i = 0; i < read; ++i) {
            if (chunk[i] != '\n') continue;
            bytes.append(chunk, i);
            // Give back what follows the line end so the next read starts there.
            Seek(static_cast<LONGLONG>(i + 1) - static_cast<LONGLONG>(read), FILE_CURRENT);
            return TRUE;
        }
        bytes.append(chunk, read);
    }
}

BOOL CStdioFile::ReadString(CString& line) {
    std::string bytes;
    if (!ReadRawLine(bytes)) {
        line.Empty();
        return FALSE;
    }
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
    line = CString(FromDiskText(bytes));
    return TRUE;
}
