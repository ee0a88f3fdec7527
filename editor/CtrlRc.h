#pragma once
// CCtrlRc: the picture of a remote-control model with clickable keys. It
// subclasses a static control (bitmap and notify styles), draws the model's
// picture, a coloured ring around every key whose state is set (where its
// command comes from) and a red, inverted frame around the selected key.
// A click selects the key under the mouse and then reaches the parent as the
// static's STN_CLICKED (STN_DBLCLK) notification; the parent reads
// GetSelectedKey. User-interface thread only.

#include <windows.h>

#include <vector>

#include "editor/RcPictures.h"
#include "support/ScopedWin.h"

class CCtrlRc {
public:
    // resources: the module that holds the pictures' bitmaps; null = the program.
    explicit CCtrlRc(HINSTANCE resources = nullptr);
    ~CCtrlRc();
    CCtrlRc(const CCtrlRc&) = delete;
    CCtrlRc& operator=(const CCtrlRc&) = delete;

    // Takes over the static control (the dialog's item id of parent).
    BOOL SubclassDlgItem(int id, HWND parent);
    BOOL Subclass(HWND control);
    HWND GetHwnd() const { return m_hwnd; }

    // MIDI input hides the control; a type with a picture shows it with its
    // first key selected (no frame yet); any other type fails and changes nothing.
    BOOL SetRcType(int rcType);
    // A key of the current picture becomes selected and framed.
    BOOL SelectKey(int keyId);
    // state: RCKEY_STATE_NONE .. RCKEY_STATE_USER; fails for other values and
    // for keys the picture does not hold.
    BOOL SetKeyState(int keyId, int state);
    // No marks, no frame, the first key selected.
    void ClearKeyStates();

    int GetSelectedKey() const { return m_selectedKey; }
    int GetRcType() const { return m_rcType; }
    // The selection frame (the key grown by 2 pixels); empty when none shows.
    RECT GetSelectionRect() const { return m_selection; }
    // The current picture's key areas with their states; empty before the first type.
    const std::vector<tagRCKEYAREA>& GetKeyAreas() const { return m_areas; }
    bool HasBitmap() const { return m_bitmap.IsValid(); }

    // Ring colour of a state; black for RCKEY_STATE_NONE and unknown states.
    static COLORREF StateColour(int state);
    static constexpr COLORREF kSelectionColour = RGB(255, 0, 0);
    // How far the rings and the selection frame lie outside a key.
    static constexpr int kFrameMargin = 2;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnPress(int x, int y);
    HCURSOR CursorAt(int x, int y) const;
    void Paint(HDC dc) const;
    void SelectFirstKey();
    void SetImage(HBITMAP bitmap);
    void FitToBitmap();
    RECT FrameOf(const tagRCKEYAREA& area) const;
    int FindValidKey(int keyId) const;
    void RedrawNow(const RECT* rect);

    HINSTANCE m_resources;
    HWND m_hwnd = nullptr;
    CQVBitmap m_bitmap;
    SIZE m_bitmapSize = {0, 0};
    // The control's own copy: the states it shows belong to this control only.
    std::vector<tagRCKEYAREA> m_areas;
    int m_selectedKey = 140;  // Power, until a picture says otherwise
    RECT m_selection = {0, 0, 0, 0};
    int m_rcType = 0x0002;
    HCURSOR m_hand;
    HCURSOR m_arrow;
    HCURSOR m_no;
};
