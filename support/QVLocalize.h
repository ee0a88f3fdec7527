#pragma once
// CQVLocalize: the localization applied to the user interface. Puts texts on
// menus, dialogs and tool tips by their ids, shows localized message boxes and
// keeps a menu of the available languages. User-interface thread only.

#include "support/QVLocalizeBase.h"

#include <windows.h>

// Kinds of ShowMessage.
enum : int {
    QVMSG_ERROR = 0,            // OK, error icon, caption string 0xD101 ("Error")
    QVMSG_WARNING = 1,          // OK, warning icon, caption string 0xD540 ("Warning")
    QVMSG_PLAIN = 2,            // OK, the caller's caption, no icon
    QVMSG_ERROR_YESNO = 3,      // Yes/No, error icon, "Error"
    QVMSG_WARNING_YESNO = 4,    // Yes/No, warning icon, "Warning"
    QVMSG_PLAIN_YESNO = 5,      // Yes/No, the caller's caption, no icon
};

constexpr UINT QVLOC_ID_CAPTION_ERROR = 0xD101;
constexpr UINT QVLOC_ID_CAPTION_WARNING = 0xD540;

class CQVLocalize : public CQVLocalizeBase {
public:
    CQVLocalize() = default;
    explicit CQVLocalize(const tagQVLOCALIZE_SETUP& setup) : CQVLocalizeBase(setup) {}
    ~CQVLocalize() override;

    // As the base, then the language menu checks the new language.
    void SetLanguage(LANGID language) override;
    // As the base, then the language menu is rebuilt (availability may change).
    void SetSource(int mode, const wchar_t* prefix) override;

    // Every item (popup menus included) whose id + offset has a text gets it.
    // Items that have an accelerator in the table read "text\tkey" or
    // "text\tmodifier+key", with the mnemonic on the key's letter.
    int LocalizeMenu(HMENU menu, HACCEL accelerators = nullptr);
    // The window's title from titleId (0: unchanged), then the text of every
    // direct child control from its id + offset, where one exists.
    int LocalizeDialog(HWND window, UINT titleId);
    // A tool of the tool-tip control for every direct child control whose
    // id + offset has a text; an earlier tool of that control is replaced.
    int LocalizeToolTips(HWND window, HWND toolTip);

    // A message box, topmost and task-modal; returns the button pressed (IDOK,
    // IDYES, IDNO), 0 when no box could be shown. The caption is used by the
    // plain kinds only; the others take the localized "Error"/"Warning".
    int ShowMessage(HWND owner, UINT textId, int kind, const wchar_t* caption = nullptr);
    int ShowMessage(HWND owner, const wchar_t* text, int kind, const wchar_t* caption = nullptr);
    // MessageBox style of a kind and the string id of its caption (0: the caller's).
    static UINT GetMessageStyle(int kind, UINT* captionId);

    // Popup menu of the available languages by their native names, item id =
    // LANGID, the current one checked. Created on first use and kept by this
    // object; a window that takes it as a submenu destroys it with its own menu,
    // which this object notices.
    HMENU GetLanguageMenu();
    // Whether a command id is an item of the language menu (an available language).
    BOOL IsLanguageCommand(UINT id) const;
    // Fills a combo box with the 36 languages or only the available ones: item
    // data = LANGID, the first item selected. Returns the number of items.
    int FillLanguageCombo(HWND combo, BOOL availableOnly, BOOL nativeNames = TRUE);

private:
    void RebuildLanguageMenu();
    void CheckLanguageMenu();
    std::wstring AcceleratorKeyName(BYTE virtualFlags, WORD key);

    HMENU m_languageMenu = nullptr;
};
