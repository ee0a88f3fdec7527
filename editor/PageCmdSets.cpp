#include "editor/PageCmdSets.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "app/Settings.h"
#include "cmdsets/CmdSetAdmin.h"
#include "cmdsets/KnownCmdSets.h"
#include "commands/CmdSetHandler.h"
#include "editor/CmdSetInfoText.h"
#include "editor/HtmlWriter.h"
#include "editor/ProgramIcon.h"
#include "editor/PropSheetWizard.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "support/QVLocalize.h"

namespace {

constexpr int kStatusWidth = 100;
constexpr int kToolBarIndent = 12;
constexpr int kToolBarLeft = 5;
constexpr int kToolBarTop = 10;
constexpr COLORREF kToolTransparent = RGB(255, 0, 255);
constexpr std::size_t kTipChars = 80;

// The toolbar resource: version, image width and height, count, then the command ids.
std::vector<WORD> LoadToolBarResource(HINSTANCE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(RT_TOOLBAR_DATA));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const WORD* data = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    const DWORD bytes = found ? SizeofResource(module, found) : 0;
    if (!data || bytes < 8 || data[0] != 1 || bytes < 8u + 2u * data[3])
        return {};
    return std::vector<WORD>(data + 4, data + 4 + data[3]);
}

CQVImageList ToolImages(HINSTANCE module, int bitmapId, int width, int height, int count) {
    CQVImageList images(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, count, 0));
    CQVBitmap strip(static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0)));
    if (images && strip)
        ImageList_AddMasked(images.Get(), strip.Get(), kToolTransparent);
    return images;
}

}  // namespace

CPageCmdSets::CPageCmdSets(const tagEDITORCONTEXT& context) : CPageBase(IDD_PAGE_CMDSETS, context) {
    LoadRichEditLibrary();
}

BOOL CPageCmdSets::OnInitDialog() {
    CPageBase::OnInitDialog();
    m_list.SubclassDlgItem(IDC_SETS_LIST, m_hwnd, [this] { return GetSelectedOrigin(); }, Context().pLocalize);
    HWND list = m_list.GetHwnd();
    RECT client = {0, 0, 0, 0};
    GetClientRect(list, &client);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL) - 105;
    column.pszText = const_cast<wchar_t*>(L"Software");
    ListView_InsertColumn(list, 0, &column);
    const std::wstring status = Text(IDS_STATUS);
    column.fmt = LVCFMT_RIGHT;
    column.cx = kStatusWidth;
    column.pszText = const_cast<wchar_t*>(status.c_str());
    ListView_InsertColumn(list, 1, &column);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    CreateToolBar();
    m_ready = true;
    FillList();
    return TRUE;
}

