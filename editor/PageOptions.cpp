#include "editor/PageOptions.h"

#include "app/ReceiverManager.h"
#include "app/Settings.h"
#include "cmdsets/CmdSetAdmin.h"
#include "cmdsets/KnownCmdSets.h"
#include "editor/ReceiverNames.h"
#include "osd/OsdDlg.h"
#include "receivers/MidiNote.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "support/QVDebug.h"
#include "support/QVLocalize.h"

#include <commdlg.h>
#include <mmsystem.h>

#include <cwchar>
#include <cwctype>

namespace {

constexpr int kReceiverSlotKey0 = 7;  // the SAA713x WDM receiver honours "Disable key 0"

// Controls that follow "Enable On Screen Display".
const int kOsdControls[] = {IDC_OPT_TEXT_COLOUR, IDC_OPT_BACK_COLOUR, IDC_OPT_TIME, IDC_OPT_TIME_SPIN,
                            IDC_OPT_TIME_LABEL, IDC_OPT_USE_GRADIENT};

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix) {
    for (; *prefix; ++text, ++prefix) {
        if (!*text || std::towlower(*text) != std::towlower(*prefix))
            return false;
    }
    return true;
}

}  // namespace

void GetOptionsCustomColours(const tagSETTINGS& settings, COLORREF (&colours)[OPTIONS_CUSTOM_COLOURS]) {
    for (COLORREF& colour : colours)
        colour = RGB(255, 255, 255);
    colours[0] = settings.osdTextColor;
    colours[1] = settings.osdBackColor;
    colours[2] = settings.osdGradientColor;
    colours[8] = 0xF0CAA6;
    colours[9] = 0xA56E3A;
    colours[10] = RGB(0, 0, 0);
    colours[11] = GetSysColor(COLOR_CAPTIONTEXT);
    colours[12] = GetSysColor(COLOR_ACTIVECAPTION);
    colours[13] = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
}

std::wstring FormatDisplayTime(int seconds) {
    wchar_t text[32];
    swprintf(text, 32, L"%d sec", seconds);
    return text;
}

int WrapDisplayTime(int seconds) {
    if (seconds < OPTIONS_TIME_MIN)
        return OPTIONS_TIME_MAX;
    if (seconds > OPTIONS_TIME_MAX)
        return OPTIONS_TIME_MIN;
    return seconds;
}

CPageOptions::CPageOptions(const tagEDITORCONTEXT& context) : CPageBase(IDD_PAGE_OPTIONS, context) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                     ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
}

BOOL CPageOptions::OnInitDialog() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CPageOptions::OnInitDialog");
    CPageBase::OnInitDialog();
    m_preview.Subclass(GetItem(IDC_OPT_PREVIEW));
    if (Context().pLocalize && Context().pLocalize->GetLanguage())
        m_preview.SetLanguage(Context().pLocalize->GetLanguage());
    const std::wstring sample = Text(IDS_OSD);
    m_preview.SetText(sample.empty() ? std::wstring(L"On Screen Display") : sample);

    HWND spin = GetItem(IDC_OPT_TIME_SPIN);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetItem(IDC_OPT_TIME)), 0);
    SendMessageW(spin, UDM_SETRANGE32, OPTIONS_TIME_MIN, OPTIONS_TIME_MAX);
    UDACCEL accel[2] = {{0, 1}, {2, 5}};
    SendMessageW(spin, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(accel));

    HWND list = GetItem(IDC_OPT_RECEIVERS);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES,
                                        LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    RECT client = {};
    GetClientRect(list, &client);
    std::wstring devices = Text(IDS_DEVICES);
    std::wstring options = Text(IDS_OPTIONS);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(devices.c_str());
    column.cx = client.right - OPTIONS_OPTION_COLUMN;
    ListView_InsertColumn(list, 0, &column);
    column.pszText = const_cast<wchar_t*>(options.c_str());
    column.cx = OPTIONS_OPTION_COLUMN;
    ListView_InsertColumn(list, 1, &column);

    PrepareData();
    LoadData();
    UpdateControls();
    return TRUE;
}

