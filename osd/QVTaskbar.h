#pragma once
// CQVTaskbar: one icon in the shell's notification area for an owner window.
// A left click shows or hides the owner; a right click pops up a menu made of
// the owner's menu and the standard items Show/Hide and Exit, in the user's
// Windows language. User-interface thread only.
//
// The icon-present flag means "the icon is wanted": it follows Create and
// Remove whatever the shell answered, so that a shell that comes back
// (TaskbarCreated) gets the icon again.

#include "osd/TrayHandles.h"

#include <shellapi.h>
#include <windows.h>

constexpr UINT TRAY_ICON_ID = 1;
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 244;   // 1268
constexpr UINT TRAY_CMD_SHOWHIDE = 34111;        // 0x853F
constexpr UINT TRAY_CMD_EXIT = 34112;            // 0x8540
// A window whose left edge is here was never placed: it is centred when first shown.
constexpr int TRAY_UNPLACED_LEFT = 4000;

class CQVTaskbar {
public:
    CQVTaskbar();
    virtual ~CQVTaskbar();
    CQVTaskbar(const CQVTaskbar&) = delete;
    CQVTaskbar& operator=(const CQVTaskbar&) = delete;

    // Adds the icon for owner (null: the main window set with SetMainWindow).
    // iconId: an icon of the program's resources; 0: the owner's own icon.
    // tip: cut to 127 characters; null or empty: the owner's window text (63
    // characters at most). A second Create replaces the icon. FALSE when there
    // is no owner window (nothing changes) or the shell refused the icon (the
    // flag is set all the same, see above).
    BOOL Create(HWND owner, UINT iconId, const wchar_t* tip);
    // Deletes the icon and the popup; submenus of the owner's menu survive.
    void Remove();
    // menu: the owner's menu to copy into the popup (not owned; null: none).
    void SetMenu(HMENU menu, BOOL standardItems);
    // The low parameter of WM_TRAY_NOTIFY. Returns TRUE.
    BOOL OnTrayNotify(UINT mouseMessage);
    // TRUE while the icon is present (34111 and 34112 are acted on), FALSE otherwise.
    BOOL OnCommand(UINT id);

    // The shell restarted (the message of GetTaskbarCreatedMessage): adds the
    // icon again when it is present. TRUE when the shell holds it afterwards
    // (LastAddSucceeded tells whether NIM_ADD did it).
    BOOL OnTaskbarCreated();
    static UINT GetTaskbarCreatedMessage();

    // Empties and fills the popup as a right click does, without tracking it.
    // Null before Create and after Remove. The menu stays owned by this object.
    HMENU BuildPopup();

    // The owner used by Create when it is given none (no framework has one).
    static void SetMainWindow(HWND hwnd);

    BOOL IsIconPresent() const { return m_iconPresent; }
    // What the shell answered to the last NIM_ADD (FALSE before any).
    BOOL LastAddSucceeded() const { return m_lastAddSucceeded; }
    HWND GetOwner() const { return m_owner; }
    const NOTIFYICONDATAW& GetNotifyData() const { return m_data; }

private:
    void ShowOwner(bool raise);
    void ToggleOwner(bool raise);
    void AddIcon();
    void CopyUserMenu(HMENU popup);

    HWND m_owner = nullptr;
    HMENU m_userMenu = nullptr;   // the owner's
    CQVMenu m_popup;
    CQVIcon m_icon;
    NOTIFYICONDATAW m_data = {};
    BOOL m_iconPresent = FALSE;
    BOOL m_standardItems = TRUE;
    BOOL m_lastAddSucceeded = FALSE;
};
