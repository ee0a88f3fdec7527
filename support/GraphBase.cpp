#include "support/GraphBase.h"

#include "support/QVDebug.h"
#include "support/ScopedWin.h"

#include <shlwapi.h>
#include <uuids.h>

#include <cwchar>

const GUID kCategoryBdaReceiverComponent = {0xFD0A5AF4, 0xB41D, 0x11D2, {0x9C, 0x95, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xE0}};
const GUID kCategoryBdaNetworkTuner = {0x71985F48, 0x1CA1, 0x11D3, {0x9C, 0xC8, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xE0}};
const GUID kCategoryKsCapture = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

std::wstring ReadBagText(IPropertyBag* bag, const wchar_t* name, std::size_t maxChars) {
    VARIANT value;
    VariantInit(&value);
    std::wstring text;
    if (SUCCEEDED(bag->Read(name, &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal)
        text.assign(value.bstrVal, wcsnlen(value.bstrVal, maxChars));
    VariantClear(&value);
    return text;
}

namespace {

constexpr std::size_t kMaxFriendlyNameChars = 255;

// The monikers of a category; false (with the failure traced) when the
// category cannot be enumerated. An empty category gives an empty list.
bool EnumerateCategory(const GUID& category, CQVComPtr<IEnumMoniker>& monikers) {
    CQVComPtr<ICreateDevEnum> devices;
    HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                  devices.PutVoid());
    if (SUCCEEDED(hr))
        hr = devices->CreateClassEnumerator(category, monikers.Put(), 0);
    if (FAILED(hr)) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"CreateClassEnumerator hr=0x%08x\n", static_cast<unsigned>(hr));
        return false;
    }
    if (monikers)
        monikers->Reset();
    return true;
}

}  // namespace

HRESULT CGraphBase::FindFilter(const wchar_t* name, const GUID& category, int index, IBaseFilter** filter,
                               std::wstring* friendlyName, std::wstring* devicePath) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CGraphBase::FindFilter", name ? name : L"");
    if (!filter)
        return E_POINTER;
    *filter = nullptr;
    CQVComPtr<IEnumMoniker> monikers;
    if (!name || !EnumerateCategory(category, monikers) || !monikers)
        return GRAPH_E_NOT_FOUND;
    int matches = 0;
    for (CQVComPtr<IMoniker> moniker; monikers->Next(1, moniker.Put(), nullptr) == S_OK;) {
        CQVComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid())))
            continue;
        const std::wstring found = ReadBagText(bag.Get(), L"FriendlyName", kMaxFriendlyNameChars);
        if (found.find(name) == std::wstring::npos)
            continue;
        CQVComPtr<IBaseFilter> bound;
        if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, bound.PutVoid())) || !bound) {
            TracePrint(QVL_ERR, QVC_DEVICE, L"CGraphBase::FindFilter(%ls) Exception in BindToObject()\n", found.c_str());
            if (found == L"BDA MPEG2 Transport Information Filter")
                TracePrint(QVL_ERR, QVC_DEVICE,
                           L"CGraphBase::FindFilter: This happens with Windows Media Player 11 Beta and can be ignored.\n");
            continue;
        }
        if (matches++ != index)
            continue;
        TracePrint(QVL_INFO, QVC_DEVICE, L"Found: '%ls'\n", found.c_str());
        if (friendlyName)
            *friendlyName = found;
        if (devicePath)
            *devicePath = ReadBagText(bag.Get(), L"DevicePath", MAX_PATH * 4);
        *filter = bound.Get();
        (*filter)->AddRef();
        return S_OK;
    }
    return GRAPH_E_NOT_FOUND;
}

HRESULT CGraphBase::FindFilter(wchar_t* nameBuffer, const wchar_t* name, const GUID& category, IBaseFilter** filter,
                               std::size_t nameBufferChars, int index) {
    std::wstring friendlyName;
    const HRESULT hr = FindFilter(name, category, index, filter, &friendlyName, nullptr);
    if (hr == S_OK && nameBuffer && nameBufferChars > 0) {
        const std::size_t length = friendlyName.size() < nameBufferChars - 1 ? friendlyName.size() : nameBufferChars - 1;
        wmemcpy(nameBuffer, friendlyName.c_str(), length);
        nameBuffer[length] = L'\0';
    }
    return hr;
}

int CGraphBase::ListDevicePaths(DEVICE_PATH_LIST& list, const GUID& category) {
    list.assign(1, L"---");
    CQVComPtr<IEnumMoniker> monikers;
    if (!EnumerateCategory(category, monikers) || !monikers)
        return 1;
    for (CQVComPtr<IMoniker> moniker; monikers->Next(1, moniker.Put(), nullptr) == S_OK;) {
        CQVComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid())))
            continue;
        std::wstring path = ReadBagText(bag.Get(), L"DevicePath", MAX_PATH * 4);
        if (!path.empty())
            list.push_back(std::move(path));
    }
    return list.size() > 1 ? 0 : 1;
}

const wchar_t* CGraphBase::FindDevicePath(const DEVICE_PATH_LIST& list, const wchar_t* text, int ignoreCase) {
    if (!text)
        return nullptr;
    for (std::size_t i = 1; i < list.size(); ++i) {
        const wchar_t* path = list[i].c_str();
        if (ignoreCase ? StrStrIW(path, text) != nullptr : wcsstr(path, text) != nullptr)
            return path;
    }
    return nullptr;
}
