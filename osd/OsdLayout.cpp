#include "osd/OsdLayout.h"

#include <cstdlib>

tagOSDCOLOURS OsdColoursFromSettings(const tagOSDSETTINGS& settings) {
    tagOSDCOLOURS colours;
    colours.crText = settings.osdTextColor;
    colours.crHighlight = settings.osdTextColor == OSD_WHITE ? OSD_ALT_HIGHLIGHT : OSD_WHITE;
    colours.crBack1 = settings.osdBackColor;
    colours.crBack2 = settings.osdUseGradient ? settings.osdGradientColor : settings.osdBackColor;
    return colours;
}

std::wstring OsdComposeMenuText(const std::wstring& title, const std::wstring (&names)[OSD_MENU_ITEMS]) {
    std::wstring text = title;
    for (int i = 0; i < OSD_MENU_ITEMS; ++i) {
        text += L'\n';
        if (names[i].empty())
            continue;
        text += std::to_wstring(i);
        text += L". ";
        text += names[i];
    }
    return text;
}

std::vector<std::wstring> OsdSplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wstring::size_type start = 0;
    for (;;) {
        std::wstring::size_type end = text.find(L'\n', start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

int OsdMenuLineStep(int fontHeight) {
    return std::abs(fontHeight) * 3 / 2;
}

tagOSDRECT OsdMenuLineRect(int entry, int fontHeight, int screenWidth) {
    const int step = OsdMenuLineStep(fontHeight);
    return {screenWidth / 3, step * (entry + 3), screenWidth, step * (entry + 4)};
}

tagOSDRECT OsdMenuTitleRect(int fontHeight, int clientWidth) {
    const int top = std::abs(fontHeight);
    return {clientWidth / 3, top, clientWidth, top + OsdMenuLineStep(fontHeight)};
}

int OsdFontHeight(int points, int dpi) {
    // Rounded as MulDiv rounds, so the size matches what the system would pick.
    const long long scaled = static_cast<long long>(points) * dpi;
    return -static_cast<int>((scaled + 36) / 72);
}

int OsdSmallFontHeight(int largeHeight) {
    return largeHeight * 2 / 3;
}

int OsdBarHeight(int dpi) {
    if (dpi <= 0)
        dpi = 96;
    return static_cast<int>((static_cast<long long>(OSD_BAR_HEIGHT_96DPI) * dpi + 48) / 96);
}

bool OsdTextExpired(std::uint32_t nowMs, std::uint32_t lastShowMs, std::int32_t displaySeconds) {
    // Unsigned difference: the multimedia clock wraps after 49.7 days.
    const std::uint32_t elapsed = nowMs - lastShowMs;
    return static_cast<long long>(elapsed) > static_cast<long long>(displaySeconds) * 1000;
}

std::vector<std::wstring> OsdFontFaces(std::uint16_t languageId) {
    switch (languageId) {
    case 2052:  // Chinese (simplified)
        return {L"Arial Unicode MS", L"SimHei", L"Arial"};
    case 1028:  // Chinese (traditional)
        return {L"Arial Unicode MS", L"MingLiU", L"Arial"};
    default:
        return {L"Arial"};
    }
}
