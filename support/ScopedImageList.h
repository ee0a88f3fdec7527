#pragma once
// An image list this code created, destroyed with the object.
#include <windows.h>
#include <commctrl.h>

#include "support/ScopedWin.h"

struct CQVImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ImageList_Destroy(h); }
};
using CQVImageList = CQVScoped<CQVImageListTraits>;
