#include "editor/CtrlRc.h"

#include <commctrl.h>

#include "receivers/RcKeys.h"
#include "support/QVDebug.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x52435043;  // "RCPC"

constexpr COLORREF kStateColours[RCKEY_STATE_COUNT] = {
    RGB(0, 0, 0),        // unassigned: never drawn
    RGB(20, 140, 0),     // default
    RGB(20, 117, 135),   // preset
    RGB(220, 170, 20),   // user-defined
};

void FrameTwice(HDC dc, RECT rect, COLORREF colour) {
    CQVBrush brush(CreateSolidBrush(colour));
    FrameRect(dc, &rect, brush.Get());
    InflateRect(&rect, -1, -1);
    FrameRect(dc, &rect, brush.Get());
}

}  // namespace

CCtrlRc::CCtrlRc(HINSTANCE resources)
    : m_resources(resources ? resources : GetModuleHandleW(nullptr)),
      m_hand(LoadCursorW(nullptr, IDC_HAND)),
      m_arrow(LoadCursorW(nullptr, IDC_ARROW)),
      m_no(LoadCursorW(nullptr, IDC_NO)) {}

CCtrlRc::~CCtrlRc() {
    if (m_hwnd && IsWindow(m_hwnd)) {
        // The static must not keep drawing a bitmap that is deleted with this object.
        SendMessageW(m_hwnd, STM_SETIMAGE, IMAGE_BITMAP, 0);
        RemoveWindowSubclass(m_hwnd, SubclassProc, kSubclassId);
    }
}

BOOL CCtrlRc::SubclassDlgItem(int id, HWND parent) {
    return Subclass(GetDlgItem(parent, id));
}

BOOL CCtrlRc::Subclass(HWND control) {
    if (!control || m_hwnd || !SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return FALSE;
    m_hwnd = control;
    // Without the notify style the static lets clicks through to its parent.
    LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (!(style & SS_NOTIFY))
        SetWindowLongPtrW(control, GWL_STYLE, style | SS_NOTIFY);
    if (m_bitmap) {
        SetImage(m_bitmap.Get());
        FitToBitmap();
    }
    return TRUE;
}

COLORREF CCtrlRc::StateColour(int state) {
    return state > RCKEY_STATE_NONE && state < RCKEY_STATE_COUNT ? kStateColours[state] : kStateColours[0];
}

BOOL CCtrlRc::SetRcType(int rcType) {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CCtrlRc::SetRcType");
    if (rcType == RCTYPE_MIDI) {
        if (m_hwnd)
            ShowWindow(m_hwnd, SW_HIDE);
        m_rcType = rcType;
        return TRUE;
    }
    const tagRCPICTURE* picture = GetRcPicture(rcType);
    if (!picture)
        return FALSE;
    SetRectEmpty(&m_selection);
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(m_resources, MAKEINTRESOURCEW(picture->nResourceId), IMAGE_BITMAP,
                                                     0, 0, LR_CREATEDIBSECTION));
    if (!bitmap)
        TracePrint(QVL_ERR, QVC_COMMAND, L"%s() FAILED: no bitmap %d (error %lu)\n", L"CCtrlRc::SetRcType",
                   picture->nResourceId, GetLastError());
    SetImage(bitmap);
    m_bitmap.Reset(bitmap);
    m_bitmapSize = {bitmap ? picture->nWidth : 0, bitmap ? picture->nHeight : 0};
    m_areas.assign(picture->pAreas, picture->pAreas + picture->nAreas);
    SelectFirstKey();
    m_rcType = rcType;
    if (m_hwnd) {
        FitToBitmap();
        ShowWindow(m_hwnd, SW_SHOW);
        RedrawNow(nullptr);
    }
    return TRUE;
}