void CPageOptions::UpdateTexts() {
    const struct {
        int control;
        UINT text;
    } texts[] = {{IDC_OPT_OSD_GROUP, IDS_OSD},
                 {IDC_OPT_STATUS, IDS_HARDWARE},
                 {IDC_OPT_MISC_GROUP, IDS_MISCELLANEOUS},
                 {IDC_OPT_AUTOSTART, IDS_START_WITH_WINDOWS}};
    for (const auto& entry : texts) {
        const std::wstring text = Text(entry.text);
        if (!text.empty())
            SetDlgItemTextW(m_hwnd, entry.control, text.c_str());
    }
    for (int button : {IDC_OPT_TEXT_COLOUR, IDC_OPT_BACK_COLOUR, IDC_OPT_GRADIENT_COLOUR})
        SetToolTip(button, IDS_COLOUR);
    SetToolTip(IDC_OPT_DISABLE_KEY0, IDS_TIP_DISABLE_KEY0);
}

BOOL CPageOptions::PrepareData() {
    CSettings* settings = Context().pSettings;
    if (!settings)
        return FALSE;
    settings->SettingsLoad();
    m_workingMask = settings->Block().receiverSelection;
    return TRUE;
}

void CPageOptions::LoadData() {
    CSettings* settings = Context().pSettings;
    if (!settings || !m_hwnd)
        return;
    const tagSETTINGS& block = settings->Block();
    Check(IDC_OPT_OSD_ON, block.osdOn != 0);
    SetDlgItemTextW(m_hwnd, IDC_OPT_TIME, FormatDisplayTime(static_cast<int>(block.osdTime)).c_str());
    SendMessageW(GetItem(IDC_OPT_TIME_SPIN), UDM_SETPOS32, 0, static_cast<LPARAM>(block.osdTime));
    Check(IDC_OPT_USE_GRADIENT, block.osdUseGradient != 0);
    Check(IDC_OPT_DISABLE_KEY0, block.disableKey0 != 0);
    FillMidiDevices();
    Check(IDC_OPT_AUTOSTART, block.autostart != 0);
    Check(IDC_OPT_DISABLE_SOUND, block.disableSound != 0);
    Check(IDC_OPT_SHOW_TRAY, block.hidden == 0);
    Check(IDC_OPT_EXCLUSIVE, block.exclusive != 0);
    FillExclusiveApps();
    Check(IDC_OPT_LIRC_ON, (block.receiverSelection & RECEIVER_SELECTION_LIRC) != 0);
    SetDlgItemTextW(m_hwnd, IDC_OPT_LIRC_HOST, block.lircHost);
    SetDlgItemTextW(m_hwnd, IDC_OPT_LIRC_PORT, std::to_wstring(block.lircPort).c_str());
}

