#pragma once
// CPageCmdSetApp: the wizard's application page. Name, description, the
// program (chosen from the installed applications or browsed for), its command
// line and window caption, and whether keys of the set are announced. Its
// record is the wizard's record.
#include <string>

#include "cmdsets/PrgInfo.h"
#include "editor/PageBaseWizard.h"
#include "support/ScopedWin.h"

class CPageCmdSetApp : public CPageBaseWizard {
public:
    explicit CPageCmdSetApp(const tagEDITORCONTEXT& context);

    tagPRGINFO& Record() { return m_info; }
    // Editing an existing set: the record becomes a copy of it, and Next takes
    // its name as free. A new set must have a name that no set has.
    void EditSet(const tagPRGINFO& info) {
        m_info = info;
        m_editedName = info.szName;
    }
    const tagPRGINFO& Record() const { return m_info; }

    void InitControls() override;
    void UpdateControls() override;
    BOOL SaveData() override;
    void UpdateTexts() override;

    // The open-file dialog's answer (tests replace the dialog): FALSE when cancelled.
    using BrowseFunction = BOOL (*)(HWND owner, const std::wstring& folder, std::wstring& chosen);
    void SetBrowse(BrowseFunction browse) { m_browse = browse; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;

private:
    void ExecutableChanged();
    void Browse();

    tagPRGINFO m_info;
    std::wstring m_editedName;  // the set being edited may keep its name; empty for a new set
    CQVIcon m_icon;
    BrowseFunction m_browse = nullptr;
};
