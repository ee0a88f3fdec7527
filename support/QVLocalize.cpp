#include "support/QVLocalize.h"

#include "support/QVLocalizeText.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

// Ids of the program's key and modifier names (the catalogue's keyboard names).
constexpr UINT kIdKeyShift = 55044;
constexpr UINT kIdKeyCtrl = 55045;
constexpr UINT kIdKeyAlt = 55046;

struct tagKEYNAME {
    WORD wKey;
    UINT nStringId;
    const wchar_t* pszEnglish;
};

const tagKEYNAME kKeyNames[] = {
    {VK_BACK, 55040, L"Backspace"}, {VK_TAB, 55041, L"Tab"},         {VK_RETURN, 55043, L"Return"},
    {VK_PRIOR, 55051, L"Page Up"},  {VK_NEXT, 55052, L"Page Down"}, {VK_DELETE, 55061, L"Del"},
};

}  // namespace

CQVLocalize::~CQVLocalize() {
    // A menu that became part of a window's menu died with it.
    if (m_languageMenu && IsMenu(m_languageMenu))
        DestroyMenu(m_languageMenu);
}

void CQVLocalize::SetLanguage(LANGID language) {
    CQVLocalizeBase::SetLanguage(language);
    CheckLanguageMenu();
}

void CQVLocalize::SetSource(int mode, const wchar_t* prefix) {
    CQVLocalizeBase::SetSource(mode, prefix);
    RebuildLanguageMenu();
}

std::wstring CQVLocalize::AcceleratorKeyName(BYTE virtualFlags, WORD key) {
    if (!(virtualFlags & FVIRTKEY))
        return std::wstring(1, static_cast<wchar_t>(key));
    if ((key >= L'A' && key <= L'Z') || (key >= L'0' && key <= L'9'))
        return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= VK_F1 && key <= VK_F24)
        return L"F" + std::to_wstring(key - VK_F1 + 1);
    for (const tagKEYNAME& name : kKeyNames) {
        if (name.wKey == key) {
            std::wstring text = GetString(name.nStringId);
            return text.empty() ? name.pszEnglish : text;
        }
    }
    wchar_t text[64] = {};
    UINT scanCode = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    if (scanCode && GetKeyNameTextW(static_cast<LONG>(scanCode << 16), text, 64) > 0)
        return text;
    std::swprintf(text, 64, L"0x%02X", key);
    return text;
}

int CQVLocalize::LocalizeMenu(HMENU menu, HACCEL accelerators) {
    if (!menu || !IsMenu(menu))
        return 0;
    std::vector<ACCEL> table;
    if (accelerators) {
        int count = CopyAcceleratorTableW(accelerators, nullptr, 0);
        if (count > 0) {
            table.resize(static_cast<std::size_t>(count));
            CopyAcceleratorTableW(accelerators, table.data(), count);
        }
    }
    int items = GetMenuItemCount(menu);
    for (int position = 0; position < items; ++position) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info))
            continue;
        if (info.hSubMenu) {
            LocalizeMenu(info.hSubMenu, accelerators);
            continue;
        }
        if (info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW))
            continue;
        std::wstring text = GetString(info.wID + static_cast<UINT>(GetControlIdOffset()));
        if (text.empty())
            continue;
        for (const ACCEL& accel : table) {
            if (accel.cmd != info.wID)
                continue;
            std::wstring modifier;
            auto add = [&](BYTE flag, UINT id, const wchar_t* english) {
                if (!(accel.fVirt & flag))
                    return;
                std::wstring name = GetString(id);
                if (!modifier.empty())
                    modifier += L'+';
                modifier += name.empty() ? english : name;
            };
            add(FALT, kIdKeyAlt, L"Alt");
            add(FCONTROL, kIdKeyCtrl, L"Ctrl");
            add(FSHIFT, kIdKeyShift, L"Shift");
            text = QVLocMenuTextWithAccelerator(text.c_str(), modifier.c_str(),
                                                AcceleratorKeyName(accel.fVirt, accel.key).c_str());
            break;
        }
        MENUITEMINFOW update = {};
        update.cbSize = sizeof(update);
        update.fMask = MIIM_STRING;
        update.dwTypeData = const_cast<wchar_t*>(text.c_str());
        SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &update);
    }
    return 1;
}

int CQVLocalize::LocalizeDialog(HWND window, UINT titleId) {
    if (!window || !IsWindow(window))
        return 0;
    wchar_t text[QVLOC_TEXT_CHARS];
    if (titleId && GetString(titleId, text, QVLOC_TEXT_CHARS))
        SetWindowTextW(window, text);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id <= 0)
            continue;
        if (GetString(static_cast<UINT>(id + GetControlIdOffset()), text, QVLOC_TEXT_CHARS))
            SetWindowTextW(child, text);
    }
    return 1;
}

