#pragma once
// CHw_SAA713x_KS: register access to SAA713x cards through their capture
// driver. The card is the first kernel-streaming capture device whose
// property bag names a "VampType"; registers are read and written with the
// driver's I/O codes on its device path.
//
// Windows-only.

#include "receivers/chips/ChipPort.h"

#include <memory>
#include <string>

class CHw_SAA713x_KS {
public:
    static constexpr DWORD kIoReadRegister = 0x232D08;
    static constexpr DWORD kIoWriteRegister = 0x232D04;
    static constexpr DWORD kIoReadFlagged = 0x232C08;
    static constexpr DWORD kIoWriteFlagged = 0x232C04;
    // Registers so flagged go through the short request, without the flag.
    static constexpr DWORD kFlaggedRegister = 0x4000;
    static constexpr DWORD kIrControl = 0x1B0;
    static constexpr DWORD kIrCode = 0x1B4;
    static constexpr DWORD kIrLatch = 0x80000000;
    // The card's PCI configuration word with subsystem vendor (low half) and
    // subsystem id (high half), as the driver reports it.
    static constexpr DWORD kSubsystemRegister = kFlaggedRegister | 0x2C;

    // Finds and opens the card; false when there is none or it cannot be opened.
    bool Open();
    // 0 or the failure status of the request.
    DWORD ReadRegister(DWORD reg, DWORD* value);
    DWORD WriteRegister(DWORD reg, DWORD value);
    // The code word of the IR receiver, latched around the read.
    bool ReadIr(DWORD* code);
    bool ReadSubsystem(std::uint16_t* vendor, std::uint16_t* id);
    // The capture driver is one of the card's own; unknown drivers pass.
    bool IsKnownDriver() const;

    const std::wstring& FriendlyName() const { return m_friendlyName; }
    const std::wstring& DevicePath() const { return m_devicePath; }

private:
    DWORD Request(bool write, DWORD reg, DWORD* value);

    std::wstring m_friendlyName;
    std::wstring m_vampType;
    std::wstring m_devicePath;
    std::unique_ptr<IChipDevice> m_device;
};

// Whether a capture driver's file is one of the SAA713x drivers (any case).
bool IsSaa713xDriverFile(const wchar_t* driverFile);
