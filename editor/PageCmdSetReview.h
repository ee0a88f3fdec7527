#pragma once
// CPageCmdSetReview: the wizard's last page. The record as the set list would
// describe it, the remote-control model, and the overview of the set's keys
// for that model.
#include <functional>

#include "cmdsets/PrgInfo.h"
#include "editor/PageBaseWizard.h"

class CPageCmdSetEdit;
class CHtmlWriter;

class CPageCmdSetReview : public CPageBaseWizard {
public:
    CPageCmdSetReview(const tagEDITORCONTEXT& context, const tagPRGINFO& record, const CPageCmdSetEdit& keys);
    // Where ">>" writes and opens the overview (null: the program's own writer).
    void SetHtmlWriter(CHtmlWriter* writer) { m_writer = writer; }
    // Called when Finish was pressed here and the page took it.
    void SetOnFinished(std::function<void()> finished) { m_finished = std::move(finished); }
    void UpdateTexts() override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnWizardFinish() override;

private:
    void ShowOverview();

    const tagPRGINFO& m_record;
    const CPageCmdSetEdit& m_keys;
    CHtmlWriter* m_writer = nullptr;
    std::function<void()> m_finished;
};
