// Irbrix.dll: the six exports over one library object and the system.

#include "irbridge/Irbrix.h"

#include "irbridge/RmtLibrary.h"
#include "irbridge/RmtPlatformWin.h"

#include <cstdint>

static_assert(sizeof(DWORD) == sizeof(std::uint32_t), "ids are 32-bit");

namespace {

// Made on first use, never at load: the entry point does no work, and the
// device objects live until the process ends.
irbrix::CRmtLibrary& Library() {
    static irbrix::CRmtPlatformWin platform;
    static irbrix::CRmtLibrary library(platform);
    return library;
}

const std::uint32_t* In(const DWORD* value) { return reinterpret_cast<const std::uint32_t*>(value); }
std::uint32_t* Out(DWORD* value) { return reinterpret_cast<std::uint32_t*>(value); }

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

extern "C" {

int WINAPI PXRmtInitialization(DWORD vendor, DWORD subsystem, const char* deviceName) {
    return Library().Initialization(vendor, subsystem, deviceName);
}

int WINAPI PXRmtCheckAct() { return Library().CheckAct(); }

int WINAPI PXRmtGetScanCode() { return Library().GetScanCode(); }

int WINAPI PXRmtGetActiveDevice(DWORD* vendor, DWORD* subsystem) {
    return Library().GetActiveDevice(Out(vendor), Out(subsystem));
}

int WINAPI PXRmtSetActiveDevice(const DWORD* vendor, const DWORD* subsystem) {
    return Library().SetActiveDevice(In(vendor), In(subsystem));
}

int WINAPI PXRmtGetDevice(const DWORD* vendor, const DWORD* subsystem) {
    return Library().GetDevice(In(vendor), In(subsystem));
}

}  // extern "C"
