#pragma once
// The catalogue of removable (USB) receivers: for every supported device, the
// receiver slot that serves it, the interface of a composite device that
// carries the remote control, and the friendly name of its capture filter
// where a receiver finds the device by that name.
//
// Pure logic: no Windows header, so it builds natively as well.

#include <cstdint>
#include <string>
#include <vector>

// USB vendor ids of the two makers whose devices the program serves.
constexpr std::uint16_t kVendorIdPrimary = 0x2B17;
constexpr std::uint16_t kVendorIdSecondary = 0x2B24;

// One catalogue row, and one entry of a receiver's removable-device list.
// Both strings are static and outlive every list.
struct _IR_REMOVABLE_DEVICE {
    int nReceiverIndex;
    std::uint16_t wVendorId;
    std::uint16_t wProductId;
    const wchar_t* szInterfaceSuffix;  // never null; empty, or "&MI_01" for the remote's interface
    const wchar_t* szModelName;        // capture filter's friendly name; null when not found by name
};

typedef std::vector<_IR_REMOVABLE_DEVICE> IR_REMOVABLE_DEVICE_LIST;

constexpr int DEVICE_CATALOGUE_SIZE = 86;

int GetCatalogueSize();
// One row (0 to GetCatalogueSize() - 1) or null when out of range.
const _IR_REMOVABLE_DEVICE* GetCatalogueRow(int row);

// The rows served by one receiver slot, in catalogue order, appended to `list`.
void AppendCatalogueRowsForSlot(int receiverIndex, IR_REMOVABLE_DEVICE_LIST& list);

// "USB#VID_%04x&PID_%04x%s#" of a row: what a device path of the device (or of
// the row's interface) contains. Compare it with DevicePathMatchesRow, which
// ignores case.
std::wstring FormatCatalogueDevicePath(const _IR_REMOVABLE_DEVICE& row);
bool DevicePathMatchesRow(const wchar_t* devicePath, const _IR_REMOVABLE_DEVICE& row);
// Bit n set for every slot n that a row matching the device path names.
// Slots without a receiver (14) are included; the caller skips them.
std::uint32_t GetCatalogueSlotsForDevicePath(const wchar_t* devicePath);

// Whether a capture filter's friendly name is the row's model name. The
// comparison keeps case: the upper- and mixed-case names are different filters.
bool MatchesModelName(const _IR_REMOVABLE_DEVICE& row, const wchar_t* friendlyName);
