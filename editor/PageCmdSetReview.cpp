#include "editor/PageCmdSetReview.h"

#include "editor/CmdSetInfoText.h"
#include "editor/HtmlWriter.h"
#include "editor/PageCmdSetEdit.h"
#include "editor/RcModelList.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"

CPageCmdSetReview::CPageCmdSetReview(const tagEDITORCONTEXT& context, const tagPRGINFO& record,
                                     const CPageCmdSetEdit& keys)
    : CPageBaseWizard(IDD_WIZARD_REVIEW, context), m_record(record), m_keys(keys) {
    SetHeader(context.pLocalize ? context.pLocalize->GetString(IDS_REVIEW) : L"",
              context.pLocalize ? context.pLocalize->GetString(IDS_REVIEW_SUBTITLE) : L"");
}

BOOL CPageCmdSetReview::OnInitDialog() {
    CPageBaseWizard::OnInitDialog();
    if (HFONT bold = GetBoldFont()) {
        SendDlgItemMessageW(m_hwnd, IDC_REVIEW_APP_GROUP, WM_SETFONT, reinterpret_cast<WPARAM>(bold), TRUE);
        SendDlgItemMessageW(m_hwnd, IDC_REVIEW_SET_GROUP, WM_SETFONT, reinterpret_cast<WPARAM>(bold), TRUE);
    }
    return TRUE;
}

void CPageCmdSetReview::UpdateTexts() {
    SetDlgItemTextW(m_hwnd, IDC_REVIEW_APP_GROUP, Text(IDS_APPLICATION).c_str());
    SetDlgItemTextW(m_hwnd, IDC_REVIEW_SET_GROUP, Text(IDS_COMMAND_SET).c_str());
    SetToolTip(IDC_REVIEW_OVERVIEW, IDS_TIP_OVERVIEW);
}

BOOL CPageCmdSetReview::OnSetActive() {
    SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    ShowCmdSetInfo(GetItem(IDC_REVIEW_INFO), BuildCmdSetInfoText(m_record, [this](UINT id) { return Text(id); }));
    FillRcModelList(GetItem(IDC_REVIEW_MODEL), RcDefaultRowText(Text(IDS_DEFAULT)), Context().pSettings);
    return CPageBaseWizard::OnSetActive();
}

BOOL CPageCmdSetReview::OnCommand(UINT id, UINT code, HWND) {
    if (id != IDC_REVIEW_OVERVIEW || code != BN_CLICKED)
        return FALSE;
    ShowOverview();
    return TRUE;
}

BOOL CPageCmdSetReview::OnWizardFinish() {
    if (!CPageBaseWizard::OnWizardFinish())
        return FALSE;
    if (m_finished)
        m_finished();
    return TRUE;
}

void CPageCmdSetReview::ShowOverview() {
    CHtmlWriter own;
    CHtmlWriter& writer = m_writer ? *m_writer : own;
    if (writer.WriteOverview(SelectedRcType(GetItem(IDC_REVIEW_MODEL)), m_record, m_keys.GetWorkingKeymap()))
        writer.OpenOverview(FALSE);
}
