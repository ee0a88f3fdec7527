#include "editor/PropSheetWizard.h"

#include "resources/EditorIds.h"
#include "support/QVLocalize.h"

CPropSheetWizard::CPropSheetWizard(const std::wstring& title, const tagEDITORCONTEXT& context)
    : m_context((LoadRichEditLibrary(), context)), m_app(context), m_keys(context, m_app.Record()),
      m_review(context, m_app.Record(), m_keys), m_title(title) {
    AddPage(m_app);
    AddPage(m_keys);
    AddPage(m_review);
    SetHeaderBitmap(IDB_WIZARD_HEADER);
    SetCaption(m_title);
    m_review.SetOnFinished([this] { m_finished = true; });
}

DWORD CPropSheetWizard::Flags() {
    // Wizard-97 with page headers; no Help button.
    return PSH_WIZARD97 | PSH_HEADER | PSH_NOCONTEXTHELP;
}

INT_PTR CPropSheetWizard::DoModal(HWND parent) {
    m_finished = false;
    const INT_PTR result = CQVPropertySheet::DoModal(parent, Flags());
    return m_finished && result >= 0 ? WIZARD_FINISHED : IDCANCEL;
}

HWND CPropSheetWizard::CreateModeless(HWND parent) {
    m_finished = false;
    return CQVPropertySheet::CreateModeless(parent, Flags());
}

void CPropSheetWizard::OnInitSheet() {
    if (m_context.pLocalize)
        m_context.pLocalize->LocalizeDialog(GetHwnd(), 0);
}
