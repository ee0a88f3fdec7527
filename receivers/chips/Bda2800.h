#pragma once
// CBDA2800: the EM28xx driver library's device object, as the receiver uses
// it. The library is an outside component; the object comes from a factory
// so that another implementation (a test's) can stand in for it.
//
// Windows-only.

#include <windows.h>

#include <memory>

class CBDA2800 {
public:
    virtual ~CBDA2800() = default;
    virtual BOOL OpenInterface(const char* devicePath) = 0;
    virtual void CloseInterface() = 0;
    virtual BOOL GetDeviceVIDPID(WORD* vendorId, WORD* productId) = 0;
    // Bits 8-15 of the value: the register of the IR device at the address.
    virtual BOOL DetectI2CEx(BYTE address, DWORD* value) = 0;
    virtual BOOL GetI2C(BYTE address, BYTE reg, BYTE* value) = 0;
    // The last NEC frame, 5 bytes.
    virtual BOOL GetIRDataEx(BYTE* frame) = 0;
    virtual BOOL GetIRData3(DWORD* value) = 0;
};

using PFNCREATEBDA2800 = std::unique_ptr<CBDA2800> (*)();

// A new object, or null when the library is not available: its C++ class
// cannot be bound from this build, so without a factory there is none.
std::unique_ptr<CBDA2800> CreateBDA2800();
// Null restores the default.
void SetBDA2800Factory(PFNCREATEBDA2800 factory);
