#include "editor/PageBase.h"

#include "resources/StringIds.h"
#include "support/QVLocalize.h"

void LoadRichEditLibrary() {
    static const HMODULE library = LoadLibraryW(L"riched20.dll");
    (void)library;
}

BOOL CPageBase::OnInitDialog() {
    m_toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (m_toolTip) {
        SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, PAGE_TIP_WIDTH);
        SendMessageW(m_toolTip, TTM_ACTIVATE, TRUE, 0);
    }
    if (m_context.pLocalize)
        m_context.pLocalize->LocalizeDialog(m_hwnd, 0);
    UpdateTexts();
    LOGFONTW font = {};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
    if (dialogFont && GetObjectW(dialogFont, sizeof(font), &font)) {
        font.lfWeight = FW_BOLD;
        m_boldFont.Reset(CreateFontIndirectW(&font));
    }
    StartTimer();
    PrepareData();
    return TRUE;
}

void CPageBase::Relocalize() {
    if (!m_hwnd)
        return;
    if (m_context.pLocalize)
        m_context.pLocalize->LocalizeDialog(m_hwnd, 0);
    UpdateTexts();
}

BOOL CPageBase::OnSetActive() {
    StartTimer();
    PrepareData();
    return TRUE;
}

BOOL CPageBase::OnKillActive() {
    SaveData();
    StopTimer();
    return TRUE;
}

BOOL CPageBase::OnApply() {
    SaveData();
    return TRUE;
}

BOOL CPageBase::OnMessage(UINT msg, WPARAM wp, LPARAM, INT_PTR& result) {
    if (msg != WM_TIMER || wp != PAGE_REFRESH_TIMER)
        return FALSE;
    UpdateControls();
    result = TRUE;
    return TRUE;
}

void CPageBase::OnDestroy() {
    StopTimer();
    m_toolTip = nullptr;
}

std::wstring CPageBase::Text(UINT id) const {
    if (!m_context.pLocalize)
        return std::wstring();
    return m_context.pLocalize->GetString(id);
}

std::wstring CPageBase::ItemText(int id) const {
    HWND item = GetItem(id);
    const int length = GetWindowTextLengthW(item);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(item, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void CPageBase::SetToolTip(int controlId, UINT stringId) {
    const std::wstring text = Text(stringId);
    if (!text.empty())
        SetToolTipText(controlId, text);
}

void CPageBase::SetToolTipText(int controlId, const std::wstring& text) {
    HWND control = GetItem(controlId);
    if (!m_toolTip || !control)
        return;
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    // The tool tip watches the control's mouse messages itself.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(m_toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CPageBase::RemoveToolTip(int controlId) {
    HWND control = GetItem(controlId);
    if (!m_toolTip || !control)
        return;
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    SendMessageW(m_toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CPageBase::ShowNameTaken(const std::wstring& name) const {
    const std::wstring message = L"_" + name + L" already in list!";
    MessageBoxW(m_hwnd, message.c_str(), Text(IDS_CAPTION_ERROR).c_str(), MB_OK | MB_ICONERROR | MB_TOPMOST);
}

void CPageBase::ShowWriteProtected(const std::wstring& file) const {
    if (m_context.pLocalize)
        m_context.pLocalize->ShowMessage(
            m_hwnd, m_context.pLocalize->FormatString(IDS_MSG_WRITE_PROTECTED, file.c_str()).c_str(), QVMSG_WARNING);
}

void CPageBase::StartTimer() {
    if (m_refresh && !m_timer)
        m_timer = SetTimer(m_hwnd, PAGE_REFRESH_TIMER, PAGE_REFRESH_MS, nullptr);
}

void CPageBase::StopTimer() {
    if (m_timer && m_hwnd)
        KillTimer(m_hwnd, PAGE_REFRESH_TIMER);
    m_timer = 0;
}
