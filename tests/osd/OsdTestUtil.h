#pragma once
// Helpers of the display tests: a message pump with a deadline and a capture
// of the screen's pixels (what X shows, through the screen DC) that can be
// saved as a bitmap file.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace osdtest {

// Dispatches messages until done() holds or timeoutMs pass; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Dispatches what is queued now.
void PumpPending();

class CScreenShot {
public:
    // The whole screen.
    bool Capture();
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF Pixel(int x, int y) const;
    // Pixels within tolerance (per channel) of colour inside rect.
    int Count(const RECT& rect, COLORREF colour, int tolerance = 0) const;
    bool SaveBmp(const std::wstring& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_bits;  // top-down 0x00RRGGBB
};

bool Near(COLORREF a, COLORREF b, int tolerance);
std::wstring ArtefactPath(const wchar_t* name);

}  // namespace osdtest