void CPageOptions::FillMidiDevices() {
    HWND combo = GetItem(IDC_OPT_MIDI_DEVICE);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const UINT count = midiInGetNumDevs();
    Enable(IDC_OPT_MIDI_DEVICE, count > 0);
    if (count == 0)
        return;
    const wchar_t* chosen = Context().pSettings->Block().midiDevice;
    LRESULT selected = 0;
    for (UINT port = 0; port < count; ++port) {
        MIDIINCAPSW caps = {};
        if (midiInGetDevCapsW(port, &caps, sizeof(caps)) != MMSYSERR_NOERROR)
            continue;
        // The sound card's own ports belong to its receiver, not to the MIDI input.
        if (IsFirewirePortName(caps.szPname))
            continue;
        const LRESULT item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caps.szPname));
        if (item < 0)
            continue;
        SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), port);
        if (wcscmp(caps.szPname, chosen) == 0)
            selected = item;
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void CPageOptions::FillExclusiveApps() {
    HWND combo = GetItem(IDC_OPT_EXCLUSIVE_APP);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    if (Context().pAdmin)
        Context().pAdmin->LoadAppList();
    const wchar_t* exclusive = Context().pSettings->Block().exclusiveApp;
    LRESULT selected = -1;
    for (const auto& entry : CKnownCmdSets::Instance().GetSetMap()) {
        const LRESULT item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.first.c_str()));
        if (selected < 0 && item >= 0 && StartsWithNoCase(entry.first.c_str(), exclusive))
            selected = item;
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void CPageOptions::UpdateControls() {
    CSettings* settings = Context().pSettings;
    if (!settings || !m_hwnd)
        return;
    const bool osdOn = IsChecked(IDC_OPT_OSD_ON);
    for (int id : kOsdControls)
        Enable(id, osdOn);
    Enable(IDC_OPT_GRADIENT_COLOUR, osdOn && IsChecked(IDC_OPT_USE_GRADIENT));
    UpdatePreview();
    if (CReceiverManager* receivers = Context().pReceivers) {
        const std::uint32_t active = receivers->GetActiveMask();
        if (active != m_shownMask)
            RebuildReceiverList(active);
    }
    Enable(IDC_OPT_EXCLUSIVE_APP, IsChecked(IDC_OPT_EXCLUSIVE));
    Enable(IDC_OPT_LIRC_HOST, IsChecked(IDC_OPT_LIRC_ON));
    Enable(IDC_OPT_LIRC_PORT, IsChecked(IDC_OPT_LIRC_ON));
}

void CPageOptions::UpdatePreview() {
    const tagSETTINGS& block = Context().pSettings->Block();
    const bool gradient = IsChecked(IDC_OPT_USE_GRADIENT);
    tagOSDSETTINGS shown;
    if (IsChecked(IDC_OPT_OSD_ON)) {
        shown.osdTextColor = block.osdTextColor;
        shown.osdBackColor = block.osdBackColor;
        shown.osdGradientColor = gradient ? block.osdGradientColor : block.osdBackColor;
    } else {
        shown.osdTextColor = OPTIONS_GREY_TEXT;
        shown.osdBackColor = OPTIONS_GREY_BACK;
        shown.osdGradientColor = gradient ? OPTIONS_GREY_GRADIENT : OPTIONS_GREY_BACK;
    }
    // The second background is already chosen above.
    shown.osdUseGradient = 1;
    m_preview.SetColours(OsdColoursFromSettings(shown));
}

void CPageOptions::RebuildReceiverList(std::uint32_t activeMask) {
    HWND list = GetItem(IDC_OPT_RECEIVERS);
    const CReceiverManager& receivers = *Context().pReceivers;
    const tagSETTINGS& block = Context().pSettings->Block();
    m_filling = true;
    ListView_DeleteAllItems(list);
    int row = 0;
    for (int slot = 0; slot < RECEIVER_SLOTS; ++slot) {
        if (!(activeMask & (1u << slot)))
            continue;
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(GetReceiverName(slot));
        item.lParam = slot;
        const int inserted = ListView_InsertItem(list, &item);
        if (inserted < 0)
            continue;
        ListView_SetCheckState(list, inserted, (m_workingMask & (1u << slot)) ? TRUE : FALSE);
        wchar_t option[64] = L"";
        if (slot == RECEIVER_SLOT_MIDI)
            swprintf(option, 64, L"Channel %d", receivers.GetMidiChannel() + 1);
        else if (slot == kReceiverSlotKey0)
            wcscpy(option, block.disableKey0 ? L"Key 0 disabled" : L"Key 0 enabled");
        ListView_SetItemText(list, inserted, 1, option);
        ++row;
    }
    m_filling = false;
    m_shownMask = activeMask;
}

int CPageOptions::SlotOfRow(int row) const {
    if (row < 0)
        return -1;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!ListView_GetItem(GetItem(IDC_OPT_RECEIVERS), &item))
        return -1;
    return static_cast<int>(item.lParam);
}

