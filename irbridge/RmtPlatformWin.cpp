#include "irbridge/RmtPlatformWin.h"

#include "irbridge/RmtIds.h"

#include <windows.h>
#include <setupapi.h>
#include <strmif.h>
#include <uuids.h>

#include <utility>

namespace irbrix {
namespace {

// The library links against nothing of the program, so it keeps its own
// owners for the few resources it holds.
template <class T>
class CComRef {
public:
    CComRef() = default;
    ~CComRef() { Reset(); }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;
    CComRef(CComRef&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CComRef& operator=(CComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T** Put() {
        Reset();
        return &m_p;
    }
    void Reset() {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }
    template <class U>
    HRESULT As(const IID& iid, CComRef<U>& out) const {
        return m_p ? m_p->QueryInterface(iid, reinterpret_cast<void**>(out.Put())) : E_POINTER;
    }

private:
    T* m_p = nullptr;
};

// COM for the calling thread while the object lives.
class CComUse {
public:
    CComUse() : m_ok(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~CComUse() {
        if (m_ok)
            CoUninitialize();
    }
    CComUse(const CComUse&) = delete;
    CComUse& operator=(const CComUse&) = delete;

private:
    bool m_ok;
};

// A handle with the function that closes it; invalid is both "none" values.
template <class H, BOOL(WINAPI* Close)(H)>
class COwned {
public:
    explicit COwned(H h) : m_h(h) {}
    ~COwned() {
        if (IsValid())
            Close(m_h);
    }
    COwned(const COwned&) = delete;
    COwned& operator=(const COwned&) = delete;
    H Get() const { return m_h; }
    bool IsValid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }

private:
    H m_h;
};
using CEvent = COwned<HANDLE, CloseHandle>;
using CDevInfo = COwned<HDEVINFO, SetupDiDestroyDeviceInfoList>;

// The driver interfaces, declared here as far as the library calls them.
const IID kIidKsObject = {0x423C13A2, 0x2070, 0x11D0, {0x9E, 0xF7, 0x00, 0xAA, 0x00, 0xA2, 0x16, 0xA1}};
const IID kIidKsControl = {0x28F54685, 0x06FD, 0x11D2, {0xB2, 0x7A, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
const GUID kCategoryKsCapture = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
constexpr DWORD kIoctlKsProperty = 0x2F0003;
const wchar_t kGraphFilterName[] = L"Philips Silicon (7171-35) WDM Video Capture";

struct IKsObjectCom : IUnknown {
    virtual HANDLE STDMETHODCALLTYPE KsGetObjectHandle() = 0;
};
struct IKsControlCom : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE KsProperty(void* property, ULONG propertySize, void* data, ULONG dataSize,
                                                 ULONG* returned) = 0;
    virtual HRESULT STDMETHODCALLTYPE KsMethod(void* method, ULONG methodSize, void* data, ULONG dataSize,
                                               ULONG* returned) = 0;
    virtual HRESULT STDMETHODCALLTYPE KsEvent(void* event, ULONG eventSize, void* data, ULONG dataSize,
                                              ULONG* returned) = 0;
};

std::uint32_t Win32Status(DWORD error) { return 0x80070000u | (error & 0xFFFF); }

std::string ToAnsi(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &result[0], size, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(size - 1));
    return result;
}

std::string FriendlyName(IMoniker* moniker) {
    CComRef<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(bag.Put()))))
        return std::string();
    VARIANT value;
    VariantInit(&value);
    std::string name;
    if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal)
        name = ToAnsi(value.bstrVal);
    VariantClear(&value);
    return name;
}

// Calls visit(moniker, friendly name) for the devices of the category until it returns true.
template <class Visit>
void ForEachDevice(const GUID& category, Visit visit) {
    CComRef<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                reinterpret_cast<void**>(devices.Put()))))
        return;
    CComRef<IEnumMoniker> monikers;
    // S_FALSE and no enumerator: the category is empty.
    if (devices->CreateClassEnumerator(category, monikers.Put(), 0) != S_OK || !monikers.Get())
        return;
    for (;;) {
        CComRef<IMoniker> moniker;
        if (monikers->Next(1, moniker.Put(), nullptr) != S_OK)
            return;
        if (visit(moniker.Get(), FriendlyName(moniker.Get())))
            return;
    }
}

