#include "editor/PageCmdSetApp.h"

#include <commdlg.h>

#include <cwchar>
#include <cwctype>

#include "cmdsets/CmdSetAdmin.h"
#include "cmdsets/KnownCmdSets.h"
#include "commands/WinCommands.h"
#include "editor/ProgramIcon.h"
#include "editor/RcModelList.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "support/QVLocalize.h"
#include "support/WideCase.h"

namespace {

BOOL BrowseWithDialog(HWND owner, const std::wstring& folder, std::wstring& chosen) {
    wchar_t file[MAX_PATH] = {};
    // Pairs of description and pattern, each ended by a zero.
    static const wchar_t kFilter[] = L"Executables(*.exe;*.com;*.bat)\0**.exe;*.com;*.bat\0All files (*.*)\0*.*\0";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kFilter;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = L"exe";
    ofn.Flags = OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn))
        return FALSE;
    chosen = file;
    return TRUE;
}

std::wstring FileNamePart(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

CPageCmdSetApp::CPageCmdSetApp(const tagEDITORCONTEXT& context)
    : CPageBaseWizard(IDD_WIZARD_APP, context), m_browse(BrowseWithDialog) {
    std::wstring name = L"New";
    if (context.pLocalize) {
        const std::wstring text = context.pLocalize->GetString(IDS_NEW);
        if (!text.empty())
            name = text;
    }
    CopyFixedText(m_info.szName, PRGINFO_TEXT_LEN, name.c_str());
    SetHeader(context.pLocalize ? context.pLocalize->GetString(IDS_APPLICATION) : L"",
              context.pLocalize ? context.pLocalize->GetString(IDS_APP_PAGE_SUBTITLE) : L"");
}

BOOL CPageCmdSetApp::OnInitDialog() {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    SendDlgItemMessageW(m_hwnd, IDC_APP_NAME_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(module, MAKEINTRESOURCEW(IDI_WIZARD_NAME))), 0);
    SendDlgItemMessageW(m_hwnd, IDC_APP_WINDOW_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(module, MAKEINTRESOURCEW(IDI_WIZARD_WINDOW))), 0);
    return CPageBaseWizard::OnInitDialog();
}

void CPageCmdSetApp::UpdateTexts() {
    SetDlgItemTextW(m_hwnd, IDC_APP_OSD, Text(IDS_ENABLE_OSD).c_str());
    SetDlgItemTextW(m_hwnd, IDC_APP_RUN, Text(IDS_RUN).c_str());
    SetToolTip(IDC_APP_BROWSE, IDS_BROWSE);
    SetToolTip(IDC_APP_COMMAND_LINE, IDS_TIP_PARAMETERS);
    SetToolTip(IDC_APP_CAPTION, IDS_TIP_CAPTION);
    SetToolTip(IDC_APP_RUN, IDS_TIP_RUN);
}

void CPageCmdSetApp::InitControls() {
    SetDlgItemTextW(m_hwnd, IDC_APP_NAME, m_info.szName);
    SetDlgItemTextW(m_hwnd, IDC_APP_DESCRIPTION, m_info.szDescription);
    HWND combo = GetItem(IDC_APP_EXECUTABLE);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    if (Context().pAdmin) {
        for (const auto& entry : Context().pAdmin->GetAppPaths())
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.first.c_str()));
    }
    // The first item that begins with the set's executable, else the name as typed.
    const std::wstring wanted = Lower(m_info.szExecutable);
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    int found = CB_ERR;
    for (int i = 0; i < count && !wanted.empty() && found == CB_ERR; ++i) {
        if (Lower(GetComboItemText(combo, i)).compare(0, wanted.size(), wanted) == 0)
            found = i;
    }
    if (found != CB_ERR)
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    else
        SetWindowTextW(combo, m_info.szExecutable);
    SetDlgItemTextW(m_hwnd, IDC_APP_PATH, m_info.szAppPath);
    SetDlgItemTextW(m_hwnd, IDC_APP_COMMAND_LINE, m_info.szCommandLine);
    SetDlgItemTextW(m_hwnd, IDC_APP_CAPTION, m_info.szWindowCaption);
    CheckDlgButton(m_hwnd, IDC_APP_OSD, m_info.fHideOsd ? BST_UNCHECKED : BST_CHECKED);
}

