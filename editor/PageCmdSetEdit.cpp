#include "editor/PageCmdSetEdit.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "app/Settings.h"
#include "cmdsets/CmdSetAdmin.h"
#include "cmdsets/KeyNames.h"
#include "commands/CmdSetHandler.h"
#include "commands/VirtualKeyNames.h"
#include "commands/WinCommands.h"
#include "editor/CommandLabels.h"
#include "editor/RcModelList.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "support/QVLocalize.h"
#include "support/WideCase.h"

namespace {

constexpr int kRcTypeMidi = 0x0001;
constexpr int kMidiKeys = 128;
constexpr int kSysVolume = 1;
constexpr int kCtlCombo = 2;
constexpr int kCtlSlider = 3;
constexpr int kMaxRepeatText = 9999;

// The page that records the next key; the hook runs on its thread only.
CPageCmdSetEdit* g_recordingPage = nullptr;

std::wstring WithoutVkPrefix(std::wstring name) {
    if (name.compare(0, 3, L"VK_") == 0)
        name.erase(0, 3);
    return name;
}

std::wstring Format(const wchar_t* format, int value) {
    wchar_t text[32];
    std::swprintf(text, 32, format, value);
    return text;
}

int Wrap(int value, int low, int high) {
    if (value > high)
        return low;
    if (value < low)
        return high;
    return value;
}

RECT ChildRect(HWND parent, HWND child) {
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Place(HWND control, int x, int y, int width, int height) {
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsModifierKey(WPARAM vk) {
    switch (vk) {
    case VK_MENU: case VK_LMENU: case VK_RMENU:
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT:
        return true;
    default:
        return false;
    }
}

bool IsDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// The files of an administrator, for a fresh one that sees them as they are now.
CCmdSetPaths PathsOf(const CCmdSetAdmin& admin) {
    CCmdSetPaths paths;
    paths.presetFile = admin.GetPresetFile();
    paths.userFile = admin.GetUserFile();
    paths.legacyUserFile = admin.GetLegacyUserFile();
    return paths;
}

}  // namespace

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

std::wstring ClampRepeatText(const std::wstring& text) {
    const int value = ParseShownNumber(text, 0);
    return value > kMaxRepeatText ? std::to_wstring(value / 10) : text;
}

int ParseShownNumber(const std::wstring& text, int fallback) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool sign = (text[i] == L'+' || text[i] == L'-') && i + 1 < text.size() && std::iswdigit(text[i + 1]);
        if (!sign && !std::iswdigit(text[i]))
            continue;
        // Past four digits nothing is a sensible value here: the field keeps at most four.
        const long value = std::wcstol(text.c_str() + i, nullptr, 10);
        return static_cast<int>(std::max(-1000000L, std::min(1000000L, value)));
    }
    return fallback;
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

CPageCmdSetEdit::~CPageCmdSetEdit() { SetRecording(false); }

void CPageCmdSetEdit::SetKeymap(const CKeymap& keymap, const std::wstring& name) {
    if (&keymap != &m_working)
        m_working.Copy(keymap);
    m_name = name;
    m_defaults.RemoveAll();
    m_defaults.LoadDefaults();
    m_preset.RemoveAll();
    if (Context().pAdmin)
        Context().pAdmin->LoadKeymap(name.c_str(), m_preset, TRUE);
    if (!m_working.Lookup(m_currentKey, m_command))
        m_command = tagWINCMD();
    if (!m_hwnd)
        return;
    m_picture.ClearKeyStates();
    if (m_rcType == kRcTypeMidi) {
        FillKeyList();
    } else {
        for (const auto& entry : m_working)
            ShowOrigin(entry.first);
        // ClearKeyStates selected the first key; the current one stays chosen.
        m_picture.SelectKey(m_currentKey);
    }
    LoadControls(m_command);
    UpdateControls();
}

void CPageCmdSetEdit::InitControls() {
    if (HFONT bold = GetBoldFont())
        SendDlgItemMessageW(m_hwnd, IDC_KEYS_CURRENT_KEY, WM_SETFONT, reinterpret_cast<WPARAM>(bold), TRUE);
    m_picture.SubclassDlgItem(IDC_KEYS_PICTURE, m_hwnd);
    FillRcModelList(GetItem(IDC_KEYS_MODEL), RcDefaultRowText(Text(IDS_DEFAULT)), Context().pSettings);
    HWND types = GetItem(IDC_KEYS_TYPE);
    SendMessageW(types, CB_RESETCONTENT, 0, 0);
    for (int type = CMD_NONE; type <= CMD_CTL; ++type) {
        const LRESULT at =
            SendMessageW(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetCommandTypeName(type, false)));
        SendMessageW(types, CB_SETITEMDATA, static_cast<WPARAM>(at), type);
    }
    SendMessageW(types, CB_SETCURSEL, 0, 0);
    SetDlgItemTextW(m_hwnd, IDC_KEYS_KEYSTROKE, L"A");
    SetDlgItemTextW(m_hwnd, IDC_KEYS_VALUE, L"0");
    SendDlgItemMessageW(m_hwnd, IDC_KEYS_VALUE_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(-100), 100);
    SendDlgItemMessageW(m_hwnd, IDC_KEYS_VALUE_SPIN, UDM_SETPOS32, 0, 0);
    SetDlgItemTextW(m_hwnd, IDC_KEYS_PARAM, L"0");
    SendDlgItemMessageW(m_hwnd, IDC_KEYS_PARAM_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(-100), 100);
    SendDlgItemMessageW(m_hwnd, IDC_KEYS_PARAM_SPIN, UDM_SETPOS32, 0, 0);
    PlaceControls();
    ModelChanged();
    SetKeymap(m_working, m_name);
}