bool BindFilter(const GUID& category, const std::string& nameUpper, CComRef<IBaseFilter>& filter) {
    ForEachDevice(category, [&](IMoniker* moniker, const std::string& name) {
        if (!FriendlyNameMatches(name, nameUpper))
            return false;
        return SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                               reinterpret_cast<void**>(filter.Put())));
    });
    return filter.Get() != nullptr;
}

class CKernelHandle : public IRmtKernelHandle {
public:
    // The filter is kept: the handle is the filter's and lives as long as it.
    CKernelHandle(CComRef<IBaseFilter>&& filter, HANDLE handle) : m_filter(std::move(filter)), m_handle(handle) {}

    std::uint32_t Request(std::uint8_t* buffer, std::size_t size) override {
        CEvent done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!done.IsValid())
            return Win32Status(GetLastError());
        OVERLAPPED overlapped = {};
        overlapped.hEvent = done.Get();
        DWORD returned = 0;
        const DWORD length = static_cast<DWORD>(size);
        if (!DeviceIoControl(m_handle, kIoctlKsProperty, buffer, length, buffer, length, &returned, &overlapped)) {
            const DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING)
                return Win32Status(error);
        }
        if (!GetOverlappedResult(m_handle, &overlapped, &returned, TRUE))
            return Win32Status(GetLastError());
        return 0;
    }

private:
    CComUse m_com;
    CComRef<IBaseFilter> m_filter;
    HANDLE m_handle;
};

class CKsControl : public IRmtKsControl {
public:
    std::int32_t KsProperty(void* property, std::uint32_t propertySize, void* data, std::uint32_t dataSize) override {
        ULONG returned = 0;
        return m_control->KsProperty(property, propertySize, data, dataSize, &returned);
    }

    // Members in release order from the bottom: control, filter, graph, COM.
    CComUse m_com;
    CComRef<IGraphBuilder> m_graph;
    CComRef<IBaseFilter> m_filter;
    CComRef<IKsControlCom> m_control;
};

}  // namespace

std::vector<std::string> CRmtPlatformWin::HardwareIds() {
    std::vector<std::string> ids;
    CDevInfo devices(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT));
    if (!devices.IsValid())
        return ids;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices.Get(), i, &device); ++i) {
        // A multi-string; its first string is the most specific id.
        char text[1024] = {};
        if (SetupDiGetDeviceRegistryPropertyA(devices.Get(), &device, SPDRP_HARDWAREID, nullptr,
                                              reinterpret_cast<BYTE*>(text), sizeof text - 2, nullptr))
            ids.emplace_back(text);
    }
    return ids;
}

std::vector<std::string> CRmtPlatformWin::VideoInputNames() {
    CComUse com;
    std::vector<std::string> names;
    ForEachDevice(CLSID_VideoInputDeviceCategory, [&](IMoniker*, const std::string& name) {
        names.push_back(name);
        return false;
    });
    return names;
}

std::unique_ptr<IRmtKernelHandle> CRmtPlatformWin::OpenKernelHandle(const std::string& nameUpper) {
    CComUse com;
    CComRef<IBaseFilter> filter;
    if (!BindFilter(CLSID_VideoInputDeviceCategory, nameUpper, filter))
        return nullptr;
    CComRef<IKsObjectCom> object;
    if (FAILED(filter.As(kIidKsObject, object)))
        return nullptr;
    const HANDLE handle = object->KsGetObjectHandle();
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<CKernelHandle>(std::move(filter), handle);
}

std::unique_ptr<IRmtKsControl> CRmtPlatformWin::OpenKsControl(const std::string& nameUpper) {
    auto control = std::make_unique<CKsControl>();
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(control->m_graph.Put()))))
        return nullptr;
    if (!BindFilter(kCategoryKsCapture, nameUpper, control->m_filter))
        return nullptr;
    if (FAILED(control->m_graph->AddFilter(control->m_filter.Get(), kGraphFilterName)))
        return nullptr;
    if (SUCCEEDED(control->m_filter.As(kIidKsControl, control->m_control)))
        return control;
    // The capture filter itself has no control interface: ask the video-input device.
    CComRef<IBaseFilter> device;
    if (!BindFilter(CLSID_VideoInputDeviceCategory, nameUpper, device))
        return nullptr;
    if (FAILED(device.As(kIidKsControl, control->m_control)))
        return nullptr;
    control->m_filter = std::move(device);
    return control;
}

void CRmtPlatformWin::ShowMessage(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

}  // namespace irbrix
