#pragma once
// CGraphDriverInfo: which driver serves a device, from its device path or
// instance id, through SetupAPI and the driver's class key.
//
// Windows-only.

#include "support/GraphDriverInfoRules.h"

#include <windows.h>
#include <strmif.h>

class CGraphDriverInfo {
public:
    // 0, E_POINTER (missing argument), E_INVALIDARG (a device path without its
    // three "#") or E_FAIL (no driver key, or the bus is unknown). The record
    // is cleared first and filled as far as the device allows.
    static HRESULT QueryDriverInfo(const wchar_t* devicePathOrInstanceId, tagDRIVERINFO* info);
    // FindFilter by name in the category (the kernel-streaming capture category
    // as well for the BDA receiver components), then QueryDriverInfo of the
    // device found.
    static HRESULT FindFilterDriverInfo(const wchar_t* name, tagDRIVERINFO* info, const GUID& category);
};