void CPageCmdSetEdit::UpdateTexts() {
    const std::wstring group = Text(IDS_DESCRIPTION) + L" (" + Lower(Text(IDS_OPTIONAL)) + L")";
    SetDlgItemTextW(m_hwnd, IDC_KEYS_TEXT_GROUP, group.c_str());
    SetDlgItemTextW(m_hwnd, IDC_KEYS_RUN, Text(IDS_RUN).c_str());
    SetDlgItemTextW(m_hwnd, IDC_KEYS_TEST, Text(IDS_TEST).c_str());
    SetDlgItemTextW(m_hwnd, IDC_KEYS_REPEAT, Text(IDS_REPEAT).c_str());
    SetToolTip(IDC_KEYS_TYPE, IDS_TIP_COMMAND_TYPE);
    SetToolTip(IDC_KEYS_RECORD, IDS_TIP_NEXT_KEY);
    SetToolTip(IDC_KEYS_TEXT, IDS_TIP_OSD_TEXT);
    SetToolTip(IDC_KEYS_RUN, IDS_TIP_RUN);
    SetToolTip(IDC_KEYS_TEST, IDS_TIP_TEST);
    SetToolTip(IDC_KEYS_PICTURE, IDS_TIP_PICTURE);
}

void CPageCmdSetEdit::PlaceControls() {
    m_valueListRect = ChildRect(m_hwnd, GetItem(IDC_KEYS_VALUE_LIST));
    m_valueLabelRect = ChildRect(m_hwnd, GetItem(IDC_KEYS_VALUE_LABEL));
    m_paramRect = ChildRect(m_hwnd, GetItem(IDC_KEYS_PARAM));
    const RECT value = ChildRect(m_hwnd, GetItem(IDC_KEYS_VALUE));
    Place(GetItem(IDC_KEYS_VALUE), m_valueListRect.left, m_valueListRect.top, value.right - value.left,
          value.bottom - value.top);
    SendDlgItemMessageW(m_hwnd, IDC_KEYS_VALUE_SPIN, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetItem(IDC_KEYS_VALUE)),
                        0);
    // The keystroke line: the key's name as wide as "NUMPAD 8", the recording
    // button beside it, the modifiers on the line below.
    const RECT sub = ChildRect(m_hwnd, GetItem(IDC_KEYS_SUBTYPE));
    const int subWidth = sub.right - sub.left;
    const int subHeight = sub.bottom - sub.top;
    SIZE extent = {40, 0};
    {
        CQVWindowDc dc(m_hwnd);
        CQVSelectObject font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(dc.Get(), L"NUMPAD 8", 8, &extent);
    }
    const int keyWidth = extent.cx + 8;
    Place(GetItem(IDC_KEYS_KEYSTROKE), sub.left, sub.top, keyWidth, subHeight);
    Place(GetItem(IDC_KEYS_RECORD), sub.left + keyWidth + 4, sub.top, std::max(1, subWidth - keyWidth - 4), subHeight);
    const int boxWidth = std::max(1, subWidth / 3 - 8);
    const int modifiers[] = {IDC_KEYS_ALT, IDC_KEYS_CTRL, IDC_KEYS_SHIFT};
    for (int i = 0; i < 3; ++i)
        Place(GetItem(modifiers[i]), sub.left + i * (boxWidth + 4), sub.top + subHeight + 4, boxWidth, subHeight);
}

