#include "editor/PageBaseWizard.h"

BOOL CPageBaseWizard::OnInitDialog() {
    CPageBase::OnInitDialog();
    m_sheet = GetParent(m_hwnd);
    InitControls();
    UpdateControls();
    return TRUE;
}

BOOL CPageBaseWizard::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
    if (msg == WM_HELP) {
        result = TRUE;
        return TRUE;
    }
    return CPageBase::OnMessage(msg, wp, lp, result);
}

void CPageBaseWizard::SetWizardButtons(DWORD buttons) const {
    if (m_sheet)
        PostMessageW(m_sheet, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(buttons));
}
