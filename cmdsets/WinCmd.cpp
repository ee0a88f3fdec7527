#include "cmdsets/WinCmd.h"

#include <cwchar>
#include <mutex>
#include <string>

#include "cmdsets/CmdSetText.h"
#include "cmdsets/PrgInfo.h"

void CopyFixedText(wchar_t* dest, int destLen, const wchar_t* src) {
    int i = 0;
    if (src)
        for (; i < destLen - 1 && src[i]; ++i)
            dest[i] = src[i];
    for (; i < destLen; ++i)
        dest[i] = L'\0';
}

bool IsEqualWinCmd(const tagWINCMD& a, const tagWINCMD& b) {
    return a.nType == b.nType && a.nSubType == b.nSubType && a.nValue == b.nValue && a.nParam == b.nParam &&
           std::wcscmp(a.szText, b.szText) == 0 && std::wcscmp(a.szWindowCaption, b.szWindowCaption) == 0 &&
           a.fNoOsd == b.fNoOsd && a.fRepeat == b.fRepeat && a.nRepeatDelay == b.nRepeatDelay &&
           a.nRepeatInterval == b.nRepeatInterval;
}

bool IsSamePrgInfo(const tagPRGINFO& a, const tagPRGINFO& b) {
    return std::wcscmp(a.szExecutable, b.szExecutable) == 0 && std::wcscmp(a.szAppPath, b.szAppPath) == 0 &&
           std::wcscmp(a.szWindowCaption, b.szWindowCaption) == 0 &&
           std::wcscmp(a.szCommandLine, b.szCommandLine) == 0 && std::wcscmp(a.szName, b.szName) == 0 &&
           std::wcscmp(a.szDescription, b.szDescription) == 0 && a.fPreset == b.fPreset &&
           a.fModifiedPreset == b.fModifiedPreset && a.fHideOsd == b.fHideOsd && a.fSmsInput == b.fSmsInput &&
           a.fAlwaysActive == b.fAlwaysActive;
}

const wchar_t* GetCommandTypeName(int nType, bool fShort) {
    static const wchar_t* const shortNames[] = {L"---", L"OSD", L"SYS", L"KEY", L"WIN", L"CTL"};
    static const unsigned longIds[] = {0, 4450, 4460, 4420, 54593, 4405};
    if (nType < CMD_NONE || nType > CMD_CTL)
        return L"???";
    if (fShort || nType == CMD_NONE)
        return shortNames[nType];
    // Long labels are built once, in the UI language current at the first request.
    static std::once_flag built;
    static std::wstring longNames[6];
    std::call_once(built, [] {
        longNames[0] = L"---";
        for (int i = 1; i < 6; ++i)
            longNames[i] = GetCmdSetString(longIds[i], false);
    });
    return longNames[nType].c_str();
}
