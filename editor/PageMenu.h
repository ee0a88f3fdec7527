#pragma once
// Placeholder until the page lands.
#include "editor/PageBase.h"
#include "resources/EditorIds.h"

class CPageMenu : public CPageBase {
public:
    explicit CPageMenu(const tagEDITORCONTEXT& context) : CPageBase(IDD_PAGE_ABOUT, context) {}
};
