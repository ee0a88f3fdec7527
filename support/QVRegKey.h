#pragma once
// Owner of one open registry key: closed when the owner goes, never copied.
// One more kind of handle for the owner template of ScopedWin.h.

#include "support/ScopedWin.h"

struct CQVRegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};

using CQVRegKey = CQVScoped<CQVRegKeyTraits>;