void CPageCmdSetApp::UpdateControls() {
    tagPRGINFO shown;
    CopyFixedText(shown.szAppPath, PRGINFO_TEXT_LEN, ItemText(IDC_APP_PATH).c_str());
    CQVIcon icon = LoadProgramIcon(shown, true);
    SendDlgItemMessageW(m_hwnd, IDC_APP_PROGRAM_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    // The static shows the new icon now: the old one may go.
    m_icon = std::move(icon);
}

BOOL CPageCmdSetApp::SaveData() {
    CopyFixedText(m_info.szName, PRGINFO_TEXT_LEN, ItemText(IDC_APP_NAME).c_str());
    CopyFixedText(m_info.szDescription, PRGINFO_TEXT_LEN, ItemText(IDC_APP_DESCRIPTION).c_str());
    const std::wstring path = ItemText(IDC_APP_PATH);
    CopyFixedText(m_info.szAppPath, PRGINFO_TEXT_LEN, path.c_str());
    const bool hasFolder = path.find_first_of(L"\\/") != std::wstring::npos;
    CopyFixedText(m_info.szExecutable, PRGINFO_TEXT_LEN,
                  hasFolder ? FileNamePart(path).c_str() : ItemText(IDC_APP_EXECUTABLE).c_str());
    CopyFixedText(m_info.szCommandLine, PRGINFO_TEXT_LEN, ItemText(IDC_APP_COMMAND_LINE).c_str());
    CopyFixedText(m_info.szWindowCaption, PRGINFO_TEXT_LEN, ItemText(IDC_APP_CAPTION).c_str());
    m_info.fHideOsd = IsDlgButtonChecked(m_hwnd, IDC_APP_OSD) == BST_CHECKED ? 0 : 1;
    return TRUE;
}

BOOL CPageCmdSetApp::OnSetActive() {
    SetWizardButtons(PSWIZB_NEXT);
    return CPageBaseWizard::OnSetActive();
}

LRESULT CPageCmdSetApp::OnWizardNext() {
    SaveData();
    if (!m_info.szExecutable[0] && !m_info.szAppPath[0]) {
        if (Context().pLocalize)
            Context().pLocalize->ShowMessage(m_hwnd, IDS_MSG_NO_PATH, QVMSG_ERROR);
        return -1;
    }
    // The key page writes under this name: it must name this set and no other.
    if (!m_info.szName[0]) {
        MessageBeep(MB_ICONERROR);
        SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(IDC_APP_NAME)), TRUE);
        return -1;
    }
    tagPRGINFO other;
    if (Context().pAdmin)
        Context().pAdmin->LoadAppList();
    if (m_editedName != m_info.szName && CKnownCmdSets::Instance().LookupSet(m_info.szName, other)) {
        ShowNameTaken(m_info.szName);
        return -1;
    }
    return CPageBaseWizard::OnWizardNext();
}

BOOL CPageCmdSetApp::OnCommand(UINT id, UINT code, HWND) {
    switch (id) {
    case IDC_APP_EXECUTABLE:
        if (code == CBN_SELCHANGE) {
            HWND combo = GetItem(IDC_APP_EXECUTABLE);
            const int selected = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
            if (selected != CB_ERR)
                SetWindowTextW(combo, GetComboItemText(combo, selected).c_str());
            ExecutableChanged();
            return TRUE;
        }
        if (code == CBN_EDITCHANGE) {
            ExecutableChanged();
            return TRUE;
        }
        return FALSE;
    case IDC_APP_BROWSE:
        if (code == BN_CLICKED)
            Browse();
        return TRUE;
    case IDC_APP_RUN:
        if (code == BN_CLICKED) {
            SaveData();
            CWinCommands::StartOrActivateApp(m_info);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

void CPageCmdSetApp::ExecutableChanged() {
    std::wstring name = ItemText(IDC_APP_EXECUTABLE);
    if (!name.empty() && Context().pAdmin) {
        if (name.find(L'.') == std::wstring::npos)
            name += L".exe";
        const AppPathTable& paths = Context().pAdmin->GetAppPaths();
        const auto hit = paths.find(Lower(name));
        if (hit != paths.end())
            SetDlgItemTextW(m_hwnd, IDC_APP_PATH, hit->second.c_str());
    }
    UpdateControls();
}

void CPageCmdSetApp::Browse() {
    std::wstring chosen;
    if (!m_browse || !m_browse(m_hwnd, ItemText(IDC_APP_PATH), chosen))
        return;
    const std::wstring file = FileNamePart(chosen);
    if (file.find(L'.') != std::wstring::npos) {
        SetDlgItemTextW(m_hwnd, IDC_APP_PATH, chosen.c_str());
        SetDlgItemTextW(m_hwnd, IDC_APP_EXECUTABLE, file.c_str());
    } else {
        std::wstring joined = chosen;
        if (!joined.empty() && joined.back() != L'\\')
            joined += L'\\';
        SetDlgItemTextW(m_hwnd, IDC_APP_PATH, (joined + ItemText(IDC_APP_EXECUTABLE)).c_str());
    }
    UpdateControls();
}