void CPageCmdSets::CreateToolBar() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    const std::vector<WORD> commands = LoadToolBarResource(module, IDR_SETS_TOOLBAR);
    m_toolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                    CCS_NORESIZE | CCS_NOPARENTALIGN,
                                0, 0, 0, 0, m_hwnd, nullptr, module, nullptr);
    if (!m_toolBar || commands.empty())
        return;
    SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const int count = static_cast<int>(commands.size());
    m_toolImages = ToolImages(module, IDB_SETS_NORMAL, 16, 15, count);
    m_toolDisabled = ToolImages(module, IDB_SETS_DISABLED, 16, 15, count);
    m_toolHot = ToolImages(module, IDB_SETS_HOT, 16, 15, count);
    SendMessageW(m_toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_toolImages.Get()));
    SendMessageW(m_toolBar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(m_toolDisabled.Get()));
    SendMessageW(m_toolBar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(m_toolHot.Get()));
    SendMessageW(m_toolBar, TB_SETINDENT, kToolBarIndent, 0);
    std::vector<TBBUTTON> buttons(commands.size());
    for (int i = 0; i < count; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = commands[i];
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
    }
    SendMessageW(m_toolBar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(m_toolBar, TB_AUTOSIZE, 0, 0);
    // The bar sits at the top; everything else of the page moves below it.
    RECT page = {0, 0, 0, 0};
    GetClientRect(m_hwnd, &page);
    RECT button = {0, 0, 0, 0};
    SendMessageW(m_toolBar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    const int height = button.bottom + 2;
    SetWindowPos(m_toolBar, nullptr, kToolBarLeft, kToolBarTop, page.right - kToolBarLeft, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const int shift = kToolBarTop + height;
    for (HWND child = GetWindow(m_hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == m_toolBar || GetParent(child) != m_hwnd)
            continue;
        RECT rect = {0, 0, 0, 0};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(child, nullptr, rect.left, rect.top + shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT outer = {0, 0, 0, 0};
    GetWindowRect(m_hwnd, &outer);
    SetWindowPos(m_hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + shift,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPageCmdSets::UpdateTexts() {
    SaveData();
    if (!m_ready)
        return;
    const std::wstring status = Text(IDS_STATUS);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<wchar_t*>(status.c_str());
    ListView_SetColumn(m_list.GetHwnd(), 1, &column);
    FillList();
}

void CPageCmdSets::LoadData() {
    if (m_ready)
        FillList();
}

BOOL CPageCmdSets::PrepareData() {
    if (Context().pAdmin)
        Context().pAdmin->LoadAppList();
    return TRUE;
}

int CPageCmdSets::OriginOf(const tagPRGINFO& info) {
    if (info.fPreset)
        return SET_ORIGIN_PRESET;
    return info.fModifiedPreset ? SET_ORIGIN_COPY : SET_ORIGIN_USER;
}

std::wstring CPageCmdSets::StatusText(const tagPRGINFO& info) {
    switch (OriginOf(info)) {
    case SET_ORIGIN_PRESET:
        return Text(IDS_PRESET);
    case SET_ORIGIN_USER:
        return Text(IDS_USER);
    default:
        return Text(Context().pAdmin && Context().pAdmin->IsPresetUnchanged(info.szName) ? IDS_PRESET : IDS_MODIFIED);
    }
}

void CPageCmdSets::FillList() {
    HWND list = m_list.GetHwnd();
    ListView_DeleteAllItems(list);
    m_smallIcons.Reset(ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, 10, 10));
    ListView_SetImageList(list, m_smallIcons.Get(), LVSIL_SMALL);
    PrepareData();
    int row = 0;
    for (const auto& entry : CKnownCmdSets::Instance().GetSetMap()) {
        const tagPRGINFO& info = entry.second;
        if (entry.first == L"---")
            continue;
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row++;
        item.pszText = const_cast<wchar_t*>(info.szName);
        CQVIcon icon = LoadProgramIcon(info, false);
        const int image = icon ? ImageList_AddIcon(m_smallIcons.Get(), icon.Get()) : -1;
        if (image >= 0) {
            item.mask |= LVIF_IMAGE;
            item.iImage = image;
        }
        const int at = ListView_InsertItem(list, &item);
        if (at < 0)
            continue;
        const std::wstring status = StatusText(info);
        ListView_SetItemText(list, at, 1, const_cast<wchar_t*>(status.c_str()));
    }
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SelectionChanged();
}

BOOL CPageCmdSets::GetSelectedSet(tagPRGINFO& info) const {
    HWND list = m_list.GetHwnd();
    const int row = list ? ListView_GetNextItem(list, -1, LVNI_SELECTED) : -1;
    if (row < 0)
        return FALSE;
    wchar_t name[PRGINFO_TEXT_LEN] = {};
    ListView_GetItemText(list, row, 0, name, PRGINFO_TEXT_LEN);
    return CKnownCmdSets::Instance().LookupSet(name, info) ? TRUE : FALSE;
}

int CPageCmdSets::GetSelectedOrigin() const {
    tagPRGINFO info;
    return GetSelectedSet(info) ? OriginOf(info) : SET_ORIGIN_NONE;
}

void CPageCmdSets::UpdateControls() {
    if (!m_ready)
        return;
    tagPRGINFO info;
    const bool selected = GetSelectedSet(info) != FALSE;
    const int origin = selected ? OriginOf(info) : SET_ORIGIN_NONE;
    // Every half second: the icon is read from the program's file only when the set changed.
    const std::wstring iconKey = selected ? std::wstring(info.szName) + L"|" + GetProgramFile(info) : std::wstring();
    if (iconKey != m_iconKey || !selected) {
        m_iconKey = iconKey;
        if (selected)
            m_largeIcon = LoadProgramIcon(info, true);
        else
            m_largeIcon.Reset();
        SendDlgItemMessageW(m_hwnd, IDC_SETS_ICON, STM_SETICON, reinterpret_cast<WPARAM>(m_largeIcon.Get()), 0);
    }
    const struct {
        UINT id;
        bool enabled;
    } buttons[] = {{IDM_SET_NEW, selected},
                   {IDM_SET_EDIT, selected},
                   {IDM_SET_COPY, selected},
                   {IDM_SET_INFO, selected},
                   {IDM_SET_DELETE, origin == SET_ORIGIN_USER},
                   {IDM_SET_RESET, origin == SET_ORIGIN_COPY}};
    for (const auto& button : buttons)
        SendMessageW(m_toolBar, TB_ENABLEBUTTON, button.id, MAKELPARAM(button.enabled ? TRUE : FALSE, 0));
}

void CPageCmdSets::SelectionChanged() {
    UpdateControls();
    tagPRGINFO info;
    const std::wstring text = GetSelectedSet(info)
                                  ? BuildCmdSetInfoText(info, [this](UINT id) { return Text(id); })
                                  : std::wstring();
    ShowCmdSetInfo(GetItem(IDC_SETS_INFO), text);
}

BOOL CPageCmdSets::OnNotify(NMHDR* header, LRESULT& result) {
    if (header->idFrom == IDC_SETS_LIST && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED))
            SelectionChanged();
        return TRUE;
    }
    if (header->code == TTN_GETDISPINFOW && m_toolBar &&
        header->hwndFrom == reinterpret_cast<HWND>(SendMessageW(m_toolBar, TB_GETTOOLTIPS, 0, 0))) {
        auto* tip = reinterpret_cast<NMTTDISPINFOW*>(header);
        const std::wstring text = Text(static_cast<UINT>(header->idFrom)).substr(0, kTipChars - 1);
        wcsncpy(tip->szText, text.c_str(), kTipChars - 1);
        tip->szText[kTipChars - 1] = L'\0';
        tip->lpszText = tip->szText;
        result = 0;
        return TRUE;
    }
    return CPageBase::OnNotify(header, result);
}

BOOL CPageCmdSets::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
    case IDM_SET_NEW:
    case IDM_SET_COPY:
    case IDM_SET_EDIT:
    case IDM_SET_DELETE:
    case IDM_SET_RESET:
    case IDM_SET_INFO:
        RunCommand(id);
        return TRUE;
    default:
        return FALSE;
    }
}

void CPageCmdSets::RunCommand(UINT id) {
    tagPRGINFO info;
    const bool selected = GetSelectedSet(info) != FALSE;
    HWND list = m_list.GetHwnd();
    const int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    // Without a selection only New applies (keys and menu do nothing then).
    if (!selected && id != IDM_SET_NEW)
        return;
    switch (id) {
    case IDM_SET_NEW:
        NewSet();
        break;
    case IDM_SET_EDIT:
        EditSet(info);
        break;
    case IDM_SET_COPY:
        CopySet(info);
        break;
    case IDM_SET_DELETE:
        DeleteSet(info);
        break;
    case IDM_SET_RESET:
        if (OriginOf(info) == SET_ORIGIN_COPY && CanWrite() && Context().pAdmin) {
            Context().pAdmin->DeleteCmdSet(info.szName);
            ReloadHandler();
        }
        break;
    case IDM_SET_INFO:
        ShowInfo(info);
        break;
    default:
        break;
    }
    LoadData();  // the set map again first (FillList), then the rows
    const int count = ListView_GetItemCount(list);
    const int again = std::min(row, count - 1);
    if (again >= 0) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(list, again, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, again, FALSE);
    }
}

