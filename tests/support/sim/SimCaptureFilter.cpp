#include "tests/support/sim/SimCaptureFilter.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <cwchar>
#include <string>

#include <uuids.h>

namespace simfilter {

namespace {

std::atomic<LONG> g_liveInstances{0};

void Store(std::uint32_t value, std::uint8_t (&bytes)[4]) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// IBaseFilter as stubs and IKsPropertySet from the script.
class CSimFilter : public IBaseFilter, public IKsPropertySet {
public:
    explicit CSimFilter(std::shared_ptr<CScript> script) : m_script(std::move(script)) { ++g_liveInstances; }
    virtual ~CSimFilter() { --g_liveInstances; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPersist) || IsEqualIID(riid, IID_IMediaFilter) ||
            IsEqualIID(riid, IID_IBaseFilter))
            *ppv = static_cast<IBaseFilter*>(this);
        else if (IsEqualIID(riid, IID_IKsPropertySet))
            *ppv = static_cast<IKsPropertySet*>(this);
        else if (const std::shared_ptr<ISimChip> chip = m_script->Chip())
            return chip->QueryExtra(riid, ppv);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_refs); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }

    // IKsPropertySet
    STDMETHODIMP Set(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes, LPVOID data,
                     DWORD dataBytes) override {
        if (const std::shared_ptr<ISimChip> chip = m_script->Chip()) {
            DWORD returned = 0;
            return chip->Property(true, set, id, instance, instanceBytes, data, dataBytes, &returned);
        }
        return E_NOTIMPL;
    }
    STDMETHODIMP Get(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes, LPVOID data, DWORD dataBytes,
                     DWORD* returned) override {
        if (const std::shared_ptr<ISimChip> chip = m_script->Chip())
            return chip->Property(false, set, id, instance, instanceBytes, data, dataBytes, returned);
        const tagANSWER answer = m_script->Next();
        if (SUCCEEDED(answer.hr) && data && dataBytes >= 4) {
            std::memcpy(data, answer.bytes, 4);
            if (returned)
                *returned = 4;
        }
        return answer.hr;
    }
    STDMETHODIMP QuerySupported(REFGUID, DWORD, DWORD* support) override {
        if (support)
            *support = KSPROPERTY_SUPPORT_GET;
        return S_OK;
    }

    // IPersist, IMediaFilter, IBaseFilter
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP Stop() override { return S_OK; }
    STDMETHODIMP Pause() override { return S_OK; }
    STDMETHODIMP Run(REFERENCE_TIME) override { return S_OK; }
    STDMETHODIMP GetState(DWORD, FILTER_STATE* state) override {
        if (state)
            *state = State_Stopped;
        return S_OK;
    }
    STDMETHODIMP SetSyncSource(IReferenceClock*) override { return S_OK; }
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override {
        if (clock)
            *clock = nullptr;
        return S_OK;
    }
    STDMETHODIMP EnumPins(IEnumPins**) override { return E_NOTIMPL; }
    STDMETHODIMP FindPin(LPCWSTR, IPin**) override { return E_NOTIMPL; }
    STDMETHODIMP QueryFilterInfo(FILTER_INFO*) override { return E_NOTIMPL; }
    STDMETHODIMP JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return S_OK; }
    STDMETHODIMP QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

private:
    std::atomic<LONG> m_refs{1};
    std::shared_ptr<CScript> m_script;
};

class CSimFactory : public IClassFactory {
public:
    explicit CSimFactory(std::shared_ptr<CScript> script) : m_script(std::move(script)) {}
    virtual ~CSimFactory() = default;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The registration owns the factory and revokes it before it goes.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* filter = new CSimFilter(m_script);
        const HRESULT hr = filter->QueryInterface(riid, ppv);
        filter->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    std::shared_ptr<CScript> m_script;
};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[64] = {};
    StringFromGUID2(guid, text, 64);
    return text;
}

}  // namespace

void CScript::Push(HRESULT hr, std::uint32_t value) {
    std::lock_guard<std::mutex> lock(m_lock);
    tagANSWER answer = {hr, {}};
    Store(value, answer.bytes);
    m_answers.push_back(answer);
}

