#include "editor/PageAbout.h"

#include <richedit.h>
#include <shellapi.h>

#include <cwctype>
#include <vector>

#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "support/ProgramPath.h"
#include "support/QVLocalize.h"
#include "support/QVSystemInfo.h"

namespace {

constexpr int GREY_LINES = 8;
constexpr LONG TAB_STOP_1 = 300;    // twips
constexpr LONG TAB_STOP_2 = 1800;
constexpr LONG SMALL_HEIGHT = 130;  // twips
constexpr COLORREF GREY = RGB(100, 100, 100);
const wchar_t kFace[] = L"Arial Unicode MS";

// A path written all in capitals reads better in lower case.
std::wstring Readable(std::wstring path) {
    bool hasLower = false;
    for (wchar_t c : path)
        hasLower = hasLower || std::iswlower(c);
    if (!hasLower) {
        for (wchar_t& c : path)
            c = static_cast<wchar_t>(std::towlower(c));
    }
    return path;
}

std::wstring Line(const wchar_t* label, const std::wstring& value) {
    return L"\n\t" + std::wstring(label) + L":\t" + value;
}

}  // namespace

CPageAbout::CPageAbout(const tagEDITORCONTEXT& context) : CPageBase(IDD_PAGE_ABOUT, context) {
    LoadRichEditLibrary();
}

std::wstring CPageAbout::GetProgramVersion() {
    const std::wstring module = GetProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(module.c_str(), &ignored);
    if (!size)
        return std::wstring();
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(module.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return std::wstring();
    wchar_t text[64];
    swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
             HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return text;
}

std::wstring CPageAbout::BuildText() const {
    auto localized = [this](UINT id, const wchar_t* fallback) {
        std::wstring text = Text(id);
        return text.empty() ? std::wstring(fallback) : text;
    };
    std::wstring text = L"\nRemote Control Editor (" + std::to_wstring(sizeof(void*) * 8) + L" bit)\n\n";
    text += Line(localized(IDS_VERSION, L"Version").c_str(), GetProgramVersion());
    text += Line(localized(IDS_PATH, L"Path").c_str(), Readable(GetProgramFolder()));
    // Credits.
    text += L"\n\n\tKanzo:\tthe remote control receiver and editor"
            L"\n\tLanguages:\tthe translators of the language files";
    std::wstring playback, record, directX;
    CQVSystemInfo::GetDefaultSoundDevices(&playback, &record);
    CQVSystemInfo::GetDirectXVersion(&directX);
    text += L"\n\n\tWave mapper:\t" + playback;
    text += L"\n\tWindows:\t" + CQVSystemInfo::GetOSDisplayName();
    text += L"\n\tDirectX:\t" + directX;
    // The notices: eight lines, small and grey.
    text += L"\n\n"
            L"\nKanzo is free software; it comes with no warranty."
            L"\nhttps://www.gnu.org/licenses/gpl-3.0.html"
            L"\nRemote-control pictures are drawn for this program."
            L"\nhttps://kanzo.example.org/pictures"
            L"\nLanguage files may be copied and changed freely."
            L"\nhttps://kanzo.example.org/languages"
            L"\nQuestions and reports of problems:"
            L"\nhttps://kanzo.example.org/support";
    return text;
}

BOOL CPageAbout::OnInitDialog() {
    CPageBase::OnInitDialog();
    SetDlgItemTextW(m_hwnd, IDC_ABOUT_README, L"Readme");
    HWND edit = GetItem(IDC_ABOUT_TEXT);
    SendMessageW(edit, EM_SETEVENTMASK, 0, ENM_LINK);
    SendMessageW(edit, EM_AUTOURLDETECT, TRUE, 0);
    SetWindowTextW(edit, BuildText().c_str());
    FormatText();
    return TRUE;
}

void CPageAbout::FormatText() {
    HWND edit = GetItem(IDC_ABOUT_TEXT);
    auto select = [edit](LONG from, LONG to) {
        CHARRANGE range = {from, to};
        SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    };
    // Everything: the face and the two tab stops.
    select(0, -1);
    CHARFORMAT2W font = {};
    font.cbSize = sizeof(font);
    font.dwMask = CFM_FACE;
    wcscpy_s(font.szFaceName, kFace);
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&font));
    PARAFORMAT2 tabs = {};
    tabs.cbSize = sizeof(tabs);
    tabs.dwMask = PFM_TABSTOPS;
    tabs.cTabCount = 2;
    tabs.rgxTabs[0] = TAB_STOP_1;
    tabs.rgxTabs[1] = TAB_STOP_2;
    SendMessageW(edit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&tabs));

    PARAFORMAT2 centre = {};
    centre.cbSize = sizeof(centre);
    centre.dwMask = PFM_ALIGNMENT;
    centre.wAlignment = PFA_CENTER;
    // Line 1 (after the leading line feed): the title, centred and bold.
    const LONG titleStart = static_cast<LONG>(SendMessageW(edit, EM_LINEINDEX, 1, 0));
    const LONG titleLength = static_cast<LONG>(SendMessageW(edit, EM_LINELENGTH, titleStart, 0));
    select(titleStart, titleStart + titleLength);
    SendMessageW(edit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&centre));
    CHARFORMAT2W bold = {};
    bold.cbSize = sizeof(bold);
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bold));

    // The last lines: centred, small and grey.
    const LONG lines = static_cast<LONG>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    const LONG greyStart = static_cast<LONG>(SendMessageW(edit, EM_LINEINDEX, lines - GREY_LINES, 0));
    select(greyStart, -1);
    SendMessageW(edit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&centre));
    CHARFORMAT2W small = {};
    small.cbSize = sizeof(small);
    small.dwMask = CFM_SIZE | CFM_COLOR;
    small.yHeight = SMALL_HEIGHT;
    small.crTextColor = GREY;
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&small));
    select(0, 0);
}

BOOL CPageAbout::OnCommand(UINT id, UINT code, HWND) {
    if (id != IDC_ABOUT_README || code != BN_CLICKED)
        return FALSE;
    const std::wstring folder = GetProgramFolder();
    const std::wstring readme = folder + L"\\Kanzo.txt";
    ShellExecuteW(m_hwnd, L"open", readme.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
    return TRUE;
}

BOOL CPageAbout::OnNotify(NMHDR* header, LRESULT& result) {
    if (header->idFrom != IDC_ABOUT_TEXT || header->code != EN_LINK)
        return CPageBase::OnNotify(header, result);
    auto* link = reinterpret_cast<ENLINK*>(header);
    if (link->msg != WM_LBUTTONDOWN)
        return FALSE;
    HWND edit = header->hwndFrom;
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&link->chrg));
    std::vector<wchar_t> url(static_cast<size_t>(link->chrg.cpMax - link->chrg.cpMin + 1));
    TEXTRANGEW range = {link->chrg, url.data()};
    SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    ShellExecuteW(m_hwnd, L"open", url.data(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    CHARRANGE none = {link->chrg.cpMax, link->chrg.cpMax};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
    result = 1;
    return TRUE;
}
