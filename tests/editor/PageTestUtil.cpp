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

namespace {

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM param) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId() || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(hwnd) ||
        !GetDlgItem(hwnd, 0xFFFF))
        return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

}  // namespace

CMessageBoxCloser::CMessageBoxCloser(int button)
    : m_button(button), m_thread(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {}

CMessageBoxCloser::~CMessageBoxCloser() {
    if (m_thread) {
        WaitForSingleObject(m_thread, 15000);
        CloseHandle(m_thread);
    }
}

std::wstring CMessageBoxCloser::Wait() {
    if (m_thread)
        WaitForSingleObject(m_thread, 15000);
    return m_text;
}

DWORD WINAPI CMessageBoxCloser::Run(void* param) {
    auto* self = static_cast<CMessageBoxCloser*>(param);
    // A message box has no event to wait for: look for it until it comes.
    for (int i = 0; i < 500; ++i) {
        HWND box = nullptr;
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&box));
        if (box) {
            self->m_text = Text(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(self->m_button), 0);
            return 0;
        }
        Sleep(20);
    }
    return 0;
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

std::vector<INPUT> ChordInput(const std::vector<WORD>& chord) {
    std::vector<INPUT> input;
    auto add = [&](WORD vk, DWORD flags) {
        INPUT key = {};
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = vk;
        key.ki.dwFlags = flags;
        input.push_back(key);
    };
    for (WORD vk : chord)
        add(vk, 0);
    for (auto it = chord.rbegin(); it != chord.rend(); ++it)
        add(*it, KEYEVENTF_KEYUP);
    return input;
}

bool IsChecked(HWND page, int controlId) { return IsDlgButtonChecked(page, controlId) == BST_CHECKED; }

std::wstring Text(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

}  // namespace pagetest
