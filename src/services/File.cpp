#include "services/File.h"

#include "afx/StdioFile.h"

#include <shlwapi.h>

bool File::EnsureDirectory(const CString& directory) {
    if (!PathIsDirectoryW(directory)) CreateDirectoryW(directory, nullptr);
    return PathIsDirectoryW(directory) != FALSE;
}

CString File::WriteLine(const CString& directory, const CString& name, const CString& text) {
    if (!EnsureDirectory(directory)) {
        AfxMessageBox(L"日志文件夹创建失败", MB_OK);
        return CString();
    }
    CStdioFile file;
    CFileException error;
    if (!file.Open(directory + name, CFile::modeCreate | CFile::modeReadWrite | CFile::typeText,
                   &error)) {
        CString message;
        message.Format(L"打开日志文件失败！错误码 = %d\n", error.m_cause);
        AfxMessageBox(message, MB_OK);
        return CString();
    }
    file.SeekToEnd();
    CString line;
    line.Format(L"%s\n", text.GetString());
    file.WriteString(line);
    file.Close();
    return CString();
}

CString File::ReadFirstLine(const CString& path) {
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeText)) return CString();
    CString line;
    if (file.ReadString(line)) return line;
    file.Close();
    return CString();
}