void CPageCmdSetEdit::ModelChanged() {
    HWND list = GetItem(IDC_KEYS_MODEL);
    StoreRcModelChoice(list, Context().pSettings);
    m_rcType = SelectedRcType(list);
    m_picture.SetRcType(m_rcType);
    if (m_rcType == kRcTypeMidi) {
        m_currentKey = 60;
        Show(IDC_KEYS_MIDI_LIST, true);
    } else {
        Show(IDC_KEYS_MIDI_LIST, false);
        m_currentKey = m_picture.GetSelectedKey();
    }
    SetKeymap(m_working, m_name);
    SetDlgItemTextW(m_hwnd, IDC_KEYS_CURRENT_KEY, GetKeyName(m_currentKey, false));
    UpdateControls();
}

std::wstring CPageCmdSetEdit::KeyListLine(int keyId) const {
    static const UINT originTexts[] = {0, IDS_ORIGIN_DEFAULT, IDS_PRESET, IDS_USER};
    const int origin = GetKeyOrigin(keyId);
    tagWINCMD cmd;
    const int type = m_working.Lookup(keyId, cmd) ? cmd.nType : CMD_NONE;
    const std::wstring originText = origin == KEY_ORIGIN_NONE ? L"---" : Text(originTexts[origin]);
    return std::to_wstring(keyId) + L":\t" + GetKeyName(keyId, false) + L"\t" + originText + L"\t" +
           GetCommandTypeName(type, true);
}

void CPageCmdSetEdit::FillKeyList() {
    HWND list = GetItem(IDC_KEYS_MIDI_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    INT stops[] = {20, 40, 110};
    SendMessageW(list, LB_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(stops));
    for (int key = 0; key < kMidiKeys; ++key)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(KeyListLine(key).c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(m_currentKey), 0);
    // The current key as the sixth visible line.
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, m_currentKey - 5)), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CPageCmdSetEdit::ShowOrigin(int keyId) {
    if (m_rcType != kRcTypeMidi) {
        m_picture.SetKeyState(keyId, GetKeyOrigin(keyId));
        return;
    }
    if (keyId < 0 || keyId >= kMidiKeys)
        return;
    HWND list = GetItem(IDC_KEYS_MIDI_LIST);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(keyId), 0);
    SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(keyId), reinterpret_cast<LPARAM>(KeyListLine(keyId).c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CPageCmdSetEdit::CommitCurrentKey() {
    const tagWINCMD cmd = ReadControls();
    if (cmd.nType == CMD_NONE)
        m_working.RemoveKey(m_currentKey);
    else
        m_working.SetAt(m_currentKey, cmd);
    m_command = cmd;
}

void CPageCmdSetEdit::ChooseKey(int keyId) {
    CommitCurrentKey();
    ShowOrigin(m_currentKey);
    m_currentKey = keyId;
    if (!m_working.Lookup(keyId, m_command))
        m_command = tagWINCMD();
    LoadControls(m_command);
    UpdateControls();
    SetDlgItemTextW(m_hwnd, IDC_KEYS_CURRENT_KEY, GetKeyName(keyId, false));
}

tagWINCMD CPageCmdSetEdit::ReadControls() const {
    tagWINCMD cmd;
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, ItemText(IDC_KEYS_TEXT).c_str());
    cmd.nType = std::max(0, SelectedData(IDC_KEYS_TYPE));
    cmd.nSubType = std::max(0, SelectedData(IDC_KEYS_SUBTYPE));
    cmd.nValue = std::max(0, SelectedData(IDC_KEYS_VALUE_LIST));
    switch (cmd.nType) {
    case CMD_SYS:
        if (cmd.nSubType == kSysVolume)
            cmd.nValue = ParseShownNumber(ItemText(IDC_KEYS_VALUE), 0);
        break;
    case CMD_KEY: {
        const std::wstring key = ItemText(IDC_KEYS_KEYSTROKE);
        cmd.nSubType = key.size() == 1 ? static_cast<int>(key[0]) : (ParseVirtualKeyName(key.c_str()) & 0xFF);
        cmd.nValue = (IsDlgButtonChecked(m_hwnd, IDC_KEYS_ALT) == BST_CHECKED ? CMD_MOD_ALT : 0) |
                     (IsDlgButtonChecked(m_hwnd, IDC_KEYS_CTRL) == BST_CHECKED ? CMD_MOD_CTRL : 0) |
                     (IsDlgButtonChecked(m_hwnd, IDC_KEYS_SHIFT) == BST_CHECKED ? CMD_MOD_SHIFT : 0);
        break;
    }
    case CMD_CTL:
        cmd.nValue = ParseShownNumber(ItemText(IDC_KEYS_VALUE), 0);
        if (cmd.nSubType == kCtlCombo || cmd.nSubType == kCtlSlider)
            cmd.nParam = ParseShownNumber(ItemText(IDC_KEYS_PARAM), 0);
        break;
    default:
        break;
    }
    cmd.fRepeat = IsDlgButtonChecked(m_hwnd, IDC_KEYS_REPEAT) == BST_CHECKED ? 1 : 0;
    cmd.nRepeatDelay = ParseShownNumber(ItemText(IDC_KEYS_DELAY), 1000);
    cmd.nRepeatInterval = ParseShownNumber(ItemText(IDC_KEYS_INTERVAL), 200);
    return cmd;
}

