#include "editor/PageCmdSetEdit.h"

#include "app/Settings.h"
#include "cmdsets/CmdSetAdmin.h"
#include "editor/RcModelList.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "support/QVLocalize.h"

int GetKeyOrigin(int keyId, const CKeymap& working, const CKeymap& defaults, const CKeymap& preset) {
    tagWINCMD cmd, other;
    if (!working.Lookup(keyId, cmd) || cmd.nType == 0)
        return KEY_ORIGIN_NONE;
    if (defaults.Lookup(keyId, other) && IsEqualWinCmd(cmd, other))
        return KEY_ORIGIN_DEFAULT;
    if (preset.Lookup(keyId, other) && IsEqualWinCmd(cmd, other))
        return KEY_ORIGIN_PRESET;
    return KEY_ORIGIN_USER;
}

CPageCmdSetEdit::CPageCmdSetEdit(const tagEDITORCONTEXT& context, const tagPRGINFO& record)
    : CPageBaseWizard(IDD_WIZARD_KEYS, context), m_record(record) {
    m_name = context.pLocalize ? context.pLocalize->GetString(IDS_NEW) : L"";
    if (m_name.empty())
        m_name = L"New";
    m_working.LoadDefaults();
    m_defaults.LoadDefaults();
    m_command.nRepeatDelay = 1000;
    m_command.nRepeatInterval = 200;
    SetHeader(context.pLocalize ? context.pLocalize->GetString(IDS_COMMAND_SET) : L"",
              context.pLocalize ? context.pLocalize->GetString(IDS_KEY_PAGE_SUBTITLE) : L"");
}

void CPageCmdSetEdit::SetKeymap(const CKeymap& keymap, const std::wstring& name) {
    m_working.Copy(keymap);
    m_name = name;
    m_defaults.RemoveAll();
    m_defaults.LoadDefaults();
    m_preset.RemoveAll();
    if (Context().pAdmin)
        Context().pAdmin->LoadKeymap(name.c_str(), m_preset, TRUE);
    if (!m_working.Lookup(m_currentKey, m_command))
        m_command = tagWINCMD();
}

void CPageCmdSetEdit::InitControls() {
    if (HFONT bold = GetBoldFont())
        SendDlgItemMessageW(m_hwnd, IDC_KEYS_CURRENT_KEY, WM_SETFONT, reinterpret_cast<WPARAM>(bold), TRUE);
    FillRcModelList(GetItem(IDC_KEYS_MODEL), RcDefaultRowText(Text(IDS_DEFAULT)), Context().pSettings);
    HWND types = GetItem(IDC_KEYS_TYPE);
    SendMessageW(types, CB_RESETCONTENT, 0, 0);
    for (int type = 0; type <= 5; ++type) {
        const LRESULT at =
            SendMessageW(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetCommandTypeName(type, false)));
        SendMessageW(types, CB_SETITEMDATA, static_cast<WPARAM>(at), type);
    }
    SendMessageW(types, CB_SETCURSEL, 0, 0);
    SetToolTip(IDC_KEYS_TYPE, IDS_TIP_COMMAND_TYPE);
    ModelChanged();
    SetKeymap(m_working, m_name);
}

void CPageCmdSetEdit::ModelChanged() {
    HWND list = GetItem(IDC_KEYS_MODEL);
    StoreRcModelChoice(list, Context().pSettings);
    m_rcType = SelectedRcType(list);
    SetKeymap(m_working, m_name);
    UpdateControls();
}

BOOL CPageCmdSetEdit::SaveData() {
    // A fresh administrator: the file as it is now, not as another object cached it.
    if (!Context().pAdmin)
        return TRUE;
    CCmdSetPaths paths;
    paths.presetFile = Context().pAdmin->GetPresetFile();
    paths.userFile = Context().pAdmin->GetUserFile();
    paths.legacyUserFile = Context().pAdmin->GetLegacyUserFile();
    CCmdSetAdmin admin(paths, CAppPathSources());
    // A write-protected file keeps the user on the page with the edits intact.
    if (!admin.CanWriteUserFile() || !admin.SaveKeymap(m_working, &m_record)) {
        if (CQVLocalize* localize = Context().pLocalize)
            localize->ShowMessage(m_hwnd, localize->FormatString(IDS_MSG_WRITE_PROTECTED, paths.userFile.c_str()).c_str(),
                                  QVMSG_WARNING);
        return FALSE;
    }
    return TRUE;
}

BOOL CPageCmdSetEdit::OnSetActive() {
    SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CPageBaseWizard::OnSetActive();
}

BOOL CPageCmdSetEdit::OnCommand(UINT id, UINT code, HWND) {
    if (id == IDC_KEYS_MODEL && code == CBN_SELCHANGE) {
        ModelChanged();
        return TRUE;
    }
    return FALSE;
}
