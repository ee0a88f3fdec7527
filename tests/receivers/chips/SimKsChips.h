#pragma once
// Simulated chips behind a registered capture filter, answering the property
// requests as their drivers do: the CX2388x capture switch and frame tag,
// the Abilis frame register and eLNA, the AF9135 latch request, the Yuan
// start / stop / acknowledge protocol and the AME vendor interface.

#include "tests/receivers/chips/ChipTestKit.h"
#include "tests/support/sim/SimCaptureFilter.h"

#include <mutex>
#include <vector>

namespace simks {

using chipkit::CSimRemote;

// Shared bookkeeping: the remote, a switch to make every request fail, and
// the values of every set request in order.
class CSimKsChip : public simfilter::ISimChip {
public:
    explicit CSimKsChip(const GUID& propertySet) : m_set(propertySet) {}
    HRESULT Property(bool set, const GUID& propertySet, DWORD id, void* instance, DWORD instanceBytes, void* data,
                     DWORD dataBytes, DWORD* returned) final;
    std::vector<DWORD> Sets() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_sets;
    }

    CSimRemote remote;
    std::atomic<bool> fDead{false};  // every request fails, as an unplugged device

protected:
    virtual HRESULT OnSet(DWORD id, const DWORD* data, DWORD count) = 0;
    virtual HRESULT OnGet(DWORD id, DWORD* data, DWORD count) = 0;

private:
    GUID m_set;
    std::mutex m_lock;
    std::vector<DWORD> m_sets;
};

class CSimCx2388x : public CSimKsChip {
public:
    CSimCx2388x();
    std::atomic<int> nCapture{0};  // last switch value: 1 on, 2 off

protected:
    HRESULT OnSet(DWORD id, const DWORD* data, DWORD count) override;
    HRESULT OnGet(DWORD id, DWORD* data, DWORD count) override;

private:
    std::uint8_t m_lastFrame = CSimRemote::kNone;
};

class CSimAbilis : public CSimKsChip {
public:
    CSimAbilis();
    std::atomic<std::uint16_t> wAddress{0x04EB};
    std::atomic<DWORD> dwElna{7};  // as the stick powers up: never set

protected:
    HRESULT OnSet(DWORD id, const DWORD* data, DWORD count) override;
    HRESULT OnGet(DWORD id, DWORD* data, DWORD count) override;
};

class CSimAF9135 : public CSimKsChip {
public:
    CSimAF9135();
    std::atomic<std::uint16_t> wAddress{0x02BD};

protected:
    HRESULT OnSet(DWORD id, const DWORD* data, DWORD count) override;
    HRESULT OnGet(DWORD id, DWORD* data, DWORD count) override;

private:
    bool m_latched = false;
};

class CSimYuan : public CSimKsChip {
public:
    CSimYuan();
    std::atomic<std::uint16_t> wAddress{0x14EB};
    std::atomic<bool> fStillRunning{false};  // a start fails until a stop
    std::atomic<bool> fStarted{false};
    std::atomic<int> nUnacknowledged{0};

protected:
    HRESULT OnSet(DWORD id, const DWORD* data, DWORD count) override;
    HRESULT OnGet(DWORD id, DWORD* data, DWORD count) override;
};

// Offers the vendor interface under the second identifier only.
class CSimAme : public simfilter::ISimChip {
public:
    HRESULT Property(bool, const GUID&, DWORD, void*, DWORD, void*, DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT QueryExtra(REFIID riid, void** ppv) override;

    CSimRemote remote;
    std::atomic<bool> fDead{false};
    std::atomic<ULONG> nLastCommand{0};
};

}  // namespace simks