int CQVLocalize::LocalizeToolTips(HWND window, HWND toolTip) {
    if (!window || !toolTip || !IsWindow(window) || !IsWindow(toolTip))
        return 0;
    wchar_t text[QVLOC_TEXT_CHARS];
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id <= 0 || !GetString(static_cast<UINT>(id + GetControlIdOffset()), text, QVLOC_TEXT_CHARS))
            continue;
        // The version-2 layout: accepted by every common-controls version.
        TTTOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        SendMessageW(toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        tool.lpszText = text;
        SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return 1;
}

UINT CQVLocalize::GetMessageStyle(int kind, UINT* captionId) {
    UINT style = MB_TOPMOST | MB_TASKMODAL | (kind >= 3 && kind <= 5 ? MB_YESNO : MB_OK);
    UINT caption = QVLOC_ID_CAPTION_ERROR;
    if (kind == QVMSG_WARNING || kind == QVMSG_WARNING_YESNO) {
        style |= MB_ICONWARNING;
        caption = QVLOC_ID_CAPTION_WARNING;
    } else if (kind == QVMSG_PLAIN || kind == QVMSG_PLAIN_YESNO) {
        caption = 0;
    } else {
        style |= MB_ICONERROR;
    }
    if (captionId)
        *captionId = caption;
    return style;
}

int CQVLocalize::ShowMessage(HWND owner, UINT textId, int kind, const wchar_t* caption) {
    std::wstring text = GetString(textId);
    return ShowMessage(owner, text.c_str(), kind, caption);
}

int CQVLocalize::ShowMessage(HWND owner, const wchar_t* text, int kind, const wchar_t* caption) {
    UINT captionId = 0;
    UINT style = GetMessageStyle(kind, &captionId);
    std::wstring title;
    if (captionId) {
        title = GetString(captionId);
        if (title.empty())
            title = captionId == QVLOC_ID_CAPTION_WARNING ? L"Warning" : L"Error";
    } else if (caption) {
        title = caption;
    }
    return MessageBoxW(owner, text ? text : L"", captionId || caption ? title.c_str() : nullptr, style);
}

HMENU CQVLocalize::GetLanguageMenu() {
    if (!m_languageMenu || !IsMenu(m_languageMenu)) {
        m_languageMenu = CreatePopupMenu();
        RebuildLanguageMenu();
    }
    return m_languageMenu;
}

void CQVLocalize::RebuildLanguageMenu() {
    if (!m_languageMenu || !IsMenu(m_languageMenu))
        return;
    // Emptied in place: the handle may already be a submenu of a window's menu.
    for (int position = GetMenuItemCount(m_languageMenu); position-- > 0;)
        DeleteMenu(m_languageMenu, static_cast<UINT>(position), MF_BYPOSITION);
    int count = GetAvailableLanguageCount();
    for (int index = 0; index < count; ++index) {
        LANGID language = 0;
        wchar_t name[128];
        if (GetAvailableLanguage(index, &language, name, 128, TRUE))
            AppendMenuW(m_languageMenu, MF_STRING, language, name);
    }
    CheckLanguageMenu();
}

void CQVLocalize::CheckLanguageMenu() {
    if (!m_languageMenu || !IsMenu(m_languageMenu))
        return;
    int items = GetMenuItemCount(m_languageMenu);
    for (int position = 0; position < items; ++position) {
        UINT id = GetMenuItemID(m_languageMenu, position);
        CheckMenuItem(m_languageMenu, static_cast<UINT>(position),
                      MF_BYPOSITION | (id == GetLanguage() ? MF_CHECKED : MF_UNCHECKED));
    }
}

BOOL CQVLocalize::IsLanguageCommand(UINT id) const {
    return id <= 0xFFFF && IsLanguageAvailable(static_cast<LANGID>(id));
}

int CQVLocalize::FillLanguageCombo(HWND combo, BOOL availableOnly, BOOL nativeNames) {
    if (!combo || !IsWindow(combo))
        return 0;
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const tagQVLANGUAGE* table = QVLocLanguageTable();
    int added = 0;
    for (int row = 1; row < QVLOC_LANGUAGE_COUNT; ++row) {
        if (availableOnly && !GetAvailability(row))
            continue;
        wchar_t name[128];
        GetLanguageDisplayName(table[row].wLangId, nativeNames, name, 128);
        LRESULT item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        if (item < 0)
            continue;
        SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), table[row].wLangId);
        ++added;
    }
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    return added;
}
