#pragma once
// CPageCmdSets: the Command sets tab. Every known command set with its
// program's icon and where it comes from (preset, user, modified preset), the
// selected set's header as text, and six commands on a toolbar, the list's
// context menu and keys: New and Edit run the wizard, Copy, Delete and Reset
// change the files through the administrator, Info opens the set's HTML
// overview. User-interface thread only.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "cmdsets/PrgInfo.h"
#include "editor/CtrlList.h"
#include "editor/PageBase.h"
#include "support/ScopedImageList.h"
#include "support/ScopedWin.h"

class CHtmlWriter;
class CPropSheetWizard;

class CPageCmdSets : public CPageBase {
public:
    explicit CPageCmdSets(const tagEDITORCONTEXT& context);

    void UpdateTexts() override;
    BOOL SaveData() override { return TRUE; }
    void LoadData() override;
    void UpdateControls() override;
    BOOL PrepareData() override;

    // The selected set (the list's row looked up in the set map); FALSE when none.
    BOOL GetSelectedSet(tagPRGINFO& info) const;
    int GetSelectedOrigin() const;
    // Where a set comes from (SET_ORIGIN_PRESET, _USER or _COPY).
    static int OriginOf(const tagPRGINFO& info);
    CCtrlList& List() { return m_list; }
    HWND GetToolBar() const { return m_toolBar; }

    // Tests: how the wizard runs (default: modal) and where the overview goes.
    using WizardRunner = std::function<INT_PTR(CPropSheetWizard& wizard, HWND owner)>;
    void SetWizardRunner(WizardRunner runner) { m_runWizard = std::move(runner); }
    void SetHtmlWriter(CHtmlWriter* writer) { m_writer = writer; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT& result) override;

private:
    void CreateToolBar();
    void FillList();
    std::wstring StatusText(const tagPRGINFO& info);
    void SelectionChanged();
    void RunCommand(UINT id);
    void NewSet();
    void EditSet(const tagPRGINFO& info);
    void CopySet(const tagPRGINFO& info);
    void DeleteSet(const tagPRGINFO& info);
    void ShowInfo(const tagPRGINFO& info);
    bool CanWrite();
    INT_PTR RunWizard(CPropSheetWizard& wizard);
    void ReloadHandler();

    CCtrlList m_list;
    HWND m_toolBar = nullptr;  // a child of the page: goes with it
    CQVImageList m_smallIcons;
    CQVImageList m_toolImages;
    CQVImageList m_toolDisabled;
    CQVImageList m_toolHot;
    CQVIcon m_largeIcon;
    std::wstring m_iconKey;  // the set and file the icon shows
    WizardRunner m_runWizard;
    CHtmlWriter* m_writer = nullptr;
    bool m_ready = false;  // the list has its columns
};
