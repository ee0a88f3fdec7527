#pragma once
// CPageAbout: the program's version, folder and system facts in a read-only
// rich edit whose web addresses open in the browser, and a button that opens
// the readme beside the program.
#include "editor/PageBase.h"

#include <string>

class CPageAbout : public CPageBase {
public:
    explicit CPageAbout(const tagEDITORCONTEXT& context);

    // The whole text as the page shows it (tests read it).
    std::wstring BuildText() const;
    // "1.2.3.4" from the executable's version resource; "" without one.
    static std::wstring GetProgramVersion();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT& result) override;

private:
    void FormatText();
};
