#pragma once
// CQVFindWindow: the main window of an application named by a window caption,
// an executable file name, or both. All comparisons ignore case.

#include <windows.h>

class CQVFindWindow {
public:
    // Exact title first, then the windows with their processes' executable
    // paths, then the windows' own module names. Null when nothing matches.
    // Every caller of this program passes includeHidden FALSE.
    static HWND FindWindow(const wchar_t* caption, const wchar_t* executable, BOOL includeHidden = FALSE);
};
