#pragma once
// The owner's menu of the tray icon: one popup item "Load" whose submenu is
// the main-menu popup, a list of the ten main-menu slots.
//
// Free slots get no item: selecting one would load nothing. The popup lists
// the entries present when it is built; a refresh renews the texts and grays
// an item whose slot was freed since (it comes back when the slot is named
// again). User-interface thread only.

#include "osd/TrayHandles.h"

#include <windows.h>

class CCmdSetAdmin;
class CQVLocalizeBase;

constexpr UINT TRAY_CMD_MAINMENU_FIRST = 0x8000;   // + slot 0..9

// The main-menu popup: "%2d. %s" (slot, name) with command 0x8000 + slot for
// every slot that has a name. Null when no menu could be created.
CQVMenu CreateMainMenuPopup(CCmdSetAdmin& admin);
// Texts again from the slots; the item whose name is currentName (may be
// null) gets the radio check among 0x8000 to 0x8009.
void RefreshMainMenuPopup(HMENU popup, CCmdSetAdmin& admin, const wchar_t* currentName);

// The tray menu; it shares the main-menu popup and never destroys it.
class CTrayLoadMenu {
public:
    CTrayLoadMenu() = default;
    ~CTrayLoadMenu() { Destroy(); }
    CTrayLoadMenu(const CTrayLoadMenu&) = delete;
    CTrayLoadMenu& operator=(const CTrayLoadMenu&) = delete;

    // An empty popup with one item, the localized "Load" ("Load" when the
    // localization has no text), whose submenu is mainPopup (not owned).
    // A menu built earlier is destroyed first. FALSE without mainPopup.
    BOOL Create(CQVLocalizeBase& localize, HMENU mainPopup);
    // Detaches the main-menu popup, then destroys the tray menu.
    void Destroy() { DestroyMenuKeepingSubmenus(m_menu); }
    HMENU Get() const { return m_menu.Get(); }

private:
    CQVMenu m_menu;
};
