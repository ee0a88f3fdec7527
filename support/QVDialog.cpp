#include "support/QVDialog.h"

#include "support/QVDebug.h"

namespace {

// PropertySheetW calls its callback without a user value: the sheet being
// started is known to its thread.
thread_local CQVPropertySheet* t_startingSheet = nullptr;

constexpr UINT_PTR SHEET_SUBCLASS_ID = 0x5153;  // "QS"

}  // namespace

// ---------------------------------------------------------------- dialog

INT_PTR CQVDialog::DoModal(HWND parent, UINT templateId, HINSTANCE instance) {
    if (!instance)
        instance = GetModuleHandleW(nullptr);
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (result == -1)
        TracePrint(QVL_ERR, QVC_ALL, L"%ls() FAILED with error %lu\n", L"CQVDialog::DoModal", GetLastError());
    return result;
}

HWND CQVDialog::CreateModeless(HWND parent, UINT templateId, HINSTANCE instance) {
    if (!instance)
        instance = GetModuleHandleW(nullptr);
    HWND hwnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    if (!hwnd)
        TracePrint(QVL_ERR, QVC_ALL, L"%ls() FAILED with error %lu\n", L"CQVDialog::CreateModeless", GetLastError());
    return hwnd;
}

void CQVDialog::Attach(HWND hwnd) {
    m_hwnd = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
}

INT_PTR CALLBACK CQVDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG)
        reinterpret_cast<CQVDialog*>(lp)->Attach(hwnd);
    auto* self = reinterpret_cast<CQVDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return self ? self->Dispatch(msg, wp, lp) : FALSE;
}

INT_PTR CQVDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    INT_PTR result = FALSE;
    if (OnMessage(msg, wp, lp, result))
        return result;
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
    case WM_NOTIFY: {
        LRESULT answer = 0;
        if (!OnNotify(reinterpret_cast<NMHDR*>(lp), answer))
            return FALSE;
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, answer);
        return TRUE;
    }
    case WM_NCDESTROY:
        OnDestroy();
        SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
        m_hwnd = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

// ---------------------------------------------------------------- page

PROPSHEETPAGEW CQVPropertyPage::Describe(HINSTANCE instance, const wchar_t* title) {
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = title ? PSP_USETITLE : PSP_DEFAULT;
    page.hInstance = instance ? instance : GetModuleHandleW(nullptr);
    page.pszTemplate = MAKEINTRESOURCEW(m_templateId);
    page.pszTitle = title;
    page.pfnDlgProc = PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    if (!m_headerTitle.empty()) {
        page.dwFlags |= PSP_USEHEADERTITLE;
        page.pszHeaderTitle = m_headerTitle.c_str();
    }
    if (!m_headerSubtitle.empty()) {
        page.dwFlags |= PSP_USEHEADERSUBTITLE;
        page.pszHeaderSubTitle = m_headerSubtitle.c_str();
    }
    return page;
}

void CQVPropertyPage::SetHeader(const std::wstring& title, const std::wstring& subtitle) {
    m_headerTitle = title;
    m_headerSubtitle = subtitle;
}

INT_PTR CALLBACK CQVPropertyPage::PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // A page's WM_INITDIALOG carries its PROPSHEETPAGEW, whose lParam is the object.
    if (msg == WM_INITDIALOG)
        reinterpret_cast<CQVPropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lp)->lParam)->Attach(hwnd);
    auto* self = reinterpret_cast<CQVPropertyPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return self ? self->Dispatch(msg, wp, lp) : FALSE;
}

BOOL CQVPropertyPage::OnNotify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        return TRUE;
    case PSN_KILLACTIVE:
        result = OnKillActive() ? FALSE : TRUE;
        return TRUE;
    case PSN_APPLY:
        result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return TRUE;
    case PSN_RESET:
        OnReset();
        return TRUE;
    case PSN_WIZNEXT:
        result = OnWizardNext();
        return TRUE;
    case PSN_WIZBACK:
        result = OnWizardBack();
        return TRUE;
    case PSN_WIZFINISH:
        result = OnWizardFinish() ? FALSE : TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

