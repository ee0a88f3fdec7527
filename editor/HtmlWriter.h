#pragma once
// The HTML overview of one command set: "Kanzo.htm" with the style sheet
// "Kanzo.css" and the picture "Kanzo.jpg" in the user's data folder, opened
// with the shell. Texts come from the program's own string tables.
#include <windows.h>

#include <functional>
#include <string>

#include "cmdsets/Keymap.h"
#include "cmdsets/PrgInfo.h"
#include "support/QVLocalize.h"

// Opens a file with the shell verb "open" in a working folder; tests replace it
// so that no browser starts.
using HtmlShellOpen = std::function<bool(const std::wstring& file, const std::wstring& folder, int showCommand)>;

struct tagHTMLWRITER_SETUP {
    std::wstring dataFolder;     // empty: AppData\Vemtra\Remote, created when missing
    std::wstring programFolder;  // where Kanzo.css and Kanzo.jpg are installed; empty: the executable's
    HtmlShellOpen open;          // empty: ShellExecuteW
    tagQVLOCALIZE_SETUP localize;
};

class CHtmlWriter : public CQVLocalize {
public:
    CHtmlWriter();
    explicit CHtmlWriter(const tagHTMLWRITER_SETUP& setup);

    // Writes the page as UTF-8; FALSE (nothing written) when the file cannot be made.
    BOOL WriteOverview(int rcType, const tagPRGINFO& info, const CKeymap& keymap);
    // Asks the shell to open the page (even an old or missing one).
    BOOL OpenOverview(BOOL fMaximized);

    const std::wstring& GetDataFolder() const { return m_dataFolder; }
    const std::wstring& GetPageFile() const { return m_pageFile; }

private:
    // Copies an installation file over the data folder's copy; a missing
    // source leaves the copy as it was.
    void CopyBesidePage(const wchar_t* fileName);
    void SetStylesheet();

    std::wstring m_dataFolder;
    std::wstring m_programFolder;
    std::wstring m_pageFile;
    std::wstring m_styleSheet;
    HtmlShellOpen m_open;
};