INT_PTR CPageCmdSets::RunWizard(CPropSheetWizard& wizard) {
    HWND owner = GetParent(m_hwnd);
    return m_runWizard ? m_runWizard(wizard, owner) : wizard.DoModal(owner);
}

void CPageCmdSets::NewSet() {
    CPropSheetWizard wizard(Text(IDS_NEW), Context());
    RunWizard(wizard);
}

void CPageCmdSets::EditSet(const tagPRGINFO& info) {
    CPropSheetWizard wizard(Text(IDS_EDIT), Context());
    wizard.AppPage().EditSet(info);
    CKeymap keymap;
    if (Context().pAdmin)
        Context().pAdmin->LoadKeymap(info.szName, keymap, FALSE);
    wizard.KeyPage().SetKeymap(keymap, info.szName);
    if (RunWizard(wizard) != WIZARD_FINISHED)
        return;
    // A renamed set leaves nothing under its old name.
    if (std::wcscmp(wizard.Record().szName, info.szName) != 0 && Context().pAdmin)
        Context().pAdmin->DeleteCmdSet(info.szName);
    ReloadHandler();
}

void CPageCmdSets::CopySet(const tagPRGINFO& info) {
    const std::wstring name = std::wstring(info.szName) + L" (" + Text(IDS_COPY_SUFFIX) + L")";
    tagPRGINFO existing;
    if (CKnownCmdSets::Instance().LookupSet(name, existing)) {
        ShowNameTaken(name);
        return;
    }
    if (!Context().pAdmin || !CanWrite())
        return;
    CKeymap keymap;
    Context().pAdmin->LoadKeymap(info.szName, keymap, FALSE);
    tagPRGINFO copy = info;
    CopyFixedText(copy.szName, PRGINFO_TEXT_LEN, name.c_str());
    Context().pAdmin->SaveKeymap(keymap, &copy);
}

