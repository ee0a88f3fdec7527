#pragma once
// The dispatch bench's crowd of windows: visible top-level windows that every
// fresh window search walks past.
#include <windows.h>

#include <string>
#include <vector>

inline std::vector<HWND> BenchCreateWindows(const wchar_t* className, const wchar_t* captionPrefix, int count) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    std::vector<HWND> windows;
    for (int i = 0; i < count; ++i) {
        const std::wstring caption = captionPrefix + std::to_wstring(i);
        windows.push_back(CreateWindowExW(0, className, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                          10 + i % 50, 10 + i % 40, 200, 100, nullptr, nullptr, wc.hInstance,
                                          nullptr));
    }
    return windows;
}
