// The trace log's file: where it lives by default, its ten predecessors, and
// the append of one line.
#include "support/QVDebugLogFile.h"

#include "support/QVDebugOutput.h"
#include "support/ScopedWin.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>

namespace {

constexpr int kKeptLogs = 10;


// The start of the extension in the file name part of path, or its end.
const wchar_t* FindExtension(const wchar_t* path) {
    const wchar_t* pszName = path;
    for (const wchar_t* p = path; *p; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L':')
            pszName = p + 1;
    }
    const wchar_t* pszDot = std::wcsrchr(pszName, L'.');
    return pszDot ? pszDot : pszName + std::wcslen(pszName);
}

void NumberedName(wchar_t* buffer, std::size_t units, const wchar_t* base, int number, const wchar_t* ext) {
    QVFormat(buffer, units, L"%ls%02d%ls", base, number, ext);
}

}  // namespace

bool QVDefaultLogPath(wchar_t* buffer, std::size_t units) {
    if (units == 0)
        return false;
    buffer[0] = L'\0';
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return false;
    QVAppend(folder, MAX_PATH, L"\\Morvane");
    if (!CreateDirectoryW(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;

    wchar_t module[MAX_PATH];
    const DWORD dwLength = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (dwLength == 0 || dwLength >= MAX_PATH)
        return false;
    const wchar_t* pszName = module;
    for (const wchar_t* p = module; *p; ++p) {
        if (*p == L'\\' || *p == L'/')
            pszName = p + 1;
    }
    QVFormat(buffer, units, L"%ls\\%ls.log", folder, pszName);
    return true;
}

void QVRotateLogs(const wchar_t* path) {
    if (!path || !*path)
        return;
    wchar_t base[MAX_PATH];
    wchar_t ext[MAX_PATH];
    const wchar_t* pszExt = FindExtension(path);
    const std::size_t cchBase = static_cast<std::size_t>(pszExt - path);
    if (cchBase >= MAX_PATH)
        return;
    std::wmemcpy(base, path, cchBase);
    base[cchBase] = L'\0';
    QVFormat(ext, MAX_PATH, L"%ls", pszExt);

    wchar_t from[MAX_PATH];
    wchar_t to[MAX_PATH];
    NumberedName(to, MAX_PATH, base, kKeptLogs, ext);
    DeleteFileW(to);
    for (int n = kKeptLogs - 1; n >= 1; --n) {
        NumberedName(from, MAX_PATH, base, n, ext);
        NumberedName(to, MAX_PATH, base, n + 1, ext);
        MoveFileW(from, to);
    }
    NumberedName(to, MAX_PATH, base, 1, ext);
    MoveFileW(path, to);
}

void QVAppendToLog(const wchar_t* path, const wchar_t* line) {
    // Text as the C runtime's text mode writes it: CR LF, the ANSI code page.
    wchar_t crlf[QVLINE_UNITS * 2];
    std::size_t cchCrlf = 0;
    for (const wchar_t* p = line; *p && cchCrlf + 2 < QVLINE_UNITS * 2; ++p) {
        if (*p == L'\n')
            crlf[cchCrlf++] = L'\r';
        crlf[cchCrlf++] = *p;
    }
    char text[QVLINE_UNITS * 2 * 3];
    const int cbText = WideCharToMultiByte(CP_ACP, 0, crlf, static_cast<int>(cchCrlf), text, sizeof(text), nullptr,
                                           nullptr);
    if (cbText <= 0)
        return;

    // FILE_APPEND_DATA makes every write land at the current end, also when
    // several threads or processes write the same log.
    CQVHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return;
    DWORD cbWritten = 0;
    WriteFile(file.Get(), text, static_cast<DWORD>(cbText), &cbWritten, nullptr);
    FlushFileBuffers(file.Get());
}
