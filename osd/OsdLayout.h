#pragma once
// The display's rules that need no window: colours derived from the settings,
// the menu text, the line geometry of the menu, the hide decision of the
// display timer and the font faces to try per language. Pure, so the rules run
// natively under the sanitizers; COsdDlg and COsdControl apply them.

#include "osd/OsdSettings.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int OSD_MENU_ITEMS = 10;
constexpr std::uint32_t OSD_WHITE = 0x00FFFFFF;
constexpr std::uint32_t OSD_DEFAULT_HIGHLIGHT = OSD_WHITE;
// The highlight used when the user's text colour is white.
constexpr std::uint32_t OSD_ALT_HIGHLIGHT = 0x00F0CAA6;
constexpr int OSD_BAR_HEIGHT_96DPI = 48;
constexpr int OSD_FONT_POINTS = 24;

// The four colours the control paints with.
struct tagOSDCOLOURS {
    std::uint32_t crHighlight = OSD_DEFAULT_HIGHLIGHT;
    std::uint32_t crText = 0x00F0CAA6;
    std::uint32_t crBack1 = 0x00A56E3A;
    std::uint32_t crBack2 = 0;

    bool operator==(const tagOSDCOLOURS& o) const {
        return crHighlight == o.crHighlight && crText == o.crText && crBack1 == o.crBack1 && crBack2 == o.crBack2;
    }
    bool operator!=(const tagOSDCOLOURS& o) const { return !(*this == o); }
};

// The highlight must stay visible against the text: white text selects the
// alternative highlight. Without the gradient both background colours are 1.
tagOSDCOLOURS OsdColoursFromSettings(const tagOSDSETTINGS& settings);

// The menu as the control draws it: the title, then one line per entry,
// "\n<index>. <name>", or "\n" alone for an empty entry so that the following
// entries keep their slot numbers.
std::wstring OsdComposeMenuText(const std::wstring& title, const std::wstring (&names)[OSD_MENU_ITEMS]);

// The text split at each "\n": element 0 is the title, element i + 1 entry i.
std::vector<std::wstring> OsdSplitLines(const std::wstring& text);

// Rectangle in client pixels.
struct tagOSDRECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Menu geometry from the large font's height (negative or positive) and the
// screen width: entry lines start a third across the screen, each one and a
// half font heights high, below a gap of three lines for the title.
int OsdMenuLineStep(int fontHeight);
tagOSDRECT OsdMenuLineRect(int entry, int fontHeight, int screenWidth);
tagOSDRECT OsdMenuTitleRect(int fontHeight, int clientWidth);
// Font height in logical units for points at dpi (negative: character height).
int OsdFontHeight(int points, int dpi);
// The small font for the date line: two thirds of the large one.
int OsdSmallFontHeight(int largeHeight);
int OsdBarHeight(int dpi);

// The display timer hides a text announcement once more than the display
// time has passed since it was shown; the menu stays until it is closed.
bool OsdTextExpired(std::uint32_t nowMs, std::uint32_t lastShowMs, std::int32_t displaySeconds);

// Faces to try in order for a language's text (Chinese needs faces with its
// glyphs); the last one is always "Arial".
std::vector<std::wstring> OsdFontFaces(std::uint16_t languageId);
