#include "tests/receivers/chips/SimKsChips.h"

#include "receivers/chips/SrcAF9135.h"
#include "receivers/chips/SrcAbilis.h"
#include "receivers/chips/SrcRcTavora_AME.h"
#include "receivers/chips/SrcRcTavora_CX2388x.h"
#include "receivers/chips/SrcYuan.h"

#include <cstring>

namespace simks {

namespace {
constexpr HRESULT E_PROP_ID_UNSUPPORTED = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
}  // namespace

HRESULT CSimKsChip::Property(bool set, const GUID& propertySet, DWORD id, void* instance, DWORD instanceBytes,
                             void* data, DWORD dataBytes, DWORD* returned) {
    if (!IsEqualGUID(propertySet, m_set))
        return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
    if (fDead)
        return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    // The drivers take the request from the instance data and answer in the data.
    if (!data || dataBytes == 0 || (instance && instanceBytes != dataBytes))
        return E_INVALIDARG;
    DWORD words[4] = {};
    const DWORD count = dataBytes / 4 ? dataBytes / 4 : 1;
    if (count > 4)
        return E_INVALIDARG;
    std::memcpy(words, data, dataBytes);
    if (set) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_sets.push_back(dataBytes == 1 ? words[0] & 0xFF : words[0]);
        }
        return OnSet(id, words, count);
    }
    const HRESULT hr = OnGet(id, words, count);
    if (SUCCEEDED(hr)) {
        std::memcpy(data, words, dataBytes);
        if (returned)
            *returned = dataBytes;
    }
    return hr;
}

CSimCx2388x::CSimCx2388x() : CSimKsChip(kPropSetCx2388xIrCapture) {}

HRESULT CSimCx2388x::OnSet(DWORD id, const DWORD* data, DWORD) {
    if (id != 1)
        return E_PROP_ID_UNSUPPORTED;
    nCapture = static_cast<int>(data[0] & 0xFF);
    return S_OK;
}

HRESULT CSimCx2388x::OnGet(DWORD id, DWORD* data, DWORD count) {
    if (id != 0 || count < 2)
        return E_PROP_ID_UNSUPPORTED;
    remote.CountRead();
    const std::uint8_t held = remote.Held();
    if (nCapture != 1 || held == CSimRemote::kNone) {
        m_lastFrame = CSimRemote::kNone;
        data[0] = data[1] = 0;
        return S_OK;
    }
    // The first frame of a press carries the command, the rest repeat it.
    data[0] = 0xEB04;
    data[1] = held == m_lastFrame ? 0x10000 : held;
    m_lastFrame = held;
    return S_OK;
}

CSimAbilis::CSimAbilis() : CSimKsChip(kPropSetAbilisRemote) {}

HRESULT CSimAbilis::OnSet(DWORD id, const DWORD* data, DWORD) {
    if (id != 1 || data[0] > ELNA_AUTO)
        return E_INVALIDARG;
    dwElna = data[0];
    return S_OK;
}

HRESULT CSimAbilis::OnGet(DWORD id, DWORD* data, DWORD) {
    if (id == 1) {
        data[0] = dwElna;
        return S_OK;
    }
    if (id != 0)
        return E_PROP_ID_UNSUPPORTED;
    remote.CountRead();
    // The register keeps the last address; the command byte is 0xFF without a key.
    data[0] = (DWORD{remote.Held()} << 24) | wAddress;
    return S_OK;
}

CSimAF9135::CSimAF9135() : CSimKsChip(kPropSetAF9135Remote) {}

HRESULT CSimAF9135::OnSet(DWORD id, const DWORD* data, DWORD count) {
    if (id != 1 || count != 3 || data[0] != 7 || data[1] != 0 || data[2] != 0)
        return E_INVALIDARG;
    m_latched = true;
    return S_OK;
}

HRESULT CSimAF9135::OnGet(DWORD id, DWORD* data, DWORD) {
    // Only a latched frame can be read, once.
    if (id != 1 || !m_latched)
        return HRESULT_FROM_WIN32(ERROR_BUSY);
    m_latched = false;
    remote.CountRead();
    data[0] = remote.IsHeld() ? (DWORD{wAddress} << 16) | (DWORD{remote.Held()} << 8) : 0;
    return S_OK;
}

CSimYuan::CSimYuan() : CSimKsChip(kPropSetYuanRemote) {}

HRESULT CSimYuan::OnSet(DWORD id, const DWORD* data, DWORD) {
    if (id != 1)
        return E_PROP_ID_UNSUPPORTED;
    switch (data[0]) {
    case YUAN_CONTROL_START:
        if (fStillRunning)
            return static_cast<HRESULT>(0x80070001);
        fStarted = true;
        return S_OK;
    case YUAN_CONTROL_STOP:
        fStillRunning = false;
        fStarted = false;
        return S_OK;
    case YUAN_CONTROL_ACKNOWLEDGE:
        nUnacknowledged = 0;
        return S_OK;
    case YUAN_CONTROL_OPTION: return S_OK;
    default: return E_INVALIDARG;
    }
}

HRESULT CSimYuan::OnGet(DWORD id, DWORD* data, DWORD) {
    if (id != 0 || !fStarted)
        return E_PROP_ID_UNSUPPORTED;
    remote.CountRead();
    ++nUnacknowledged;
    // Byte 0 the command, bytes 1 and 2 the address (high byte first).
    data[0] = remote.IsHeld() ? remote.Held() | ((wAddress >> 8) << 8) | ((wAddress & 0xFF) << 16) : 0xFF;
    return S_OK;
}

namespace {

class CAmeRemote : public IAmeRemote {
public:
    explicit CAmeRemote(CSimAme& chip) : m_chip(chip) {}
    virtual ~CAmeRemote() = default;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidAmeRemoteAlt)) {
            *ppv = static_cast<IAmeRemote*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_refs); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE Command(ULONG command, ULONG* value, ULONG reserved) override {
        m_chip.nLastCommand = command;
        if (m_chip.fDead || command != CSrcRcTavora_AME::kCommandReadIr || !value || reserved != 0)
            return E_FAIL;
        m_chip.remote.CountRead();
        *value = 0xA500 | m_chip.remote.Held();
        return S_OK;
    }

private:
    CSimAme& m_chip;
    std::atomic<LONG> m_refs{1};
};

}  // namespace

HRESULT CSimAme::QueryExtra(REFIID riid, void** ppv) {
    *ppv = nullptr;
    if (!IsEqualIID(riid, kIidAmeRemoteAlt))
        return E_NOINTERFACE;
    *ppv = static_cast<IAmeRemote*>(new CAmeRemote(*this));
    return S_OK;
}

}  // namespace simks
