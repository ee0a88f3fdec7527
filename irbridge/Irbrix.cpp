// Irbrix.dll: the six exports over one library object and the system.

#include "irbridge/Irbrix.h"

#include "irbridge/RmtLibrary.h"
#include "irbridge/RmtPlatformWin.h"

#include <cstdint>
#include <new>
#include <utility>

static_assert(sizeof(DWORD) == sizeof(std::uint32_t), "ids are 32-bit");

namespace {

// Constructed in place and never destroyed. The caller frees the library
// from whatever thread it likes; destroying the devices then would release
// COM objects under the loader lock and end COM use on a thread that never
// started it, which can take that thread's apartment down.
template <class T>
class CImmortal {
public:
    template <class... Args>
    explicit CImmortal(Args&&... args) {
        ::new (static_cast<void*>(m_storage)) T(std::forward<Args>(args)...);
    }
    T& Get() { return *std::launder(reinterpret_cast<T*>(m_storage)); }

private:
    alignas(T) unsigned char m_storage[sizeof(T)];
};

// Made on first use, never at load: the entry point does no work, and the
// device objects live until the process ends.
irbrix::CRmtLibrary& Library() {
    static CImmortal<irbrix::CRmtPlatformWin> platform;
    static CImmortal<irbrix::CRmtLibrary> library(platform.Get());
    return library.Get();
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
