#include "receivers/chips/ChipPort.h"

#include "receivers/SrcPoll_KsProp.h"
#include "support/GraphBase.h"
#include "support/ScopedWin.h"

namespace {

// IKsObject of kernel-streaming filters, declared here to keep the proxy's
// headers out: one method after those of IUnknown.
const IID kIidKsObject = {0x423C13A2, 0x2070, 0x11D0, {0x9E, 0xF7, 0x00, 0xAA, 0x00, 0xA2, 0x16, 0xA1}};
struct IKsObject : public IUnknown {
    virtual HANDLE STDMETHODCALLTYPE KsGetObjectHandle() = 0;
};

class CFileDevice : public IChipDevice {
public:
    explicit CFileDevice(HANDLE file) : m_file(file) {}
    DWORD Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                  OVERLAPPED* overlapped) override {
        if (DeviceIoControl(m_file.Get(), code, in, inBytes, out, outBytes, returned, overlapped))
            return ERROR_SUCCESS;
        const DWORD error = GetLastError();
        return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
    }
    void CancelIo() override { ::CancelIo(m_file.Get()); }

private:
    CQVScoped<CQVHandleTraits> m_file;
};

// The filter's own handle stays the filter's: the filter is kept, the handle
// never closed here.
using PFNKSSYNCHRONOUSDEVICECONTROL = HRESULT(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PVOID, ULONG, PULONG);

class CFilterHandleDevice : public IChipDevice {
public:
    CFilterHandleDevice(IKsObject* object, HANDLE handle, HMODULE ksproxy, PFNKSSYNCHRONOUSDEVICECONTROL control)
        : m_object(object), m_handle(handle), m_ksproxy(ksproxy), m_control(control) {
        m_object->AddRef();
    }
    ~CFilterHandleDevice() override { m_object->Release(); }
    DWORD Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                  OVERLAPPED*) override {
        ULONG bytes = 0;
        const HRESULT hr = m_control(m_handle, code, in, inBytes, out, outBytes, &bytes);
        if (returned)
            *returned = bytes;
        return static_cast<DWORD>(hr);
    }
    void CancelIo() override {}

private:
    IKsObject* m_object;
    HANDLE m_handle;
    CQVScoped<CQVModuleTraits> m_ksproxy;
    PFNKSSYNCHRONOUSDEVICECONTROL m_control;
};

class CSystemPort : public IChipDriverPort {
public:
    std::unique_ptr<IChipDevice> Open(const std::wstring& path, DWORD access, bool overlapped) override {
        HANDLE file = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  overlapped ? FILE_FLAG_OVERLAPPED : 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::make_unique<CFileDevice>(file);
    }
    std::unique_ptr<IChipDevice> OpenFilterHandle(IBaseFilter* filter) override {
        if (!filter)
            return nullptr;
        CQVComPtr<IKsObject> object;
        if (FAILED(filter->QueryInterface(kIidKsObject, object.PutVoid())) || !object)
            return nullptr;
        HANDLE handle = object->KsGetObjectHandle();
        if (!handle)
            return nullptr;
        HMODULE ksproxy = LoadLibraryW(L"ksproxy.ax");
        if (!ksproxy)
            return nullptr;
        auto control = reinterpret_cast<PFNKSSYNCHRONOUSDEVICECONTROL>(
            reinterpret_cast<void*>(GetProcAddress(ksproxy, "KsSynchronousDeviceControl")));
        if (!control) {
            FreeLibrary(ksproxy);
            return nullptr;
        }
        return std::make_unique<CFilterHandleDevice>(object.Get(), handle, ksproxy, control);
    }
};

CSystemPort g_systemPort;
IChipDriverPort* g_port = &g_systemPort;

}  // namespace

IChipDriverPort& ChipDriverPort() { return *g_port; }

void SetChipDriverPort(IChipDriverPort* port) { g_port = port ? port : &g_systemPort; }

HRESULT GetChipProperty(IKsPropertySet* set, const GUID& propertySet, DWORD id, void* data, DWORD bytes) {
    if (!set)
        return E_POINTER;
    DWORD returned = 0;
    return set->Get(propertySet, id, data, bytes, data, bytes, &returned);
}

HRESULT SetChipProperty(IKsPropertySet* set, const GUID& propertySet, DWORD id, void* data, DWORD bytes) {
    if (!set)
        return E_POINTER;
    return set->Set(propertySet, id, data, bytes, data, bytes);
}

std::string ToAnsiText(const std::wstring& text) {
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string ansi(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &ansi[0], bytes, nullptr, nullptr);
    ansi.resize(static_cast<std::size_t>(bytes) - 1);
    return ansi;
}

HRESULT FindChipFilter(const wchar_t* modelName, const GUID* const* categories, int count, IBaseFilter** filter) {
    HRESULT hr = GRAPH_E_NOT_FOUND;
    for (int i = 0; i < count; ++i) {
        hr = FindModelFilter(modelName, *categories[i], filter);
        if (hr == S_OK)
            return hr;
    }
    return hr;
}
