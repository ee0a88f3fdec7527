#include "editor/ProgramIcon.h"

#include "cmdsets/AppPaths.h"

#include <shellapi.h>

std::wstring GetProgramFile(const tagPRGINFO& info) {
    if (info.szAppPath[0] && info.szExecutable[0]) {
        const std::wstring joined = std::wstring(info.szAppPath) + L"\\" + info.szExecutable;
        if (IsExistingFile(joined.c_str()))
            return joined;
    }
    if (IsExistingFile(info.szAppPath))
        return info.szAppPath;
    return std::wstring();
}

CQVIcon LoadProgramIcon(const tagPRGINFO& info, bool large) {
    const std::wstring file = GetProgramFile(info);
    if (file.empty())
        return CQVIcon(CopyIcon(LoadIconW(nullptr, IDI_WARNING)));
    HICON icon = nullptr;
    if (ExtractIconExW(file.c_str(), 0, large ? &icon : nullptr, large ? nullptr : &icon, 1) > 0 && icon)
        return CQVIcon(icon);
    return CQVIcon(CopyIcon(LoadIconW(nullptr, IDI_WINLOGO)));
}