void CPageCmdSets::DeleteSet(const tagPRGINFO& info) {
    CQVLocalize* localize = Context().pLocalize;
    switch (OriginOf(info)) {
    case SET_ORIGIN_PRESET:
        if (localize)
            localize->ShowMessage(m_hwnd, IDS_MSG_PRESET_UNDELETABLE, QVMSG_ERROR);
        return;
    case SET_ORIGIN_COPY:
        if (!CanWrite())
            return;
        if (localize)
            localize->ShowMessage(m_hwnd, IDS_MSG_MODIFIED_PRESET, QVMSG_WARNING);
        break;
    default:
        if (!CanWrite())
            return;
        break;
    }
    if (Context().pAdmin)
        Context().pAdmin->DeleteCmdSet(info.szName);
    ReloadHandler();
}

void CPageCmdSets::ShowInfo(const tagPRGINFO& info) {
    CKeymap keymap;
    if (Context().pAdmin)
        Context().pAdmin->LoadKeymap(info.szName, keymap, FALSE);
    const int rcType = Context().pSettings ? static_cast<int>(Context().pSettings->GetEditorRcType()) : 2;
    CHtmlWriter own;
    CHtmlWriter& writer = m_writer ? *m_writer : own;
    if (writer.WriteOverview(rcType, info, keymap))
        writer.OpenOverview(FALSE);
}

bool CPageCmdSets::CanWrite() {
    CCmdSetAdmin* admin = Context().pAdmin;
    if (!admin || admin->CanWriteUserFile())
        return true;
    // Nothing changes: the user learns why before anything is lost.
    ShowWriteProtected(admin->GetUserFile());
    return false;
}

void CPageCmdSets::ReloadHandler() {
    // The next key uses the files as they are now, even for the active set.
    if (Context().pHandler)
        Context().pHandler->ReloadCurrentSet();
}
