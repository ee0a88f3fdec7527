#include "tests/editor/PageTestUtil.h"

#include <gtest/gtest.h>

namespace pagetest {

CSheetHost::~CSheetHost() {
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    Pump();
}

bool CSheetHost::Open() {
    m_hwnd = m_sheet.CreateModeless(nullptr, PSH_NOAPPLYNOW);
    Pump();
    return m_hwnd != nullptr;
}

void CSheetHost::Activate(int index) {
    PropSheet_SetCurSel(m_hwnd, nullptr, index);
    Pump();
}

void CSheetHost::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (m_hwnd && IsWindow(m_hwnd) && PropSheet_IsDialogMessage(m_hwnd, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

CPrivateUserKey::CPrivateUserKey() {
    m_path = L"Software\\Kanzo Tests\\editor-" + std::to_wstring(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    if (RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                        nullptr) != ERROR_SUCCESS)
        return;
    m_active = RegOverridePredefKey(HKEY_CURRENT_USER, m_key) == ERROR_SUCCESS;
}

CPrivateUserKey::~CPrivateUserKey() {
    if (m_active)
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (m_key)
        RegCloseKey(m_key);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
}

tagQVLOCALIZE_SETUP EnglishSetup() {
    tagQVLOCALIZE_SETUP setup;
    setup.wUiLanguage = 0x0809;
    setup.hClassesRoot = nullptr;
    return setup;
}

void ChooseComboItem(HWND page, int controlId, int item) {
    HWND combo = GetDlgItem(page, controlId);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(controlId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void Click(HWND page, int controlId) { SendMessageW(GetDlgItem(page, controlId), BM_CLICK, 0, 0); }

bool IsChecked(HWND page, int controlId) { return IsDlgButtonChecked(page, controlId) == BST_CHECKED; }

std::wstring Text(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

}  // namespace pagetest
