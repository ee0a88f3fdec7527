#pragma once
// COsdControl: the custom-painted child of the display window. It subclasses
// the static control of the dialog and draws either one centred line of text
// or the menu (title, ten entry lines, the date line) over a gradient or a
// plain background. Lives on the window's thread; COsdDlg is its only caller.

#include "osd/OsdLayout.h"
#include "support/ScopedWin.h"

#include <windows.h>

#include <string>

enum : int {
    OSD_MODE_TEXT = 0,
    OSD_MODE_MENU = 1,
};

constexpr WORD OSD_DEFAULT_LANGUAGE = 2057;  // English (UK)

class COsdControl {
public:
    // gradientLibrary: the module that provides "GradientFill"; without it
    // (or without the function) the background is plain.
    explicit COsdControl(const wchar_t* gradientLibrary = L"msimg32.dll");
    ~COsdControl();
    COsdControl(const COsdControl&) = delete;
    COsdControl& operator=(const COsdControl&) = delete;

    // Takes over the control; reads and removes its border style.
    BOOL Subclass(HWND control);
    HWND GetHwnd() const { return m_hwnd; }

    // Each returns whether anything changed (and repaints only then).
    bool SetText(const std::wstring& text);
    void SetMode(int mode, int selected);
    void SetSelection(int selected);
    bool SetColours(const tagOSDCOLOURS& colours);
    void SetLanguage(WORD languageId);
    // The fonts follow the window's DPI: drop them so the next paint makes new ones.
    void ResetFonts();
    // Repaints only the date line, when its text changed since the last paint.
    void RefreshDate();

    // Client rectangle of menu entry line i (what SelectMenuItem repaints).
    RECT GetLineRect(int entry) const;

    const std::wstring& GetText() const { return m_text; }
    int GetMode() const { return m_mode; }
    int GetSelection() const { return m_selected; }
    const tagOSDCOLOURS& GetColours() const { return m_colours; }
    WORD GetLanguage() const { return m_language; }
    bool HasBorder() const { return m_border; }
    bool HasGradient() const { return m_gradientFill != nullptr; }
    // The face the large font got (after the fall-backs); empty before the first paint.
    const std::wstring& GetFontFace() const { return m_fontFace; }
    int GetFontHeight() const { return m_fontHeight; }

private:
    using GradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    void Paint(HDC hdc, const RECT& client);
    void PaintBackground(HDC hdc, RECT client);
    void PaintText(HDC hdc, const RECT& client);
    void PaintMenu(HDC hdc, const RECT& client);
    void CreateFonts(HDC hdc);
    std::wstring FormatDate() const;
    RECT GetDateRect() const;
    int ScreenWidth() const;

    HWND m_hwnd = nullptr;
    std::wstring m_text;
    int m_mode = OSD_MODE_TEXT;
    int m_selected = -1;
    WORD m_language = OSD_DEFAULT_LANGUAGE;
    bool m_border = false;
    tagOSDCOLOURS m_colours;
    CQVFont m_largeFont;
    CQVFont m_smallFont;
    std::wstring m_fontFace;
    int m_fontHeight = 0;
    std::wstring m_dateShown;
    CQVModule m_gradientModule;
    GradientFillProc m_gradientFill = nullptr;
};
