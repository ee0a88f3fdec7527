#pragma once
// The exports of Irbrix.dll, for the library itself and for callers that
// resolve them by name. Only integers cross; text is 8-bit.

#include <windows.h>

extern "C" {
int WINAPI PXRmtInitialization(DWORD vendor, DWORD subsystem, const char* deviceName);
int WINAPI PXRmtCheckAct();
int WINAPI PXRmtGetScanCode();
int WINAPI PXRmtGetActiveDevice(DWORD* vendor, DWORD* subsystem);
int WINAPI PXRmtSetActiveDevice(const DWORD* vendor, const DWORD* subsystem);
int WINAPI PXRmtGetDevice(const DWORD* vendor, const DWORD* subsystem);
}

using PFNPXRMTINITIALIZATION = int(WINAPI*)(DWORD, DWORD, const char*);
using PFNPXRMTCHECKACT = int(WINAPI*)();
using PFNPXRMTGETSCANCODE = int(WINAPI*)();
using PFNPXRMTGETACTIVEDEVICE = int(WINAPI*)(DWORD*, DWORD*);
using PFNPXRMTSETACTIVEDEVICE = int(WINAPI*)(const DWORD*, const DWORD*);
using PFNPXRMTGETDEVICE = int(WINAPI*)(const DWORD*, const DWORD*);
