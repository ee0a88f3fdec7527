#include "tests/support/WindowShot.h"

#include <cstdio>

#include "support/ScopedWin.h"

bool SaveWindowBitmap(HWND window, const std::wstring& path) {
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    CQVWindowDc screen(nullptr);
    CQVMemDc memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    CQVBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap)
        return false;
    CQVSelectObject select(memory.Get(), bitmap.Get());
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY))
        return false;
    GdiFlush();
    DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
    header.bfSize = header.bfOffBits + stride * static_cast<DWORD>(height);
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool written = std::fwrite(&header, sizeof(header), 1, file) == 1 &&
                   std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, file) == 1 &&
                   std::fwrite(bits, stride, static_cast<std::size_t>(height), file) == static_cast<std::size_t>(height);
    return std::fclose(file) == 0 && written;
}

