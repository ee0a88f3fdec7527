#pragma once
// Owner of a SetupAPI device-information set, for the owner template of
// ScopedWin.h.

#include "support/ScopedWin.h"

#include <setupapi.h>

struct CQVDevInfoTraits {
    using Handle = HDEVINFO;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { SetupDiDestroyDeviceInfoList(h); }
};

using CQVDevInfo = CQVScoped<CQVDevInfoTraits>;
