#pragma once
// CGraphBase: the capture and tuner filters of a device category, found by
// friendly name, and the device paths a category lists.
//
// Windows-only.

#include <windows.h>
#include <strmif.h>

#include <string>
#include <vector>

// KSCATEGORY_BDA_RECEIVER_COMPONENT and KSCATEGORY_BDA_NETWORK_TUNER.
extern const GUID kCategoryBdaReceiverComponent;
extern const GUID kCategoryBdaNetworkTuner;
extern const GUID kCategoryKsCapture;

constexpr HRESULT GRAPH_E_NOT_FOUND = static_cast<HRESULT>(0x80040216);  // VFW_E_NOT_FOUND

// A text of a moniker's property bag, cut at maxChars; empty when missing.
std::wstring ReadBagText(IPropertyBag* bag, const wchar_t* name, std::size_t maxChars);

// Device paths of one category; the first entry is the placeholder "---".
using DEVICE_PATH_LIST = std::vector<std::wstring>;

class CGraphBase {
public:
    // The index-th (0-based) filter of the category whose friendly name
    // contains name (case-sensitive), bound; the caller releases it. The full
    // friendly name goes to nameBuffer when one is given. 0, or
    // GRAPH_E_NOT_FOUND with *filter null.
    static HRESULT FindFilter(wchar_t* nameBuffer, const wchar_t* name, const GUID& category, IBaseFilter** filter,
                              std::size_t nameBufferChars, int index);
    // The same, also giving the device path the filter's moniker carries.
    static HRESULT FindFilter(const wchar_t* name, const GUID& category, int index, IBaseFilter** filter,
                              std::wstring* friendlyName, std::wstring* devicePath);
    // Appends every device's path; 0 when at least one was listed, else 1.
    static int ListDevicePaths(DEVICE_PATH_LIST& list, const GUID& category);
    // The first listed path that contains text (ignoring case when ignoreCase
    // is 1), or null.
    static const wchar_t* FindDevicePath(const DEVICE_PATH_LIST& list, const wchar_t* text, int ignoreCase);
};
