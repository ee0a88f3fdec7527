#pragma once
// CPageBaseWizard: a page of the command-set wizard. On top of the editor's
// page base (tool tips, bold font, localized texts) it fills its controls once
// at initialisation, saves its data before Next and Finish (never on Back),
// and swallows F1: the wizard has no help.
#include "editor/PageBase.h"

class CPageBaseWizard : public CPageBase {
public:
    CPageBaseWizard(UINT templateId, const tagEDITORCONTEXT& context) : CPageBase(templateId, context, false) {}

    // The record and keymap into the controls, once at initialisation.
    virtual void InitControls() {}
    HWND GetSheet() const { return m_sheet; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnKillActive() override { return TRUE; }
    BOOL OnApply() override { return SaveData(); }
    LRESULT OnWizardNext() override { return SaveData() ? 0 : -1; }
    BOOL OnWizardFinish() override { return SaveData(); }
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
    // The wizard buttons of this page (PSWIZB_ flags), when it becomes active.
    void SetWizardButtons(DWORD buttons) const;

private:
    HWND m_sheet = nullptr;
};
