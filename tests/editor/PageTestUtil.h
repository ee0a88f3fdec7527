#pragma once
// Hosting the editor's pages in tests: a modeless sheet with real page
// windows, driven by the messages a user's actions produce, and a private
// registry key that stands in for the current user's.
#include <windows.h>

#include <string>
#include <vector>

#include "support/QVDialog.h"
#include "support/QVLocalize.h"

namespace pagetest {

// The pages' sheet without a message loop of its own; destroyed with the object.
class CSheetHost {
public:
    CSheetHost() = default;
    ~CSheetHost();
    CSheetHost(const CSheetHost&) = delete;
    CSheetHost& operator=(const CSheetHost&) = delete;

    void Add(CQVPropertyPage& page) { m_sheet.AddPage(page); }
    // Creates the sheet (the first page becomes active); false on failure.
    bool Open();
    // Makes page index the active one (the active page is left first).
    void Activate(int index);
    HWND Get() const { return m_hwnd; }
    // Handles whatever is queued for the sheet's windows.
    void Pump();

private:
    CQVPropertySheet m_sheet;
    HWND m_hwnd = nullptr;
};

// For the life of the object HKEY_CURRENT_USER of this process is a fresh key
// of its own, removed afterwards: the settings the pages write touch nothing else.
class CPrivateUserKey {
public:
    CPrivateUserKey();
    ~CPrivateUserKey();
    CPrivateUserKey(const CPrivateUserKey&) = delete;
    CPrivateUserKey& operator=(const CPrivateUserKey&) = delete;
    bool IsActive() const { return m_active; }

private:
    std::wstring m_path;
    HKEY m_key = nullptr;
    bool m_active = false;
};

// Closes the next message box of this process (OK, or the given button) and
// keeps its text; waits for it at most 10 s.
class CMessageBoxCloser {
public:
    explicit CMessageBoxCloser(int button = IDOK);
    ~CMessageBoxCloser();
    CMessageBoxCloser(const CMessageBoxCloser&) = delete;
    CMessageBoxCloser& operator=(const CMessageBoxCloser&) = delete;
    // The text of the box, once it was closed; empty when none came.
    std::wstring Wait();

private:
    static DWORD WINAPI Run(void* param);
    std::wstring m_text;
    int m_button;
    HANDLE m_thread;
};

// The English (UK) texts of the program's string tables.
tagQVLOCALIZE_SETUP EnglishSetup();

// What a user's choice in a combo box sends: the selection, then CBN_SELCHANGE.
void ChooseComboItem(HWND page, int controlId, int item);
// A click on a button (BM_CLICK: the button notifies its parent itself).
void Click(HWND page, int controlId);
bool IsChecked(HWND page, int controlId);
// The keyboard input of a chord: its keys pressed in order, then released in
// reverse order (for SendInput).
std::vector<INPUT> ChordInput(const std::vector<WORD>& chord);
std::wstring Text(HWND window);

}  // namespace pagetest
