#include "osd/OsdControl.h"

#include "support/QVDebug.h"

#include <commctrl.h>

#include <ctime>
#include <cwchar>

namespace {

constexpr UINT_PTR kSubclassId = 1000;

UINT WindowDpi(HWND hwnd, HDC hdc) {
    // Per-monitor DPI where the system has it, else the DC's logical pixels.
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpi) {
        UINT dpi = getDpi(hwnd);
        if (dpi)
            return dpi;
    }
    return static_cast<UINT>(GetDeviceCaps(hdc, LOGPIXELSY));
}

TRIVERTEX Vertex(LONG x, LONG y, COLORREF colour) {
    TRIVERTEX v = {};
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(colour) << 8);
    v.Green = static_cast<COLOR16>(GetGValue(colour) << 8);
    v.Blue = static_cast<COLOR16>(GetBValue(colour) << 8);
    return v;
}

void FillSolid(HDC hdc, const RECT& rect, COLORREF colour) {
    CQVBrush brush(CreateSolidBrush(colour));
    FillRect(hdc, &rect, brush.Get());
}

void DrawLine(HDC hdc, const std::wstring& text, RECT rect, UINT format) {
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &rect,
              format | DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
}

}  // namespace

COsdControl::COsdControl(const wchar_t* gradientLibrary) {
    if (!gradientLibrary)
        return;
    m_gradientModule.Reset(LoadLibraryW(gradientLibrary));
    if (m_gradientModule)
        m_gradientFill = reinterpret_cast<GradientFillProc>(
            reinterpret_cast<void*>(GetProcAddress(m_gradientModule.Get(), "GradientFill")));
    if (!m_gradientFill)
        TracePrint(QVL_WRN, QVC_ALL, L"COsdControl: no GradientFill in %s, plain background\n", gradientLibrary);
}

COsdControl::~COsdControl() {
    if (m_hwnd && IsWindow(m_hwnd))
        RemoveWindowSubclass(m_hwnd, SubclassProc, kSubclassId);
}

