#include "editor/HtmlWriter.h"

#include "support/ProgramPath.h"

#include <shellapi.h>

#include <ctime>

#include "cmdsets/CmdSetAdmin.h"
#include "cmdsets/KeyNames.h"
#include "editor/HtmlOverview.h"
#include "support/QVDebug.h"
#include "support/ScopedWin.h"

namespace {

using CQVFile = CQVScoped<CQVHandleTraits>;

std::wstring FolderOf(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
    return bytes;
}

std::wstring LocalDateTime() {
    std::time_t now = std::time(nullptr);
    std::tm local = {};
    if (localtime_s(&local, &now) != 0)
        return std::wstring();
    wchar_t text[128] = {};
    return std::wcsftime(text, 128, L"%c", &local) ? std::wstring(text) : std::wstring();
}

bool ShellOpen(const std::wstring& file, const std::wstring& folder, int showCommand) {
    HINSTANCE result = ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, folder.c_str(), showCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

CHtmlWriter::CHtmlWriter() : CHtmlWriter(tagHTMLWRITER_SETUP()) {}

CHtmlWriter::CHtmlWriter(const tagHTMLWRITER_SETUP& setup)
    : CQVLocalize(setup.localize), m_dataFolder(setup.dataFolder), m_programFolder(setup.programFolder),
      m_open(setup.open ? setup.open : HtmlShellOpen(ShellOpen)) {
    SetSource(QVLOC_MODE_RESOURCES, nullptr);
    if (m_dataFolder.empty())
        m_dataFolder = FolderOf(CCmdSetPaths::ForProgram().userFile);  // makes each missing level
    if (m_programFolder.empty())
        m_programFolder = GetProgramFolder();
    if (!m_dataFolder.empty()) {
        m_pageFile = m_dataFolder + L"\\Kanzo.htm";
        m_styleSheet = m_dataFolder + L"\\Kanzo.css";
    }
    SetStylesheet();
    CopyBesidePage(L"Kanzo.jpg");
}

void CHtmlWriter::CopyBesidePage(const wchar_t* fileName) {
    if (m_dataFolder.empty())
        return;
    const std::wstring source = m_programFolder + L"\\" + fileName;
    const std::wstring target = m_dataFolder + L"\\" + fileName;
    if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    if (!CopyFileW(source.c_str(), target.c_str(), FALSE))
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with error %lu\n", L"CopyFileW", GetLastError());
}

void CHtmlWriter::SetStylesheet() {
    const std::wstring source = m_programFolder + L"\\Kanzo.css";
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CHtmlWriter::SetStylesheet", source.c_str());
    CopyBesidePage(L"Kanzo.css");
    TracePrint(QVL_IO, QVC_COMMAND, L"Copy CSS to %ls\n", m_styleSheet.c_str());
}

BOOL CHtmlWriter::WriteOverview(int rcType, const tagPRGINFO& info, const CKeymap& keymap) {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CHtmlWriter::WriteOverview", info.szName);
    if (m_pageFile.empty())
        return FALSE;
    tagHTMLOVERVIEW_TEXTS texts;
    texts.getString = [this](unsigned id) { return GetString(id); };
    texts.getKeyName = [](int keyId) { return std::wstring(GetKeyName(keyId, false)); };
    texts.generated = LocalDateTime();
    // Both files sit beside the page, so plain names work in every browser.
    texts.styleSheetHref = L"Kanzo.css";
    texts.pictureHref = L"Kanzo.jpg";
    const std::string page = ToUtf8(BuildHtmlOverview(rcType, info, keymap, texts));

    CQVFile file(CreateFileW(m_pageFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
    if (!file) {
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with error %lu\n", L"CreateFileW", GetLastError());
        return FALSE;
    }
    DWORD written = 0;
    if (!WriteFile(file.Get(), page.data(), static_cast<DWORD>(page.size()), &written, nullptr) ||
        written != page.size()) {
        TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with error %lu\n", L"WriteFile", GetLastError());
        return FALSE;
    }
    return TRUE;
}

BOOL CHtmlWriter::OpenOverview(BOOL fMaximized) {
    if (m_pageFile.empty())
        return FALSE;
    return m_open(m_pageFile, m_dataFolder, fMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL) ? TRUE : FALSE;
}
