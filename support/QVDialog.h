#pragma once
// Dialog boxes, property pages and property sheets as objects. One dialog
// procedure serves every dialog: it keeps the object in DWLP_USER from
// WM_INITDIALOG on and hands each message to the object's virtual handlers.
// The sheet is subclassed once the property sheet has initialised itself, so
// its own messages reach the object too. User-interface thread only.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

class CQVDialog {
public:
    CQVDialog() = default;
    virtual ~CQVDialog() = default;
    CQVDialog(const CQVDialog&) = delete;
    CQVDialog& operator=(const CQVDialog&) = delete;

    // The template's result as EndDialog gave it; -1 when it could not be made.
    INT_PTR DoModal(HWND parent, UINT templateId, HINSTANCE instance = nullptr);
    // A modeless dialog; the caller destroys it. Null on failure.
    HWND CreateModeless(HWND parent, UINT templateId, HINSTANCE instance = nullptr);
    HWND GetHwnd() const { return m_hwnd; }
    HWND GetItem(int id) const { return GetDlgItem(m_hwnd, id); }

protected:
    // TRUE: the dialog manager sets the default focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // TRUE when handled.
    virtual BOOL OnCommand(UINT /*id*/, UINT /*code*/, HWND /*control*/) { return FALSE; }
    // TRUE when handled; result goes to DWLP_MSGRESULT.
    virtual BOOL OnNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return FALSE; }
    // Every other message (and the three above before their handlers): TRUE when
    // handled, result is what the dialog procedure returns.
    virtual BOOL OnMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, INT_PTR& /*result*/) { return FALSE; }
    // The window is going; m_hwnd is cleared after this.
    virtual void OnDestroy() {}

    // The procedure for templates whose WM_INITDIALOG carries the object itself.
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Attaches the object to its window (the first message of a dialog).
    void Attach(HWND hwnd);
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    HWND m_hwnd = nullptr;
};

class CQVPropertyPage : public CQVDialog {
public:
    explicit CQVPropertyPage(UINT templateId) : m_templateId(templateId) {}
    // The page as the property sheet takes it. title: the tab text (null: the template's).
    PROPSHEETPAGEW Describe(HINSTANCE instance, const wchar_t* title = nullptr);
    UINT GetTemplateId() const { return m_templateId; }
    // The header texts of a wizard-97 page (before the sheet is made).
    void SetHeader(const std::wstring& title, const std::wstring& subtitle);

protected:
    // TRUE: the page may become active.
    virtual BOOL OnSetActive() { return TRUE; }
    // TRUE: the page may be left.
    virtual BOOL OnKillActive() { return TRUE; }
    // TRUE: the changes were taken.
    virtual BOOL OnApply() { return TRUE; }
    virtual void OnReset() {}
    // Wizard buttons: 0 goes on, -1 stays, a template id goes there.
    virtual LRESULT OnWizardNext() { return 0; }
    virtual LRESULT OnWizardBack() { return 0; }
    // TRUE: the wizard may finish.
    virtual BOOL OnWizardFinish() { return TRUE; }
    BOOL OnNotify(NMHDR* header, LRESULT& result) override;

private:
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    UINT m_templateId;
    std::wstring m_headerTitle;
    std::wstring m_headerSubtitle;
};

class CQVPropertySheet {
public:
    CQVPropertySheet() = default;
    virtual ~CQVPropertySheet();
    CQVPropertySheet(const CQVPropertySheet&) = delete;
    CQVPropertySheet& operator=(const CQVPropertySheet&) = delete;

    // Pages are shown in the order added; title null: the template's caption.
    void AddPage(CQVPropertyPage& page, const wchar_t* title = nullptr);
    // The header bitmap of a wizard-97 sheet (with PSH_HEADER).
    void SetHeaderBitmap(UINT bitmapId) { m_headerBitmap = bitmapId; }
    // The sheet's title (empty: the system's).
    void SetCaption(const std::wstring& caption) { m_caption = caption; }
    // Runs the sheet modally. flags: PSH_ flags beyond the callback and the
    // page array. Returns what PropertySheetW returned (-1 on failure).
    INT_PTR DoModal(HWND parent, DWORD flags, HICON icon = nullptr, HINSTANCE instance = nullptr);
    // The same sheet without its own loop (PSH_MODELESS): the caller pumps its
    // messages through PropSheet_IsDialogMessage and destroys the window. Null on failure.
    HWND CreateModeless(HWND parent, DWORD flags, HICON icon = nullptr, HINSTANCE instance = nullptr);
    HWND GetHwnd() const { return m_hwnd; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CQVPropertyPage& GetPage(int index) const { return *m_pages[static_cast<size_t>(index)]; }
    // The message that ended the run when it was WM_QUIT (its exit code), else -1.
    int GetQuitCode() const { return m_quitCode; }

protected:
    // After the property sheet's own initialisation.
    virtual void OnInitSheet() {}
    // TRUE when handled; result is the window procedure's answer.
    virtual BOOL OnMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) { return FALSE; }
    // The window is going.
    virtual void OnDestroy() {}
    // The property sheet's own handling of a message.
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

private:
    INT_PTR Start(HWND parent, DWORD flags, HICON icon, HINSTANCE instance);
    static int CALLBACK SheetCallback(HWND hwnd, UINT msg, LPARAM lp);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);

    std::vector<CQVPropertyPage*> m_pages;
    std::vector<const wchar_t*> m_titles;
    UINT m_headerBitmap = 0;
    std::wstring m_caption;
    HWND m_hwnd = nullptr;
    int m_quitCode = -1;
};