void CPageCmdSetEdit::LoadControls(const tagWINCMD& cmd) {
    m_loading = true;
    SetDlgItemTextW(m_hwnd, IDC_KEYS_TEXT, cmd.szText);
    SelectData(IDC_KEYS_TYPE, cmd.nType);
    FillSubTypes(cmd.nType);
    SelectData(IDC_KEYS_SUBTYPE, cmd.nSubType);
    switch (cmd.nType) {
    case CMD_SYS:
        if (cmd.nSubType == kSysVolume) {
            SetDlgItemTextW(m_hwnd, IDC_KEYS_VALUE, Format(L"%+d%%", cmd.nValue).c_str());
            SendDlgItemMessageW(m_hwnd, IDC_KEYS_VALUE_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(-100), 100);
            SendDlgItemMessageW(m_hwnd, IDC_KEYS_VALUE_SPIN, UDM_SETPOS32, 0, cmd.nValue);
        } else {
            FillValues(cmd.nSubType);
            SelectData(IDC_KEYS_VALUE_LIST, cmd.nValue);
        }
        break;
    case CMD_KEY:
        SetDlgItemTextW(m_hwnd, IDC_KEYS_KEYSTROKE, WithoutVkPrefix(GetVirtualKeyName(cmd.nSubType)).c_str());
        CheckDlgButton(m_hwnd, IDC_KEYS_ALT, (cmd.nValue & CMD_MOD_ALT) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hwnd, IDC_KEYS_CTRL, (cmd.nValue & CMD_MOD_CTRL) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_hwnd, IDC_KEYS_SHIFT, (cmd.nValue & CMD_MOD_SHIFT) ? BST_CHECKED : BST_UNCHECKED);
        break;
    case CMD_CTL:
        SetDlgItemTextW(m_hwnd, IDC_KEYS_VALUE, Format(L"%d", cmd.nValue).c_str());
        if (cmd.nSubType == kCtlCombo) {
            SetDlgItemTextW(m_hwnd, IDC_KEYS_PARAM, Format(L"No. %d", cmd.nParam).c_str());
            SendDlgItemMessageW(m_hwnd, IDC_KEYS_PARAM_SPIN, UDM_SETRANGE32, 0, 100);
            SendDlgItemMessageW(m_hwnd, IDC_KEYS_PARAM_SPIN, UDM_SETPOS32, 0, cmd.nParam);
        } else if (cmd.nSubType == kCtlSlider) {
            SetDlgItemTextW(m_hwnd, IDC_KEYS_PARAM, Format(L"%+02d %%", cmd.nParam).c_str());
            SendDlgItemMessageW(m_hwnd, IDC_KEYS_PARAM_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(-100), 100);
            SendDlgItemMessageW(m_hwnd, IDC_KEYS_PARAM_SPIN, UDM_SETPOS32, 0, cmd.nParam);
        }
        break;
    default:
        break;
    }
    CheckDlgButton(m_hwnd, IDC_KEYS_REPEAT, cmd.fRepeat ? BST_CHECKED : BST_UNCHECKED);
    EnableRepeat(cmd.fRepeat != 0);
    SetDlgItemTextW(m_hwnd, IDC_KEYS_DELAY, std::to_wstring(cmd.nRepeatDelay).c_str());
    SetDlgItemTextW(m_hwnd, IDC_KEYS_INTERVAL, std::to_wstring(cmd.nRepeatInterval).c_str());
    m_loading = false;
}