void CPageOptions::OnReceiverClick() {
    ShowWindow(GetItem(IDC_OPT_DISABLE_KEY0), SW_HIDE);
    ShowWindow(GetItem(IDC_OPT_MIDI_DEVICE), SW_HIDE);
    const int slot = SlotOfRow(ListView_GetNextItem(GetItem(IDC_OPT_RECEIVERS), -1, LVNI_SELECTED));
    if (slot == RECEIVER_SLOT_MIDI)
        ShowWindow(GetItem(IDC_OPT_MIDI_DEVICE), SW_SHOW);
    else if (slot == kReceiverSlotKey0)
        ShowWindow(GetItem(IDC_OPT_DISABLE_KEY0), SW_SHOW);
}

void CPageOptions::OnReceiverChanged(const NMLISTVIEW& change) {
    if (m_filling)
        return;
    if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK)) {
        const int slot = SlotOfRow(change.iItem);
        if (slot >= 0) {
            // State image 2 is the ticked box.
            if ((change.uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2))
                m_workingMask |= 1u << slot;
            else
                m_workingMask &= ~(1u << slot);
        }
    }
    UpdateStatusLine();
}

void CPageOptions::UpdateStatusLine() {
    const int slot = SlotOfRow(ListView_GetNextItem(GetItem(IDC_OPT_RECEIVERS), -1, LVNI_SELECTED));
    if (slot < 0) {
        SetDlgItemTextW(m_hwnd, IDC_OPT_STATUS, L"");
        return;
    }
    SrcPtr receiver = Context().pReceivers ? Context().pReceivers->GetReceiver(slot) : nullptr;
    const std::wstring device = receiver ? receiver->GetDeviceName() : Text(IDS_INACTIVE);
    const std::wstring line = Text(IDS_DEVICE) + L": " + device;
    SetDlgItemTextW(m_hwnd, IDC_OPT_STATUS, line.c_str());
}

std::wstring CPageOptions::ItemText(int id) const {
    HWND control = GetItem(id);
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, &text[0], length + 1)));
    return text;
}

BOOL CPageOptions::SaveData() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CPageOptions::SaveData");
    CSettings* settings = Context().pSettings;
    if (!settings || !m_hwnd)
        return FALSE;
    tagSETTINGS& block = settings->Block();
    block.osdOn = IsChecked(IDC_OPT_OSD_ON);
    block.osdUseGradient = IsChecked(IDC_OPT_USE_GRADIENT);
    const int seconds = static_cast<int>(wcstol(ItemText(IDC_OPT_TIME).c_str(), nullptr, 10));
    if (seconds > 0)
        block.osdTime = static_cast<std::uint32_t>(seconds);
    block.autostart = IsChecked(IDC_OPT_AUTOSTART);
    block.disableSound = IsChecked(IDC_OPT_DISABLE_SOUND);
    block.hidden = !IsChecked(IDC_OPT_SHOW_TRAY);
    block.exclusive = IsChecked(IDC_OPT_EXCLUSIVE);
    SettingsCopyText(block.exclusiveApp, ItemText(IDC_OPT_EXCLUSIVE_APP).c_str());
    block.disableKey0 = IsChecked(IDC_OPT_DISABLE_KEY0);
    const std::wstring oldMidiDevice = block.midiDevice;
    SettingsCopyText(block.midiDevice, ItemText(IDC_OPT_MIDI_DEVICE).c_str());

    const std::wstring oldLircServer = std::wstring(block.lircHost) + L":" + std::to_wstring(block.lircPort);
    std::wstring host = ItemText(IDC_OPT_LIRC_HOST);
    host.erase(0, host.find_first_not_of(L" \t"));
    host.erase(host.find_last_not_of(L" \t") + 1);
    if (!host.empty())
        SettingsCopyText(block.lircHost, host.c_str());
    const long port = wcstol(ItemText(IDC_OPT_LIRC_PORT).c_str(), nullptr, 10);
    if (port > 0 && port <= 0xFFFF)
        block.lircPort = static_cast<std::uint32_t>(port);
    const bool lircServerChanged =
        oldLircServer != std::wstring(block.lircHost) + L":" + std::to_wstring(block.lircPort);

    // Receivers that are not listed stay chosen: they may find their hardware later.
    std::uint32_t selection = 0xFFFFFFFFu;
    if (!IsChecked(IDC_OPT_LIRC_ON))
        selection &= ~RECEIVER_SELECTION_LIRC;
    HWND list = GetItem(IDC_OPT_RECEIVERS);
    const int rows = ListView_GetItemCount(list);
    for (int row = 0; row < rows; ++row) {
        const int slot = SlotOfRow(row);
        if (slot >= 0 && !ListView_GetCheckState(list, row))
            selection &= ~(1u << slot);
    }
    if (CReceiverManager* receivers = Context().pReceivers) {
        if (selection != block.receiverSelection) {
            block.receiverSelection = selection;
            receivers->InitReceivers();
        } else {
            // Another port for the MIDI input: its receiver must open that one.
            if (oldMidiDevice != block.midiDevice)
                receivers->ReinitReceiver(RECEIVER_SLOT_MIDI, true);
            if (lircServerChanged)
                receivers->InitReceiver_LIRC();
        }
    } else {
        block.receiverSelection = selection;
    }
    if (COsdDlg* osd = Context().pOsd) {
        const tagOSDSETTINGS osdSettings = OsdSettingsOf(block);
        osd->SetColours(&osdSettings);
    }
    return settings->SettingsSave();
}

