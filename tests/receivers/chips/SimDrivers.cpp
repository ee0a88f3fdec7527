#include "tests/receivers/chips/SimDrivers.h"

#include "receivers/chips/Hw_SAA713x_KS.h"
#include "receivers/chips/SrcMontage.h"
#include "receivers/chips/SrcRcSonexaUniverse.h"
#include "receivers/chips/SrcRcTavora_S_USB.h"

#include <cstring>

namespace simdrv {

namespace {

constexpr DWORD kIoctlKsProperty = 0x002F0003;

class CSimDevice : public IChipDevice {
public:
    explicit CSimDevice(std::shared_ptr<ISimDriver> driver) : m_driver(std::move(driver)) {}
    DWORD Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                  OVERLAPPED* overlapped) override {
        return m_driver->Control(code, in, inBytes, out, outBytes, returned, overlapped);
    }
    void CancelIo() override { m_driver->CancelIo(); }

private:
    std::shared_ptr<ISimDriver> m_driver;
};

template <class T>
T Word(const void* buffer, std::size_t offset) {
    T value{};
    std::memcpy(&value, static_cast<const std::uint8_t*>(buffer) + offset, sizeof(T));
    return value;
}

template <class T>
void PutWord(void* buffer, std::size_t offset, T value) {
    std::memcpy(static_cast<std::uint8_t*>(buffer) + offset, &value, sizeof(T));
}

}  // namespace

std::unique_ptr<IChipDevice> CSimPort::Open(const std::wstring& path, DWORD, bool overlapped) {
    const auto found = m_drivers.find(path);
    if (found == m_drivers.end())
        return nullptr;
    ++nOpened;
    fLastOverlapped = overlapped;
    return std::make_unique<CSimDevice>(found->second);
}

std::unique_ptr<IChipDevice> CSimPort::OpenFilterHandle(IBaseFilter* filter) {
    if (!filter || !filterDriver)
        return nullptr;
    return std::make_unique<CSimDevice>(filterDriver);
}

DWORD CSimSonexa::Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                          OVERLAPPED* overlapped) {
    using R = CSrcRcSonexaUniverse;
    switch (code) {
    case R::kIoDeviceList:
        if (!out || outBytes < 20)
            return ERROR_INSUFFICIENT_BUFFER;
        PutWord<std::int32_t>(out, 0, nDevices);
        PutWord<DWORD>(out, 4, kDeviceId);
        *returned = 20;
        return ERROR_SUCCESS;
    case R::kIoDeviceInfo:
        if (!in || inBytes != R::kRequestBytes || outBytes != R::kRequestBytes || Word<DWORD>(in, 0) != kDeviceId)
            return ERROR_INVALID_PARAMETER;
        PutWord<std::uint16_t>(out, 16, wCard);
        *returned = R::kRequestBytes;
        return ERROR_SUCCESS;
    case R::kIoWaitKey:
        if (!overlapped || !overlapped->hEvent)
            return ERROR_INVALID_PARAMETER;
        ++nWaits;
        if (!fQuiet)
            SetEvent(overlapped->hEvent);
        return ERROR_IO_PENDING;
    case R::kIoGetKey:
        if (!in || inBytes != R::kRequestBytes || Word<DWORD>(in, 0) != kDeviceId ||
            static_cast<std::uint8_t*>(in)[4] != 0)
            return ERROR_INVALID_PARAMETER;
        remote.CountRead();
        static_cast<std::uint8_t*>(out)[16] = remote.Held();
        *returned = R::kRequestBytes;
        return ERROR_SUCCESS;
    default: return ERROR_INVALID_FUNCTION;
    }
}

DWORD CSimMontage::Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                           OVERLAPPED*) {
    // One buffer for both directions, the property request at its head.
    if (code != kIoctlKsProperty || in != out || inBytes != CSrcMontage::kRequestBytes || outBytes != inBytes ||
        std::memcmp(in, &kPropSetMontageRemote, sizeof(GUID)) != 0 || Word<DWORD>(in, 16) != 0 ||
        Word<DWORD>(in, 20) != 1 || Word<DWORD>(in, 24) != 2 || Word<DWORD>(in, 28) != 0 || Word<DWORD>(in, 32) != 2)
        return ERROR_INVALID_PARAMETER;
    remote.CountRead();
    auto* bytes = static_cast<std::uint8_t*>(out);
    PutWord<DWORD>(out, 36, fDead ? 0xC0000001 : 0);
    bytes[72] = remote.IsHeld() ? 0x02 : 0xFF;
    bytes[73] = remote.Held();
    *returned = outBytes;
    return ERROR_SUCCESS;
}

DWORD CSimSUsb::Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                        OVERLAPPED*) {
    if (fDead)
        return static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
    if (code != kIoctlKsProperty || inBytes != 16 || std::memcmp(in, &kPropSetTavoraSUsbRemote, 16) != 0 ||
        outBytes != 4)
        return static_cast<DWORD>(E_INVALIDARG);
    remote.CountRead();
    if (!remote.IsHeld())
        return CSrcRcTavora_S_USB::kNoKey;
    PutWord<DWORD>(out, 0, 0x5500 | remote.Held());
    *returned = 4;
    return 0;
}

DWORD CSimSaaRegisters::Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                                OVERLAPPED*) {
    using H = CHw_SAA713x_KS;
    const bool flagged = code == H::kIoReadFlagged || code == H::kIoWriteFlagged;
    const bool write = code == H::kIoWriteRegister || code == H::kIoWriteFlagged;
    if ((!flagged && code != H::kIoReadRegister && code != H::kIoWriteRegister) || in != out ||
        inBytes != (flagged ? 12u : 20u) || outBytes != inBytes)
        return ERROR_INVALID_FUNCTION;
    if (fDead)
        return ERROR_GEN_FAILURE;
    const DWORD reg = Word<DWORD>(in, 4);
    if (reg & H::kFlaggedRegister)
        return ERROR_INVALID_PARAMETER;  // the flag never reaches the driver
    std::lock_guard<std::mutex> lock(m_lock);
    *returned = inBytes;
    if (write) {
        m_registers[reg] = Word<DWORD>(in, 8);
        return ERROR_SUCCESS;
    }
    DWORD value = m_registers[reg];
    if (flagged && reg == (H::kSubsystemRegister & ~H::kFlaggedRegister))
        value = wVendor | (DWORD{wSubsystem} << 16);
    if (!flagged && reg == H::kIrCode) {
        if (!(m_registers[H::kIrControl] & H::kIrLatch))
            return ERROR_NOT_READY;
        remote.CountRead();
        const std::uint8_t held = remote.Held();
        // The pins show the key's code while it is held; without a key the
        // held flag with the code last shown.
        if (held != CSimRemote::kNone)
            m_reported = held;
        value = held != CSimRemote::kNone ? held : 0x40000 | (m_reported & 0x3F);
    }
    PutWord<DWORD>(out, 8, value);
    return ERROR_SUCCESS;
}

}  // namespace simdrv