void CPageCmdSetEdit::FillSubTypes(int type) {
    HWND list = GetItem(IDC_KEYS_SUBTYPE);
    const std::vector<tagCMDLABEL>& labels = GetSubTypeLabels(type);
    if (!labels.empty()) {
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (const tagCMDLABEL& label : labels) {
            const LRESULT at = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(label.nStringId).c_str()));
            SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(at), label.nCode);
        }
    }
    SendMessageW(list, CB_SETCURSEL, 0, 0);
}

void CPageCmdSetEdit::FillValues(int subType) {
    HWND list = GetItem(IDC_KEYS_VALUE_LIST);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const tagCMDLABEL& label : GetSysValueLabels(subType)) {
        const LRESULT at = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(label.nStringId).c_str()));
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(at), label.nCode);
    }
    SendMessageW(list, CB_SETCURSEL, 0, 0);
}

void CPageCmdSetEdit::UpdateControls() {
    if (!m_hwnd)
        return;
    const int type = std::max(0, SelectedData(IDC_KEYS_TYPE));
    const int subType = std::max(0, SelectedData(IDC_KEYS_SUBTYPE));
    const bool any = type != CMD_NONE;
    for (int id : {IDC_KEYS_TEXT_GROUP, IDC_KEYS_PARAMS_GROUP, IDC_KEYS_TEXT, IDC_KEYS_TEST})
        EnableWindow(GetItem(id), any);
    RemoveToolTip(IDC_KEYS_VALUE);

    const bool subList = type == CMD_OSD || type == CMD_SYS || type == CMD_WIN || type == CMD_CTL;
    static const UINT subLabels[] = {0, IDS_SHOW, IDS_LABEL_TYPE, IDS_TYPE_KEYSTROKE, IDS_LABEL_COMMAND,
                                     IDS_LABEL_TYPE};
    Show(IDC_KEYS_SUBTYPE_LABEL, any);
    if (any)
        SetDlgItemTextW(m_hwnd, IDC_KEYS_SUBTYPE_LABEL, Text(subLabels[type]).c_str());
    Show(IDC_KEYS_SUBTYPE, subList);

    // The value: a list, a number with arrows (volume) or a bare number (control id).
    const bool volume = type == CMD_SYS && subType == kSysVolume;
    const bool valueList = type == CMD_SYS && !volume;
    const bool valueNumber = volume || type == CMD_CTL;
    Show(IDC_KEYS_VALUE_LABEL, valueList || valueNumber);
    Show(IDC_KEYS_VALUE_LIST, valueList);
    Show(IDC_KEYS_VALUE, valueNumber);
    Show(IDC_KEYS_VALUE_SPIN, volume);
    HWND label = GetItem(IDC_KEYS_VALUE_LABEL);
    HWND number = GetItem(IDC_KEYS_VALUE);
    const RECT numberRect = ChildRect(m_hwnd, number);
    const int numberWidth = numberRect.right - numberRect.left;
    const int numberHeight = numberRect.bottom - numberRect.top;
    const int labelHeight = m_valueLabelRect.bottom - m_valueLabelRect.top;
    const int labelWidth = m_valueLabelRect.right - m_valueLabelRect.left;
    if (type == CMD_CTL) {
        // Label and number on one line, the number at the second value's left edge.
        Place(label, m_valueLabelRect.left, m_valueLabelRect.top, labelWidth / 2, labelHeight);
        Place(number, m_paramRect.left, m_valueLabelRect.top - (numberHeight - labelHeight) / 2,
              m_paramRect.right - m_paramRect.left, numberHeight);
        SetWindowTextW(label, Text(GetControlIdLabel(subType)).c_str());
        SetToolTip(IDC_KEYS_VALUE, IDS_TIP_CONTROL_ID);
    } else {
        Place(label, m_valueLabelRect.left, m_valueLabelRect.top, labelWidth, labelHeight);
        Place(number, m_valueListRect.left, m_valueListRect.top, numberWidth, numberHeight);
        SendDlgItemMessageW(m_hwnd, IDC_KEYS_VALUE_SPIN, UDM_SETBUDDY, reinterpret_cast<WPARAM>(number), 0);
        const UINT text = volume ? IDS_CHANGE_VOLUME_BY : subType == 4 ? IDS_LABEL_DIRECTION : IDS_LABEL_COMMAND;
        SetWindowTextW(label, Text(text).c_str());
    }

    const bool second = type == CMD_CTL && (subType == kCtlCombo || subType == kCtlSlider);
    for (int id : {IDC_KEYS_PARAM_LABEL, IDC_KEYS_PARAM, IDC_KEYS_PARAM_SPIN})
        Show(id, second);
    if (second)
        SetDlgItemTextW(m_hwnd, IDC_KEYS_PARAM_LABEL,
                        Text(subType == kCtlCombo ? IDS_LABEL_SELECTION : IDS_STEP_WIDTH).c_str());

    for (int id : {IDC_KEYS_KEYSTROKE, IDC_KEYS_RECORD, IDC_KEYS_ALT, IDC_KEYS_CTRL, IDC_KEYS_SHIFT})
        Show(id, type == CMD_KEY);
    const bool repeat = volume || type == CMD_CTL;
    for (int id : {IDC_KEYS_REPEAT, IDC_KEYS_RATE_LABEL, IDC_KEYS_INTERVAL})
        Show(id, repeat);
    Show(IDC_KEYS_DELAY, false);
}

