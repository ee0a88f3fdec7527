#include "osd/TrayLoadMenu.h"

#include "cmdsets/CmdSetAdmin.h"
#include "osd/TrayText.h"
#include "resources/StringIds.h"
#include "support/QVLocalizeBase.h"

#include <string>

CQVMenu CreateMainMenuPopup(CCmdSetAdmin& admin) {
    CQVMenu popup(CreatePopupMenu());
    if (!popup)
        return popup;
    for (int slot = 0; slot < CMDSET_MENU_SLOTS; ++slot) {
        std::wstring name;
        if (!admin.GetMenuEntry(slot, name))
            continue;
        AppendMenuW(popup.Get(), MF_STRING, TRAY_CMD_MAINMENU_FIRST + slot, MainMenuItemText(slot, name).c_str());
    }
    return popup;
}

void RefreshMainMenuPopup(HMENU popup, CCmdSetAdmin& admin, const wchar_t* currentName) {
    if (!popup)
        return;
    UINT checked = 0;
    for (int slot = 0; slot < CMDSET_MENU_SLOTS; ++slot) {
        const UINT id = TRAY_CMD_MAINMENU_FIRST + slot;
        if (GetMenuState(popup, id, MF_BYCOMMAND) == static_cast<UINT>(-1))
            continue;   // no item: the slot was free when the popup was built
        std::wstring name;
        if (!admin.GetMenuEntry(slot, name)) {
            EnableMenuItem(popup, id, MF_BYCOMMAND | MF_GRAYED);
            continue;
        }
        ModifyMenuW(popup, id, MF_BYCOMMAND | MF_STRING | MF_ENABLED, id, MainMenuItemText(slot, name).c_str());
        if (!checked && currentName && name == currentName)
            checked = id;
    }
    if (checked) {
        CheckMenuRadioItem(popup, TRAY_CMD_MAINMENU_FIRST, TRAY_CMD_MAINMENU_FIRST + CMDSET_MENU_SLOTS - 1, checked,
                           MF_BYCOMMAND);
    } else {
        for (int slot = 0; slot < CMDSET_MENU_SLOTS; ++slot)
            CheckMenuItem(popup, TRAY_CMD_MAINMENU_FIRST + slot, MF_BYCOMMAND | MF_UNCHECKED);
    }
}

BOOL CTrayLoadMenu::Create(CQVLocalizeBase& localize, HMENU mainPopup) {
    Destroy();
    if (!mainPopup || !IsMenu(mainPopup))
        return FALSE;
    m_menu.Reset(CreatePopupMenu());
    if (!m_menu)
        return FALSE;
    std::wstring text = localize.GetString(IDS_LOAD);
    if (text.empty())
        text = L"Load";
    if (!AppendMenuW(m_menu.Get(), MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(mainPopup), text.c_str())) {
        m_menu.Close();
        return FALSE;
    }
    return TRUE;
}