// ---------------------------------------------------------------- sheet

CQVPropertySheet::~CQVPropertySheet() {
    if (m_hwnd)
        RemoveWindowSubclass(m_hwnd, SubclassProc, SHEET_SUBCLASS_ID);
}

void CQVPropertySheet::AddPage(CQVPropertyPage& page, const wchar_t* title) {
    m_pages.push_back(&page);
    m_titles.push_back(title);
}

INT_PTR CQVPropertySheet::DoModal(HWND parent, DWORD flags, HICON icon, HINSTANCE instance) {
    m_quitCode = -1;
    const INT_PTR result = Start(parent, flags & ~static_cast<DWORD>(PSH_MODELESS), icon, instance);
    // A WM_QUIT that ended the run is posted again by the sheet: it carries the exit code.
    MSG msg;
    if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        m_quitCode = static_cast<int>(msg.wParam);
    return result;
}

HWND CQVPropertySheet::CreateModeless(HWND parent, DWORD flags, HICON icon, HINSTANCE instance) {
    const INT_PTR result = Start(parent, flags | PSH_MODELESS, icon, instance);
    return result > 0 ? reinterpret_cast<HWND>(result) : nullptr;
}

INT_PTR CQVPropertySheet::Start(HWND parent, DWORD flags, HICON icon, HINSTANCE instance) {
    if (!instance)
        instance = GetModuleHandleW(nullptr);
    std::vector<PROPSHEETPAGEW> pages;
    for (size_t i = 0; i < m_pages.size(); ++i)
        pages.push_back(m_pages[i]->Describe(instance, m_titles[i]));
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = flags | PSH_PROPSHEETPAGE | PSH_USECALLBACK | (icon ? PSH_USEHICON : 0);
    header.hwndParent = parent;
    header.hInstance = instance;
    header.hIcon = icon;
    if (m_headerBitmap)
        header.pszbmHeader = MAKEINTRESOURCEW(m_headerBitmap);
    if (!m_caption.empty())
        header.pszCaption = m_caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.ppsp = pages.data();
    header.pfnCallback = SheetCallback;
    t_startingSheet = this;
    const INT_PTR result = PropertySheetW(&header);
    t_startingSheet = nullptr;
    if (result < 0)
        TracePrint(QVL_ERR, QVC_ALL, L"%ls() FAILED with error %lu\n", L"CQVPropertySheet::DoModal", GetLastError());
    return result;
}

int CALLBACK CQVPropertySheet::SheetCallback(HWND hwnd, UINT msg, LPARAM) {
    CQVPropertySheet* self = t_startingSheet;
    if (msg != PSCB_INITIALIZED || !self)
        return 0;
    self->m_hwnd = hwnd;
    SetWindowSubclass(hwnd, SubclassProc, SHEET_SUBCLASS_ID, reinterpret_cast<DWORD_PTR>(self));
    self->OnInitSheet();
    return 0;
}

LRESULT CQVPropertySheet::Default(UINT msg, WPARAM wp, LPARAM lp) {
    return DefSubclassProc(m_hwnd, msg, wp, lp);
}

LRESULT CALLBACK CQVPropertySheet::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                                DWORD_PTR data) {
    auto* self = reinterpret_cast<CQVPropertySheet*>(data);
    if (msg == WM_NCDESTROY) {
        self->OnDestroy();
        RemoveWindowSubclass(hwnd, SubclassProc, SHEET_SUBCLASS_ID);
        self->m_hwnd = nullptr;
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    LRESULT result = 0;
    if (self->OnMessage(msg, wp, lp, result))
        return result;
    return DefSubclassProc(hwnd, msg, wp, lp);
}
