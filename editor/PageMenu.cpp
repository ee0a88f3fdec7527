#include "editor/PageMenu.h"

#include "cmdsets/CmdSetAdmin.h"
#include "cmdsets/KnownCmdSets.h"
#include "editor/ProgramIcon.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "support/QVDebug.h"

#include <algorithm>
#include <cwchar>

const wchar_t MENU_PAGE_GENERAL_SET[] = L"Windows (Standard)";

namespace {

const wchar_t kFreeEntry[] = L"---";

CQVIcon LoadDefaultIcon() {
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP_DEFAULT),
                                               IMAGE_ICON, MENU_PAGE_ICON_SIZE, MENU_PAGE_ICON_SIZE, 0));
    // A build without the program's icons still shows a row image.
    if (!icon)
        icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
    return CQVIcon(icon);
}

}  // namespace

CPageMenu::CPageMenu(const tagEDITORCONTEXT& context) : CPageBase(IDD_PAGE_MENU, context) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

BOOL CPageMenu::OnInitDialog() {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CPageMenu::OnInitDialog");
    CPageBase::OnInitDialog();
    SetToolTip(IDC_MENU_AUTOSELECT, IDS_TIP_AUTOSELECT);
    for (int row = 0; row < MENU_PAGE_ROWS; ++row) {
        SendMessageW(GetItem(IDC_MENU_ROW_LABEL0 + row), WM_SETFONT, reinterpret_cast<WPARAM>(GetBoldFont()), TRUE);
        SendMessageW(Selector(row), WM_SETFONT, reinterpret_cast<WPARAM>(GetBoldFont()), TRUE);
    }
    Layout();
    // The base ran PrepareData before the rows had their fonts and sizes.
    PrepareData();
    return TRUE;
}

