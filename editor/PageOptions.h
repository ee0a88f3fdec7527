#pragma once
// Placeholder until the page lands.
#include "editor/PageBase.h"
#include "resources/EditorIds.h"

class CPageOptions : public CPageBase {
public:
    explicit CPageOptions(const tagEDITORCONTEXT& context) : CPageBase(IDD_PAGE_ABOUT, context) {}
};