void CPageCmdSetEdit::TypeChanged() {
    FillSubTypes(std::max(0, SelectedData(IDC_KEYS_TYPE)));
    SubTypeChanged();
    ChooseKey(m_currentKey);
}

void CPageCmdSetEdit::SubTypeChanged() {
    if (SelectedData(IDC_KEYS_TYPE) == CMD_SYS)
        FillValues(std::max(0, SelectedData(IDC_KEYS_SUBTYPE)));
    UpdateControls();
}

void CPageCmdSetEdit::EnableRepeat(bool on) {
    for (int id : {IDC_KEYS_RATE_LABEL, IDC_KEYS_DELAY, IDC_KEYS_INTERVAL})
        EnableWindow(GetItem(id), on);
}

void CPageCmdSetEdit::SpinChanged(int id, int position, int delta) {
    HWND spin = GetItem(id);
    INT low = 0, high = 0;
    SendMessageW(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    const int value = Wrap(position + delta, std::min(low, high), std::max(low, high));
    SendMessageW(spin, UDM_SETPOS32, 0, value);
    const int type = SelectedData(IDC_KEYS_TYPE);
    const int subType = SelectedData(IDC_KEYS_SUBTYPE);
    int field = 0;
    std::wstring text;
    if (id == IDC_KEYS_VALUE_SPIN && type == CMD_SYS && subType == kSysVolume) {
        field = IDC_KEYS_VALUE;
        text = Format(L"%+02d %%", value);
    } else if (id == IDC_KEYS_PARAM_SPIN && subType == kCtlCombo) {
        field = IDC_KEYS_PARAM;
        text = Format(L"No. %d", value);
    } else if (id == IDC_KEYS_PARAM_SPIN && subType == kCtlSlider) {
        field = IDC_KEYS_PARAM;
        text = Format(L"%+02d %%", value);
    }
    if (field) {
        SetDlgItemTextW(m_hwnd, field, text.c_str());
        SendDlgItemMessageW(m_hwnd, field, EM_SETSEL, 0, -1);
    }
}

void CPageCmdSetEdit::RepeatTextChanged(int id) {
    const std::wstring text = ItemText(id);
    const std::wstring clamped = ClampRepeatText(text);
    if (clamped != text)
        SetDlgItemTextW(m_hwnd, id, clamped.c_str());
}

void CPageCmdSetEdit::TestCommand() {
    const tagWINCMD cmd = ReadControls();
    if (Context().pAdmin) {
        // A handler of its own: the program's dispatcher keeps its set and target.
        CCmdSetHandler handler(PathsOf(*Context().pAdmin), CAppPathSources());
        handler.SetDisplay(Context().pOsd);
        handler.ExecuteCommand(cmd, &m_record);
    }
    SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(IDC_KEYS_TEST)), TRUE);
}

