#include "receivers/Src.h"

#include "support/QVDebug.h"

int CSrc::GetRemovableDeviceList(IR_REMOVABLE_DEVICE_LIST& list) const {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrc::GetRemovableDeviceList");
    list.clear();
    AppendCatalogueRowsForSlot(GetReceiverIndex(), list);
    for (const _IR_REMOVABLE_DEVICE& device : list) {
        // Most rows have no model name, and a null string must not reach the format.
        const wchar_t* modelName = device.szModelName ? device.szModelName : L"(null)";
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"VID 0x%04X, PID 0x%04X : %ls\n", unsigned{device.wVendorId},
                   unsigned{device.wProductId}, modelName);
    }
    return static_cast<int>(list.size());
}