void CCtrlRc::FitToBitmap() {
    // The static sizes its window, border and all, to the bitmap; the picture
    // and its key areas need the client area to be the bitmap's size.
    if (!m_bitmap)
        return;
    RECT window, client;
    GetWindowRect(m_hwnd, &window);
    GetClientRect(m_hwnd, &client);
    int width = m_bitmapSize.cx + (window.right - window.left) - client.right;
    int height = m_bitmapSize.cy + (window.bottom - window.top) - client.bottom;
    SetWindowPos(m_hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCtrlRc::SetImage(HBITMAP bitmap) {
    if (!m_hwnd)
        return;
    HBITMAP previous = reinterpret_cast<HBITMAP>(
        SendMessageW(m_hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    // A static of version 6 may show a copy of the bitmap; the copy is ours to delete.
    if (previous && previous != m_bitmap.Get() && previous != bitmap)
        DeleteObject(previous);
}

int CCtrlRc::FindValidKey(int keyId) const {
    if (GetEnglishKeyName(keyId)[0] == L'\0')
        return -1;
    return FindKeyArea(m_areas.data(), static_cast<int>(m_areas.size()), keyId);
}

RECT CCtrlRc::FrameOf(const tagRCKEYAREA& area) const {
    RECT rect = {area.x, area.y, area.x + area.width, area.y + area.height};
    InflateRect(&rect, kFrameMargin, kFrameMargin);
    return rect;
}

BOOL CCtrlRc::SelectKey(int keyId) {
    int row = FindValidKey(keyId);
    if (row < 0)
        return FALSE;
    m_selectedKey = keyId;
    m_selection = FrameOf(m_areas[static_cast<size_t>(row)]);
    RedrawNow(nullptr);
    return TRUE;
}

BOOL CCtrlRc::SetKeyState(int keyId, int state) {
    int row = FindValidKey(keyId);
    if (row < 0 || state < RCKEY_STATE_NONE || state >= RCKEY_STATE_COUNT)
        return FALSE;
    tagRCKEYAREA& area = m_areas[static_cast<size_t>(row)];
    area.nState = state;
    RECT frame = FrameOf(area);
    RedrawNow(&frame);
    return TRUE;
}

void CCtrlRc::ClearKeyStates() {
    for (tagRCKEYAREA& area : m_areas)
        area.nState = RCKEY_STATE_NONE;
    SetRectEmpty(&m_selection);
    SelectFirstKey();
    RedrawNow(nullptr);
}

void CCtrlRc::SelectFirstKey() {
    if (!m_areas.empty())
        m_selectedKey = m_areas.front().nKeyId;
}

void CCtrlRc::RedrawNow(const RECT* rect) {
    if (m_hwnd)
        RedrawWindow(m_hwnd, rect, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

HCURSOR CCtrlRc::CursorAt(int x, int y) const {
    int row = HitTestKeyArea(m_areas.data(), static_cast<int>(m_areas.size()), x, y);
    if (row < 0)
        return m_arrow;
    return m_areas[static_cast<size_t>(row)].fDisabled ? m_no : m_hand;
}

void CCtrlRc::OnPress(int x, int y) {
    int row = HitTestKeyArea(m_areas.data(), static_cast<int>(m_areas.size()), x, y);
    if (row >= 0 && m_areas[static_cast<size_t>(row)].fDisabled)
        return;
    if (row < 0) {
        // Between keys: the frame goes, the parent keeps its key.
        SetRectEmpty(&m_selection);
    } else {
        m_selectedKey = m_areas[static_cast<size_t>(row)].nKeyId;
        m_selection = FrameOf(m_areas[static_cast<size_t>(row)]);
    }
    RedrawNow(nullptr);
}

void CCtrlRc::Paint(HDC dc) const {
    RECT client;
    GetClientRect(m_hwnd, &client);
    if (m_bitmap) {
        CQVMemDc memory(CreateCompatibleDC(dc));
        CQVSelectObject select(memory.Get(), m_bitmap.Get());
        BitBlt(dc, 0, 0, m_bitmapSize.cx, m_bitmapSize.cy, memory.Get(), 0, 0, SRCCOPY);
    }
    // What the bitmap does not cover (none at all when it is missing).
    int saved = SaveDC(dc);
    ExcludeClipRect(dc, 0, 0, m_bitmapSize.cx, m_bitmapSize.cy);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RestoreDC(dc, saved);

    for (const tagRCKEYAREA& area : m_areas) {
        if (area.nState != RCKEY_STATE_NONE)
            FrameTwice(dc, FrameOf(area), StateColour(area.nState));
    }
    if (!IsRectEmpty(&m_selection)) {
        InvertRect(dc, &m_selection);
        FrameTwice(dc, m_selection, kSelectionColour);
    }
}

LRESULT CCtrlRc::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        if (dc)
            Paint(dc);
        EndPaint(m_hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return TRUE;  // the paint covers every pixel
    case WM_SETCURSOR:
        // Per key and only for this control: the static class's cursor stays as it is.
        if (LOWORD(lParam) == HTCLIENT) {
            POINT point;
            GetCursorPos(&point);
            ScreenToClient(m_hwnd, &point);
            SetCursor(CursorAt(point.x, point.y));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnPress(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        break;  // the static then notifies its parent
    default:
        break;
    }
    return DefSubclassProc(m_hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CCtrlRc::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* control = reinterpret_cast<CCtrlRc*>(self);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        control->m_hwnd = nullptr;
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    return control->OnMessage(msg, wParam, lParam);
}
