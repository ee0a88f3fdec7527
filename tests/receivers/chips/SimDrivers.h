#pragma once
// Simulated drivers behind the chip receivers' driver port: the sound card's
// control driver, the Montage stick's receiver interface and the S USB box's
// kernel object. Each checks the request layout as its driver would.

#include "receivers/chips/ChipPort.h"
#include "tests/receivers/chips/ChipTestKit.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace simdrv {

using chipkit::CSimRemote;

class ISimDriver {
public:
    virtual ~ISimDriver() = default;
    virtual DWORD Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                          OVERLAPPED* overlapped) = 0;
    virtual void CancelIo() {}
};

// Installed for the life of the object; devices are found by path, and
// every capture filter's kernel handle leads to filterDriver.
class CSimPort : public IChipDriverPort {
public:
    CSimPort() { SetChipDriverPort(this); }
    ~CSimPort() override { SetChipDriverPort(nullptr); }
    std::unique_ptr<IChipDevice> Open(const std::wstring& path, DWORD access, bool overlapped) override;
    std::unique_ptr<IChipDevice> OpenFilterHandle(IBaseFilter* filter) override;

    void Add(const std::wstring& path, std::shared_ptr<ISimDriver> driver) { m_drivers[path] = std::move(driver); }
    std::shared_ptr<ISimDriver> filterDriver;
    int nOpened = 0;
    bool fLastOverlapped = false;

private:
    std::map<std::wstring, std::shared_ptr<ISimDriver>> m_drivers;
};

// The control driver: one card, waits completed as soon as they are queued
// unless silent, the key read from the card's last frame.
class CSimSonexa : public ISimDriver {
public:
    static constexpr DWORD kDeviceId = 0x00C0FFEE;
    DWORD Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                  OVERLAPPED* overlapped) override;
    void CancelIo() override { ++nCancels; }

    CSimRemote remote;
    std::atomic<int> nDevices{1};
    std::atomic<std::uint16_t> wCard{0x1153};
    std::atomic<bool> fQuiet{false};  // waits stay queued: nothing is received
    std::atomic<int> nCancels{0};
    std::atomic<int> nWaits{0};
};

class CSimMontage : public ISimDriver {
public:
    DWORD Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                  OVERLAPPED* overlapped) override;
    CSimRemote remote;
    std::atomic<bool> fDead{false};  // the request succeeds, the status does not
};

class CSimSUsb : public ISimDriver {
public:
    DWORD Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                  OVERLAPPED* overlapped) override;
    CSimRemote remote;
    std::atomic<bool> fDead{false};
};

// The SAA713x capture driver's register requests. The IR code word can only
// be read while latched.
class CSimSaaRegisters : public ISimDriver {
public:
    DWORD Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                  OVERLAPPED* overlapped) override;

    CSimRemote remote;
    std::atomic<std::uint16_t> wVendor{0x1E4A};
    std::atomic<std::uint16_t> wSubsystem{0x1142};
    std::atomic<bool> fDead{false};

private:
    std::mutex m_lock;
    std::map<DWORD, DWORD> m_registers;
    std::uint8_t m_reported = CSimRemote::kNone;
};

}  // namespace simdrv