void CPageOptions::ChooseColour(int button) {
    tagSETTINGS& block = Context().pSettings->Block();
    std::uint32_t* target = button == IDC_OPT_TEXT_COLOUR   ? &block.osdTextColor
                            : button == IDC_OPT_BACK_COLOUR ? &block.osdBackColor
                                                            : &block.osdGradientColor;
    static COLORREF custom[OPTIONS_CUSTOM_COLOURS];
    GetOptionsCustomColours(block, custom);
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = m_hwnd;
    choose.rgbResult = *target;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_ANYCOLOR;
    if (!ChooseColorW(&choose))
        return;
    *target = choose.rgbResult;
    UpdatePreview();
}

BOOL CPageOptions::OnCommand(UINT id, UINT code, HWND) {
    switch (id) {
    case IDC_OPT_TEXT_COLOUR:
    case IDC_OPT_BACK_COLOUR:
    case IDC_OPT_GRADIENT_COLOUR:
        if (code != BN_CLICKED || !Context().pSettings)
            return FALSE;
        ChooseColour(static_cast<int>(id));
        SaveData();
        UpdateControls();
        return TRUE;
    case IDC_OPT_OSD_ON:
    case IDC_OPT_USE_GRADIENT:
        if (code != BN_CLICKED)
            return FALSE;
        SaveData();
        UpdateControls();
        return TRUE;
    case IDC_OPT_AUTOSTART:
    case IDC_OPT_EXCLUSIVE:
    case IDC_OPT_LIRC_ON:
        if (code != BN_CLICKED)
            return FALSE;
        UpdateControls();
        return TRUE;
    case IDC_OPT_MIDI_DEVICE:
        if (code != CBN_SELCHANGE)
            return FALSE;
        m_shownMask = 0;
        UpdateControls();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CPageOptions::OnNotify(NMHDR* header, LRESULT& result) {
    if (header->idFrom == IDC_OPT_TIME_SPIN && header->code == UDN_DELTAPOS) {
        const NMUPDOWN* change = reinterpret_cast<const NMUPDOWN*>(header);
        const int seconds = WrapDisplayTime(change->iPos + change->iDelta);
        SetDlgItemTextW(m_hwnd, IDC_OPT_TIME, FormatDisplayTime(seconds).c_str());
        SetFocus(header->hwndFrom);
        SaveData();
        UpdateControls();
        result = FALSE;  // the up-down takes the change
        return TRUE;
    }
    if (header->idFrom == IDC_OPT_RECEIVERS) {
        if (header->code == NM_CLICK) {
            OnReceiverClick();
            return TRUE;
        }
        if (header->code == LVN_ITEMCHANGED) {
            OnReceiverChanged(*reinterpret_cast<const NMLISTVIEW*>(header));
            return TRUE;
        }
    }
    return CPageBase::OnNotify(header, result);
}
