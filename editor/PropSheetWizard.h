#pragma once
// CPropSheetWizard: the command-set wizard. Three pages in a fixed order:
// the application, the keys, the review. The application page's record is
// the wizard's record; the key page writes the set when the user moves on
// from it, so Finish itself writes nothing more.
#include <string>

#include "editor/PageCmdSetApp.h"
#include "editor/PageCmdSetEdit.h"
#include "editor/PageCmdSetReview.h"
#include "support/QVDialog.h"

constexpr INT_PTR WIZARD_FINISHED = 12325;  // ID_WIZFINISH

class CPropSheetWizard : public CQVPropertySheet {
public:
    CPropSheetWizard(const std::wstring& title, const tagEDITORCONTEXT& context);

    // WIZARD_FINISHED when the user finished, IDCANCEL otherwise.
    INT_PTR DoModal(HWND parent);
    // The same without its own loop (tests); null on failure.
    HWND CreateModeless(HWND parent);
    bool IsFinished() const { return m_finished; }

    tagPRGINFO& Record() { return m_app.Record(); }
    CPageCmdSetApp& AppPage() { return m_app; }
    CPageCmdSetEdit& KeyPage() { return m_keys; }
    CPageCmdSetReview& ReviewPage() { return m_review; }

protected:
    void OnInitSheet() override;

private:
    static DWORD Flags();

    tagEDITORCONTEXT m_context;
    CPageCmdSetApp m_app;
    CPageCmdSetEdit m_keys;
    CPageCmdSetReview m_review;
    std::wstring m_title;
    bool m_finished = false;
};
