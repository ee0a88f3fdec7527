#pragma once
// Pictures of windows for the README and for a look at a result.
#include <windows.h>

#include <string>

// The window as the screen shows it (after a redraw), as a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::wstring& path);
