#pragma once
// CPageBase: what every page of the options sheet shares. A tool tip control,
// the dialog font and a bold copy, and a 500 ms timer that refreshes the page
// while it is active. Pages fill the hooks; the base calls them at the right
// moments (initialisation, activation, leaving, OK).
#include "editor/EditorContext.h"
#include "support/QVDialog.h"
#include "support/ScopedWin.h"

#include <string>

constexpr UINT_PTR PAGE_REFRESH_TIMER = 1077;
constexpr UINT PAGE_REFRESH_MS = 500;
constexpr int PAGE_TIP_WIDTH = 250;

// The rich edit's window class: its library, loaded once for the process
// (before a template with a rich edit is made).
void LoadRichEditLibrary();

class CPageBase : public CQVPropertyPage {
public:
    // refresh: UpdateControls every 500 ms while the page is active.
    CPageBase(UINT templateId, const tagEDITORCONTEXT& context, bool refresh = true)
        : CQVPropertyPage(templateId), m_context(context), m_refresh(refresh) {}
    ~CPageBase() override = default;

    // Localized texts and tool tips that the template cannot carry.
    virtual void UpdateTexts() {}
    // The controls into the settings or data; FALSE when that failed.
    virtual BOOL SaveData() { return TRUE; }
    // The settings or data into the controls.
    virtual void LoadData() {}
    // Enable states and live lists; also every 500 ms while active.
    virtual void UpdateControls() {}
    // Data the page needs, when it becomes active.
    virtual BOOL PrepareData() { return TRUE; }

    // The language changed: the controls' texts again, then UpdateTexts.
    void Relocalize();
    HWND GetToolTip() const { return m_toolTip; }
    HFONT GetBoldFont() const { return m_boldFont.Get(); }
    const tagEDITORCONTEXT& Context() const { return m_context; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnApply() override;
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
    void OnDestroy() override;

    // The localized text of a string id ("" when it has none).
    std::wstring Text(UINT id) const;
    // The window text of a control of the page.
    std::wstring ItemText(int id) const;
    // A tool tip on a control; stringId's text (nothing when it has none).
    void SetToolTip(int controlId, UINT stringId);
    void SetToolTipText(int controlId, const std::wstring& text);
    void RemoveToolTip(int controlId);
    // The command-set pages' two refusals: a set name that another set has
    // ("_%s already in list!"), and a user file that cannot be written.
    void ShowNameTaken(const std::wstring& name) const;
    void ShowWriteProtected(const std::wstring& file) const;

private:
    void StartTimer();
    void StopTimer();

    tagEDITORCONTEXT m_context;
    bool m_refresh;
    HWND m_toolTip = nullptr;   // a child of the page: goes with it
    CQVFont m_boldFont;
    UINT_PTR m_timer = 0;
};