BOOL CPageCmdSetEdit::SaveData() {
    if (m_hwnd)
        CommitCurrentKey();
    // A fresh administrator: the file as it is now, not as another object cached it.
    if (!Context().pAdmin)
        return TRUE;
    const CCmdSetPaths paths = PathsOf(*Context().pAdmin);
    CCmdSetAdmin admin(paths, CAppPathSources());
    // A write-protected file keeps the user on the page with the edits intact.
    if (!admin.CanWriteUserFile() || !admin.SaveKeymap(m_working, &m_record)) {
        ShowWriteProtected(paths.userFile);
        return FALSE;
    }
    return TRUE;
}

BOOL CPageCmdSetEdit::OnSetActive() {
    SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CPageBaseWizard::OnSetActive();
}

BOOL CPageCmdSetEdit::OnCommand(UINT id, UINT code, HWND) {
    if (m_loading)
        return FALSE;
    switch (id) {
    case IDC_KEYS_MODEL:
        if (code == CBN_SELCHANGE)
            ModelChanged();
        return TRUE;
    case IDC_KEYS_TYPE:
        if (code == CBN_SELCHANGE)
            TypeChanged();
        return TRUE;
    case IDC_KEYS_SUBTYPE:
        if (code == CBN_SELCHANGE)
            SubTypeChanged();
        return TRUE;
    case IDC_KEYS_RECORD:
        if (code == BN_CLICKED)
            SetRecording(IsDlgButtonChecked(m_hwnd, IDC_KEYS_RECORD) == BST_CHECKED);
        return TRUE;
    case IDC_KEYS_RUN:
        if (code == BN_CLICKED)
            CWinCommands::StartOrActivateApp(m_record);
        return TRUE;
    case IDC_KEYS_TEST:
        if (code == BN_CLICKED)
            TestCommand();
        return TRUE;
    case IDC_KEYS_REPEAT:
        if (code == BN_CLICKED)
            EnableRepeat(IsDlgButtonChecked(m_hwnd, IDC_KEYS_REPEAT) == BST_CHECKED);
        return TRUE;
    case IDC_KEYS_DELAY:
    case IDC_KEYS_INTERVAL:
        if (code == EN_CHANGE)
            RepeatTextChanged(static_cast<int>(id));
        return TRUE;
    case IDC_KEYS_MIDI_LIST:
        if (code == LBN_SELCHANGE) {
            const LRESULT selected = SendDlgItemMessageW(m_hwnd, IDC_KEYS_MIDI_LIST, LB_GETCURSEL, 0, 0);
            if (selected != LB_ERR)
                ChooseKey(static_cast<int>(selected));
        }
        return TRUE;
    case IDC_KEYS_PICTURE:
        ChooseKey(m_picture.GetSelectedKey());
        SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(IDC_KEYS_TYPE)), TRUE);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CPageCmdSetEdit::OnNotify(NMHDR* header, LRESULT& result) {
    if (header->code == UDN_DELTAPOS &&
        (header->idFrom == IDC_KEYS_VALUE_SPIN || header->idFrom == IDC_KEYS_PARAM_SPIN)) {
        const auto* change = reinterpret_cast<NMUPDOWN*>(header);
        SpinChanged(static_cast<int>(header->idFrom), change->iPos, change->iDelta);
        // The position is set already, wrapped past the ends.
        result = TRUE;
        return TRUE;
    }
    return CPageBaseWizard::OnNotify(header, result);
}

