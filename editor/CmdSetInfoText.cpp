#include "editor/CmdSetInfoText.h"

#include <richedit.h>

#include "resources/StringIds.h"

namespace {

std::wstring Field(const std::wstring& label, const wchar_t* value) {
    return L"\n\t" + label + L":\t " + (value && *value ? value : L"-");
}

// Whole-text or line-range formatting: select, format, and leave no selection.
void FormatRange(HWND edit, LONG from, LONG to, const PARAFORMAT2* paragraph, const CHARFORMAT2W* chars) {
    CHARRANGE range = {from, to};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (paragraph)
        SendMessageW(edit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(paragraph));
    if (chars)
        SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(chars));
}

}  // namespace

std::wstring BuildCmdSetInfoText(const tagPRGINFO& info, const std::function<std::wstring(UINT)>& text) {
    std::wstring out = L"\n\t" + std::wstring(info.szName) + L"\n\t" + info.szDescription + L"\n";
    std::wstring folder = info.szAppPath;
    const std::size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
    if (!info.szAppPath[0])
        folder = L"!!! " + text(IDS_UNAVAILABLE) + L" !!!";
    out += L"\n\t" + text(IDS_PATH) + L":\t " + folder;
    out += L"\n\t" + text(IDS_FILE) + L":\t " + info.szExecutable;
    out += Field(text(IDS_COMMAND_LINE), info.szCommandLine);
    out += Field(text(IDS_WINDOW), info.szWindowCaption);
    return out;
}

void ShowCmdSetInfo(HWND edit, const std::wstring& text) {
    SetWindowTextW(edit, text.c_str());
    PARAFORMAT2 tabs = {};
    tabs.cbSize = sizeof(tabs);
    tabs.dwMask = PFM_TABSTOPS;
    tabs.cTabCount = 2;
    tabs.rgxTabs[0] = 50;
    tabs.rgxTabs[1] = 1550;
    FormatRange(edit, 0, -1, &tabs, nullptr);
    // Lines 1 and 2 (after the leading empty line) are the name and description.
    const LONG nameStart = static_cast<LONG>(SendMessageW(edit, EM_LINEINDEX, 1, 0));
    const LONG descriptionEnd = static_cast<LONG>(SendMessageW(edit, EM_LINEINDEX, 3, 0));
    const LONG nameEnd = static_cast<LONG>(SendMessageW(edit, EM_LINEINDEX, 2, 0));
    PARAFORMAT2 centred = {};
    centred.cbSize = sizeof(centred);
    centred.dwMask = PFM_ALIGNMENT;
    centred.wAlignment = PFA_CENTER;
    FormatRange(edit, nameStart, descriptionEnd, &centred, nullptr);
    CHARFORMAT2W bold = {};
    bold.cbSize = sizeof(bold);
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    FormatRange(edit, nameStart, nameEnd, nullptr, &bold);
    CHARRANGE none = {0, 0};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
}