void CScript::SetIdle(HRESULT hr, std::uint32_t value) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_idle.hr = hr;
    Store(value, m_idle.bytes);
}

void CScript::Clear() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_answers.clear();
    m_reads = 0;
}

tagANSWER CScript::Next() {
    std::lock_guard<std::mutex> lock(m_lock);
    ++m_reads;
    if (m_answers.empty()) {
        m_consumed.notify_all();
        return m_idle;
    }
    const tagANSWER answer = m_answers.front();
    m_answers.pop_front();
    if (m_answers.empty())
        m_consumed.notify_all();
    return answer;
}

void CScript::SetChip(std::shared_ptr<ISimChip> chip) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_chip = std::move(chip);
}

std::shared_ptr<ISimChip> CScript::Chip() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_chip;
}

int CScript::Reads() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_reads;
}

bool CScript::WaitUntilConsumed(DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(m_lock);
    return m_consumed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_answers.empty(); });
}

CRegisteredFilter::CRegisteredFilter(const std::wstring& friendlyName, const GUID& category,
                                     const std::wstring& devicePath,
                                     const std::vector<std::pair<std::wstring, std::wstring>>& extraValues)
    : m_script(std::make_shared<CScript>()), m_category(category) {
    if (FAILED(CoCreateGuid(&m_clsid)))
        return;
    m_instanceName = GuidText(m_clsid);
    // The device enumerator creates the filter through the class's key.
    const std::wstring key = L"CLSID\\" + GuidText(m_clsid) + L"\\InprocServer32";
    HKEY hkey = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hkey, nullptr) !=
        ERROR_SUCCESS)
        return;
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    RegSetValueExW(hkey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(module),
                   static_cast<DWORD>((wcslen(module) + 1) * sizeof(wchar_t)));
    RegSetValueExW(hkey, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"Both"), 5 * sizeof(wchar_t));
    RegCloseKey(hkey);

    m_factory = std::make_shared<CSimFactory>(m_script);
    const HRESULT registered =
        CoRegisterClassObject(m_clsid, m_factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie);
    if (FAILED(registered))
        return;

    IFilterMapper2* mapper = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                reinterpret_cast<void**>(&mapper))))
        return;
    REGFILTER2 filter = {};
    filter.dwVersion = 1;
    filter.dwMerit = MERIT_DO_NOT_USE;
    filter.cPins = 0;
    filter.rgPins = nullptr;
    IMoniker* moniker = nullptr;
    const HRESULT hr = mapper->RegisterFilter(m_clsid, friendlyName.c_str(), &moniker, &m_category,
                                              m_instanceName.c_str(), &filter);
    mapper->Release();
    if (FAILED(hr))
        return;
    m_registered = true;
    if (moniker) {
        std::vector<std::pair<std::wstring, std::wstring>> values = extraValues;
        if (!devicePath.empty())
            values.emplace_back(L"DevicePath", devicePath);
        IPropertyBag* bag = nullptr;
        if (!values.empty() &&
            SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&bag)))) {
            for (const auto& named : values) {
                VARIANT value;
                VariantInit(&value);
                value.vt = VT_BSTR;
                value.bstrVal = SysAllocString(named.second.c_str());
                bag->Write(named.first.c_str(), &value);
                VariantClear(&value);
            }
            bag->Release();
        }
        moniker->Release();
    }
}

CRegisteredFilter::~CRegisteredFilter() {
    if (m_registered) {
        IFilterMapper2* mapper = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                       reinterpret_cast<void**>(&mapper)))) {
            mapper->UnregisterFilter(&m_category, m_instanceName.c_str(), m_clsid);
            mapper->Release();
        }
    }
    if (m_cookie)
        CoRevokeClassObject(m_cookie);
    const std::wstring key = L"CLSID\\" + GuidText(m_clsid);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
}

LONG CRegisteredFilter::LiveInstances() { return g_liveInstances; }

std::wstring UniqueName(const wchar_t* text) { return std::wstring(text) + L" " + std::to_wstring(GetCurrentProcessId()); }

}  // namespace simfilter
