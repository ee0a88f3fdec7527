#pragma once
// CPageMenu: the first tab of the options sheet. Ten rows choose the command
// sets that the ten main-menu entries start; every change is written at once.
#include "editor/PageBase.h"
#include "resources/EditorIds.h"
#include "support/ScopedImageList.h"

#include <commctrl.h>

#include <string>
#include <vector>

constexpr int MENU_PAGE_ROWS = 10;
constexpr int MENU_PAGE_ICON_SIZE = 32;
constexpr int MENU_PAGE_ROW_GAP = 8;     // pixels between two rows
constexpr int MENU_PAGE_LABEL_GAP = 4;   // pixels between a row's label and its selector
extern const wchar_t MENU_PAGE_GENERAL_SET[];  // "Windows (Standard)", row 0 of Autoselect

class CPageMenu : public CPageBase {
public:
    explicit CPageMenu(const tagEDITORCONTEXT& context);

    BOOL SaveData() override;
    void LoadData() override;
    BOOL PrepareData() override;
    // Row 0 the general set, rows 1 to 9 the installed programs in name order; then saved.
    void Autoselect();

    // The items every selector offers, in their order.
    const std::vector<std::wstring>& GetItems() const { return m_items; }
    HIMAGELIST GetImageList() const { return m_images.Get(); }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
    void OnDestroy() override;

private:
    void Layout();
    HWND Selector(int row) const { return GetItem(IDC_MENU_SELECTOR0 + row); }
    int FindItem(const std::wstring& name) const;
    void Select(int row, int item);

    CQVImageList m_images;
    std::vector<std::wstring> m_items;
};