void CPageMenu::Layout() {
    HWND first = Selector(0);
    if (!first)
        return;
    for (int row = 0; row < MENU_PAGE_ROWS; ++row) {
        SendMessageW(Selector(row), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), MENU_PAGE_ICON_SIZE);
        SendMessageW(Selector(row), CB_SETITEMHEIGHT, 0, MENU_PAGE_ICON_SIZE);
    }
    RECT rect;
    GetWindowRect(first, &rect);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
    const int height = rect.bottom - rect.top;
    for (int row = 0; row < MENU_PAGE_ROWS; ++row) {
        const int top = rect.top + row * (height + MENU_PAGE_ROW_GAP);
        SetWindowPos(Selector(row), nullptr, rect.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(GetItem(IDC_MENU_ROW_LABEL0 + row), nullptr, rect.left - MENU_PAGE_LABEL_GAP - height, top,
                     height, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The frame grows with the rows, up to the button below it.
    RECT group, button;
    GetWindowRect(GetItem(IDC_MENU_GROUP), &group);
    GetWindowRect(GetItem(IDC_MENU_AUTOSELECT), &button);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&group), 2);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&button), 2);
    const int lastBottom = rect.top + MENU_PAGE_ROWS * (height + MENU_PAGE_ROW_GAP);
    const int bottom = std::min(std::max(static_cast<int>(group.bottom), lastBottom), static_cast<int>(button.top) - 2);
    SetWindowPos(GetItem(IDC_MENU_GROUP), nullptr, 0, 0, group.right - group.left, bottom - group.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CPageMenu::PrepareData() {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CPageMenu::PrepareData");
    CQVImageList images(ImageList_Create(MENU_PAGE_ICON_SIZE, MENU_PAGE_ICON_SIZE, ILC_COLORDDB | ILC_MASK, 10, 10));
    {
        CQVIcon icon = LoadDefaultIcon();
        ImageList_AddIcon(images.Get(), icon.Get());
    }
    for (int row = 0; row < MENU_PAGE_ROWS; ++row) {
        SendMessageW(Selector(row), CB_RESETCONTENT, 0, 0);
        SendMessageW(Selector(row), CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Get()));
    }
    // The selectors hold the new list now; the old one can go.
    m_images = std::move(images);
    m_items.clear();

    CCmdSetAdmin* admin = Context().pAdmin;
    if (admin)
        admin->LoadAppList();
    for (const auto& entry : CKnownCmdSets::Instance().GetSetMap()) {
        const tagPRGINFO& info = entry.second;
        int image = 0;
        if (IsExistingFile(info.szAppPath)) {
            CQVIcon icon = LoadProgramIcon(info, true);
            const int added = ImageList_AddIcon(m_images.Get(), icon.Get());
            if (added >= 0)
                image = added;
        }
        // The free entry's record is all zero: its name is the map's key.
        const std::wstring& name = entry.first;
        // Before the first item that compares greater: the rows stay sorted.
        auto at = std::upper_bound(m_items.begin(), m_items.end(), name,
                                   [](const std::wstring& a, const std::wstring& b) { return a.compare(b) < 0; });
        const int index = static_cast<int>(at - m_items.begin());
        m_items.insert(at, name);
        COMBOBOXEXITEMW item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        item.iImage = image;
        item.iSelectedImage = image;
        for (int row = 0; row < MENU_PAGE_ROWS; ++row)
            SendMessageW(Selector(row), CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    for (int row = 0; row < MENU_PAGE_ROWS; ++row)
        Select(row, 0);
    LoadData();
    UpdateControls();
    return TRUE;
}

void CPageMenu::LoadData() {
    CCmdSetAdmin* admin = Context().pAdmin;
    if (!admin)
        return;
    for (int row = 0; row < MENU_PAGE_ROWS; ++row) {
        std::wstring name;
        if (!admin->GetMenuEntry(row, name))
            continue;
        const int item = FindItem(name);
        if (item >= 0)
            Select(row, item);
    }
}

BOOL CPageMenu::SaveData() {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CPageMenu::SaveData");
    CCmdSetAdmin* admin = Context().pAdmin;
    if (!admin || !m_hwnd)
        return FALSE;
    for (int row = 0; row < MENU_PAGE_ROWS; ++row) {
        const LRESULT item = SendMessageW(Selector(row), CB_GETCURSEL, 0, 0);
        // A row without a selection (no sets known) keeps what the file says.
        if (item < 0 || item >= static_cast<LRESULT>(m_items.size()))
            continue;
        admin->SetMenuEntry(row, m_items[static_cast<size_t>(item)].c_str());
    }
    admin->LoadAppList();
    if (HWND sheet = GetParent(m_hwnd))
        PropSheet_UnChanged(sheet, m_hwnd);
    return TRUE;
}

void CPageMenu::Autoselect() {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CPageMenu::Autoselect");
    for (int row = 0; row < MENU_PAGE_ROWS; ++row)
        Select(row, 0);
    const int general = FindItem(MENU_PAGE_GENERAL_SET);
    if (general >= 0)
        Select(0, general);
    int row = 1;
    for (size_t item = 1; item < m_items.size() && row < MENU_PAGE_ROWS; ++item) {
        const std::wstring& name = m_items[item];
        // Row 0 already holds the general set: the menu lists it once.
        if (name == kFreeEntry || name == MENU_PAGE_GENERAL_SET)
            continue;
        tagPRGINFO info;
        if (!CKnownCmdSets::Instance().LookupSet(name, info) || GetProgramFile(info).empty())
            continue;
        Select(row++, static_cast<int>(item));
    }
    SaveData();
}

BOOL CPageMenu::OnCommand(UINT id, UINT code, HWND) {
    if (id == IDC_MENU_AUTOSELECT && code == BN_CLICKED) {
        Autoselect();
        return TRUE;
    }
    if (id >= IDC_MENU_SELECTOR0 && id < IDC_MENU_SELECTOR0 + MENU_PAGE_ROWS && code == CBN_SELCHANGE) {
        SaveData();
        return TRUE;
    }
    return FALSE;
}

BOOL CPageMenu::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
    // The hand over the Autoselect button only: its window class is every button's.
    if (msg == WM_SETCURSOR && reinterpret_cast<HWND>(wp) == GetItem(IDC_MENU_AUTOSELECT) &&
        LOWORD(lp) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, TRUE);
        result = TRUE;
        return TRUE;
    }
    return CPageBase::OnMessage(msg, wp, lp, result);
}

void CPageMenu::OnDestroy() {
    for (int row = 0; row < MENU_PAGE_ROWS; ++row)
        SendMessageW(Selector(row), CBEM_SETIMAGELIST, 0, 0);
    m_images.Reset();
    CPageBase::OnDestroy();
}

int CPageMenu::FindItem(const std::wstring& name) const {
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (_wcsicmp(m_items[i].c_str(), name.c_str()) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void CPageMenu::Select(int row, int item) {
    SendMessageW(Selector(row), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}
