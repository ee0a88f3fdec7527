#include "tests/osd/OsdTestUtil.h"

#include "support/ScopedWin.h"

#include <cstdlib>
#include <fstream>

namespace osdtest {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (done())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool CScreenShot::Capture() {
    GdiFlush();
    m_width = GetSystemMetrics(SM_CXSCREEN);
    m_height = GetSystemMetrics(SM_CYSCREEN);
    CQVWindowDc screen(nullptr);
    CQVMemDc memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CQVBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || !bits)
        return false;
    {
        CQVSelectObject select(memory.Get(), bitmap.Get());
        if (!BitBlt(memory.Get(), 0, 0, m_width, m_height, screen.Get(), 0, 0, SRCCOPY))
            return false;
    }
    GdiFlush();
    const DWORD* source = static_cast<const DWORD*>(bits);
    m_bits.assign(source, source + static_cast<size_t>(m_width) * m_height);
    return true;
}

COLORREF CScreenShot::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    const DWORD p = m_bits[static_cast<size_t>(y) * m_width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int CScreenShot::Count(const RECT& rect, COLORREF colour, int tolerance) const {
    int n = 0;
    for (int y = rect.top; y < rect.bottom && y < m_height; ++y)
        for (int x = rect.left; x < rect.right && x < m_width; ++x)
            if (Near(Pixel(x, y), colour, tolerance))
                ++n;
    return n;
}

bool CScreenShot::SaveBmp(const std::wstring& path) const {
    if (m_bits.empty())
        return false;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = m_width;
    header.biHeight = -m_height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const DWORD dataBytes = static_cast<DWORD>(m_bits.size() * sizeof(DWORD));
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + dataBytes;
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(m_bits.data()), dataBytes);
    return static_cast<bool>(out);
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::wstring ArtefactPath(const wchar_t* name) {
    // Beside the test program, in the build tree, so the pictures stay after the run.
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring dir = std::wstring(folder) + L"\\screenshots";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir + L"\\" + name;
}

}  // namespace osdtest