BOOL COsdControl::Subclass(HWND control) {
    if (!control || !SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return FALSE;
    m_hwnd = control;
    LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    m_border = (style & WS_BORDER) != 0;
    if (m_border) {
        SetWindowLongPtrW(control, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER));
        SetWindowPos(control, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return TRUE;
}

bool COsdControl::SetText(const std::wstring& text) {
    if (text == m_text)
        return false;
    m_text = text;
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
    return true;
}

void COsdControl::SetMode(int mode, int selected) {
    if (mode == m_mode && selected == m_selected)
        return;
    m_mode = mode;
    m_selected = selected;
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void COsdControl::SetSelection(int selected) {
    if (selected == m_selected)
        return;
    if (m_hwnd && m_mode == OSD_MODE_MENU) {
        RECT oldLine = GetLineRect(m_selected);
        RECT newLine = GetLineRect(selected);
        InvalidateRect(m_hwnd, &oldLine, FALSE);
        InvalidateRect(m_hwnd, &newLine, FALSE);
    }
    m_selected = selected;
}

bool COsdControl::SetColours(const tagOSDCOLOURS& colours) {
    if (colours == m_colours)
        return false;
    m_colours = colours;
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
    return true;
}

void COsdControl::SetLanguage(WORD languageId) {
    if (languageId != m_language) {
        m_language = languageId;
        ResetFonts();
    }
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void COsdControl::ResetFonts() {
    m_largeFont.Close();
    m_smallFont.Close();
    m_fontFace.clear();
    m_fontHeight = 0;
}

int COsdControl::ScreenWidth() const {
    return GetSystemMetrics(SM_CXSCREEN);
}

RECT COsdControl::GetLineRect(int entry) const {
    if (entry < 0 || entry >= OSD_MENU_ITEMS)
        return RECT{0, 0, 0, 0};
    int height = m_fontHeight;
    if (!height && m_hwnd) {
        // Before the first paint: the height the fonts will get.
        CQVWindowDc dc(m_hwnd);
        height = OsdFontHeight(OSD_FONT_POINTS, static_cast<int>(WindowDpi(m_hwnd, dc.Get())));
    }
    tagOSDRECT r = OsdMenuLineRect(entry, height, ScreenWidth());
    return RECT{r.left, r.top, r.right, r.bottom};
}

RECT COsdControl::GetDateRect() const {
    const int top = GetSystemMetrics(SM_CYSCREEN) - 100;
    return RECT{20, top, ScreenWidth(), top + OsdMenuLineStep(m_fontHeight)};
}

std::wstring COsdControl::FormatDate() const {
    // The locale's long date, then the time of day.
    std::time_t now = std::time(nullptr);
    std::tm local = {};
    if (localtime_s(&local, &now) != 0)
        return std::wstring();
    wchar_t date[128] = {};
    if (!std::wcsftime(date, 128, L"%#x", &local) || !date[0])
        std::wcsftime(date, 128, L"%x", &local);
    wchar_t time[16] = {};
    std::wcsftime(time, 16, L"%H:%M", &local);
    return std::wstring(date) + L", " + time;
}

void COsdControl::RefreshDate() {
    if (!m_hwnd || m_mode != OSD_MODE_MENU || FormatDate() == m_dateShown)
        return;
    RECT date = GetDateRect();
    InvalidateRect(m_hwnd, &date, FALSE);
}

void COsdControl::CreateFonts(HDC hdc) {
    LOGFONTW base = {};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(GetParent(m_hwnd), WM_GETFONT, 0, 0));
    if (!dialogFont || !GetObjectW(dialogFont, sizeof(base), &base))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(base), &base);
    base.lfHeight = OsdFontHeight(OSD_FONT_POINTS, static_cast<int>(WindowDpi(m_hwnd, hdc)));
    base.lfWidth = 0;
    base.lfWeight = FW_BOLD;
    base.lfPitchAndFamily = 0x20;  // FF_SWISS, default pitch

    // A face counts as created only when the system did not substitute
    // another one for it; the last candidate is taken as it comes.
    const std::vector<std::wstring> faces = OsdFontFaces(m_language);
    for (size_t i = 0; i < faces.size(); ++i) {
        LOGFONTW font = base;
        wcsncpy_s(font.lfFaceName, LF_FACESIZE, faces[i].c_str(), _TRUNCATE);
        CQVFont candidate(CreateFontIndirectW(&font));
        if (!candidate)
            continue;
        wchar_t actual[LF_FACESIZE] = {};
        {
            CQVSelectObject select(hdc, candidate.Get());
            GetTextFaceW(hdc, LF_FACESIZE, actual);
        }
        if (i + 1 < faces.size() && _wcsicmp(actual, faces[i].c_str()) != 0)
            continue;
        m_largeFont = std::move(candidate);
        m_fontFace = faces[i];
        font.lfHeight = OsdSmallFontHeight(font.lfHeight);
        m_smallFont.Reset(CreateFontIndirectW(&font));
        m_fontHeight = base.lfHeight;
        return;
    }
    TracePrint(QVL_ERR, QVC_ALL, L"%s() FAILED: no font\n", L"COsdControl::CreateFonts");
}

void COsdControl::PaintBackground(HDC hdc, RECT client) {
    if (m_gradientFill) {
        const LONG middle = (client.left + client.right) / 2;
        TRIVERTEX vertices[4] = {
            Vertex(client.left, client.top, m_colours.crBack2), Vertex(middle, client.bottom, m_colours.crBack1),
            Vertex(middle, client.top, m_colours.crBack1), Vertex(client.right, client.bottom, m_colours.crBack2)};
        GRADIENT_RECT rects[2] = {{0, 1}, {2, 3}};
        if (m_gradientFill(hdc, vertices, 4, rects, 2, GRADIENT_FILL_RECT_H))
            return;
    }
    if (m_border) {
        FillSolid(hdc, client, m_colours.crText);
        InflateRect(&client, -2, -2);
    }
    FillSolid(hdc, client, m_colours.crBack1);
}

void COsdControl::PaintText(HDC hdc, const RECT& client) {
    RECT measure = {0, 0, client.right, 0};
    DrawTextW(hdc, m_text.c_str(), static_cast<int>(m_text.size()), &measure,
              DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    const int height = measure.bottom - measure.top;
    const int top = (client.bottom - client.top - height) / 2;
    DrawLine(hdc, m_text, RECT{client.left, top, client.right, top + height}, DT_CENTER | DT_TOP);
}

void COsdControl::PaintMenu(HDC hdc, const RECT& client) {
    const std::vector<std::wstring> lines = OsdSplitLines(m_text);
    tagOSDRECT title = OsdMenuTitleRect(m_fontHeight, client.right - client.left);
    DrawLine(hdc, lines[0], RECT{title.left, title.top, title.right, title.bottom}, DT_LEFT | DT_TOP);
    for (size_t i = 1; i < lines.size() && i <= OSD_MENU_ITEMS; ++i) {
        const int entry = static_cast<int>(i) - 1;
        SetTextColor(hdc, entry == m_selected ? m_colours.crHighlight : m_colours.crText);
        DrawLine(hdc, lines[i], GetLineRect(entry), DT_LEFT | DT_TOP);
    }
    SetTextColor(hdc, m_colours.crText);
    CQVSelectObject small(hdc, m_smallFont.Get());
    m_dateShown = FormatDate();
    DrawLine(hdc, m_dateShown, GetDateRect(), DT_LEFT | DT_TOP);
}

void COsdControl::Paint(HDC hdc, const RECT& client) {
    if (!m_largeFont)
        CreateFonts(hdc);
    PaintBackground(hdc, client);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, m_colours.crText);
    CQVSelectObject large(hdc, m_largeFont.Get());
    if (m_mode == OSD_MODE_MENU)
        PaintMenu(hdc, client);
    else
        PaintText(hdc, client);
}

LRESULT CALLBACK COsdControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR refData) {
    auto* self = reinterpret_cast<COsdControl*>(refData);
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        // Drawn off screen first: the bar is repainted often and must not flicker.
        CQVMemDc memory(CreateCompatibleDC(hdc));
        CQVBitmap bitmap(CreateCompatibleBitmap(hdc, client.right, client.bottom));
        if (memory && bitmap) {
            CQVSelectObject selectBitmap(memory.Get(), bitmap.Get());
            self->Paint(memory.Get(), client);
            BitBlt(hdc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                   ps.rcPaint.bottom - ps.rcPaint.top, memory.Get(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
        } else {
            self->Paint(hdc, client);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hwnd, &client);
        self->Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        self->m_hwnd = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}
