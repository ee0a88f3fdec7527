#pragma once
// Emptying and destroying the tray's menus without destroying submenus that
// belong to another menu (the owners are CQVMenu and CQVIcon of ScopedWin.h).

#include "support/ScopedWin.h"

#include <windows.h>

// Removes every item of menu from the last to the first. Items with a submenu
// are only detached, so the submenu survives; the others are deleted.
inline void DetachAndEmptyMenu(HMENU menu) {
    if (!menu)
        return;
    for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i) {
        if (GetSubMenu(menu, i))
            RemoveMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
        else
            DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
    }
}

// Destroys a menu that may carry submenus of another owner: they are detached first.
inline void DestroyMenuKeepingSubmenus(CQVMenu& menu) {
    DetachAndEmptyMenu(menu.Get());
    menu.Close();
}
