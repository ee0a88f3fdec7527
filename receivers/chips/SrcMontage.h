#pragma once
// CSrcMontage: USB sticks on the Montage chip. The device interface of the
// receiver component is opened directly and asked for the remote's last
// frame with a kernel-streaming property request of its own layout.
//
// Windows-only.

#include "receivers/SrcPoll.h"
#include "receivers/chips/ChipPort.h"

#include <memory>

// The request's property set (MYINTF).
extern const GUID kPropSetMontageRemote;

class CSrcMontage : public CSrcPoll {
public:
    static constexpr const wchar_t* kModelText = L"Device model 08";
    static constexpr DWORD kRequestBytes = 104;
    static constexpr std::uint16_t kProductIds[2] = {0x00A8, 0x00B0};

    explicit CSrcMontage(IClock& clock = SystemClock());
    ~CSrcMontage() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    std::uint8_t GetCurrentKeyCode() override;

private:
    // The 16-bit value of the remote; false when the request failed.
    bool ReadIr(std::uint16_t* value);

    std::unique_ptr<IChipDevice> m_device;
};

// "usb\vid_xxxx&pid_yyyy" of a Montage product under the primary vendor.
std::wstring MontageHardwareId(std::uint16_t productId);
