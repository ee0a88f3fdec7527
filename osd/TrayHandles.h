#pragma once
// Owners of the menus and icons of the tray, on the project's CQVScoped.

#include "support/ScopedWin.h"

#include <windows.h>

// CreateMenu/CreatePopupMenu. DestroyMenu also destroys every submenu still
// attached: detach the ones that belong to someone else first.
struct CQVMenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyMenu(h); }
};
// LoadImageW without LR_SHARED, CopyIcon, CreateIcon...: icons of our own.
struct CQVIconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};

using CQVMenu = CQVScoped<CQVMenuTraits>;
using CQVIcon = CQVScoped<CQVIconTraits>;

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