BOOL CPageCmdSetEdit::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(m_hwnd, &paint);
        PaintLegend(dc);
        EndPaint(m_hwnd, &paint);
        result = TRUE;
        return TRUE;
    }
    return CPageBaseWizard::OnMessage(msg, wp, lp, result);
}

void CPageCmdSetEdit::OnDestroy() {
    SetRecording(false);
    CPageBaseWizard::OnDestroy();
}

void CPageCmdSetEdit::PaintLegend(HDC dc) const {
    const RECT run = ChildRect(m_hwnd, GetItem(IDC_KEYS_RUN));
    CQVSelectObject font(dc, reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SIZE x = {0, 0};
    GetTextExtentPoint32W(dc, L"X", 1, &x);
    const int side = x.cy;
    const int bottom = run.top - 4;
    const int top = bottom - side;
    static const UINT texts[] = {IDS_ORIGIN_DEFAULT, IDS_PRESET, IDS_USER_DEFINED};
    int left = run.left;
    for (int state = RCKEY_STATE_DEFAULT; state <= RCKEY_STATE_USER; ++state) {
        RECT square = {left, top, left + side, bottom};
        CQVBrush fill(CreateSolidBrush(CCtrlRc::StateColour(state)));
        FillRect(dc, &square, fill.Get());
        FrameRect(dc, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        const std::wstring text = Text(texts[state - 1]);
        TextOutW(dc, left + side + 4, top, text.c_str(), static_cast<int>(text.size()));
        SIZE extent = {0, 0};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        left += side + extent.cx + 12;
    }
}

int CPageCmdSetEdit::SelectedData(int id) const {
    HWND combo = GetItem(id);
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return -1;
    return static_cast<int>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
}

void CPageCmdSetEdit::SelectData(int id, int data) {
    HWND combo = GetItem(id);
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (static_cast<int>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == data) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void CPageCmdSetEdit::Show(int id, bool show) const { ShowWindow(GetItem(id), show ? SW_SHOW : SW_HIDE); }

void CPageCmdSetEdit::SetRecording(bool on) {
    m_recording = on;
    if (on && !m_hook) {
        g_recordingPage = this;
        m_hook = SetWindowsHookExW(WH_GETMESSAGE, RecordHook, nullptr, GetCurrentThreadId());
    } else if (!on && m_hook) {
        UnhookWindowsHookEx(m_hook);
        m_hook = nullptr;
        if (g_recordingPage == this)
            g_recordingPage = nullptr;
    }
}

LRESULT CALLBACK CPageCmdSetEdit::RecordHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE && g_recordingPage) {
        MSG* msg = reinterpret_cast<MSG*>(lp);
        if (g_recordingPage->RecordKey(*msg))
            msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

bool CPageCmdSetEdit::RecordKey(const MSG& msg) {
    if (!m_recording || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN))
        return false;
    if (msg.hwnd != m_hwnd && !IsChild(m_hwnd, msg.hwnd))
        return false;
    // Modifiers alone are part of the shortcut still to come.
    if (IsModifierKey(msg.wParam))
        return true;
    std::wstring name = WithoutVkPrefix(GetVirtualKeyName(static_cast<int>(msg.wParam)));
    if (name.size() == 1) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        wchar_t produced[4] = {};
        const UINT scan = (static_cast<UINT>(msg.lParam) >> 16) & 0xFF;
        if (ToUnicode(static_cast<UINT>(msg.wParam), scan, state, produced, 4, 0) == 1) {
            wchar_t c = produced[0];
            if (IsDown(VK_CONTROL) && c < 32)
                c = static_cast<wchar_t>(c + 64);
            name.assign(1, c);
        }
    }
    CheckDlgButton(m_hwnd, IDC_KEYS_ALT, IsDown(VK_MENU) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hwnd, IDC_KEYS_CTRL, IsDown(VK_CONTROL) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hwnd, IDC_KEYS_SHIFT, IsDown(VK_SHIFT) ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(m_hwnd, IDC_KEYS_KEYSTROKE, Upper(name).c_str());
    CheckDlgButton(m_hwnd, IDC_KEYS_RECORD, BST_UNCHECKED);
    SetRecording(false);
    return true;
}
