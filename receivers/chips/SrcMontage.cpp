#include "receivers/chips/SrcMontage.h"

#include "support/GraphBase.h"
#include "support/QVDebug.h"
#include "support/ScopedSetupApi.h"

#include <cstdio>
#include <cstring>
#include <cwctype>
#include <vector>

const GUID kPropSetMontageRemote = {0x527DCF47, 0x1647, 0x46FF, {0x84, 0x5C, 0xC9, 0x7D, 0x9A, 0xBF, 0x1C, 0xDC}};

namespace {

constexpr int kMontageReceiverIndex = 16;
constexpr DWORD kIoctlKsProperty = 0x002F0003;  // IOCTL_KS_PROPERTY
constexpr DWORD kCommandIrGet = 2;

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool HardwareIdsContain(HDEVINFO set, SP_DEVINFO_DATA& device, const std::wstring& wanted) {
    DWORD bytes = 0;
    SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_HARDWAREID, nullptr, nullptr, 0, &bytes);
    if (bytes == 0)
        return false;
    std::vector<wchar_t> ids(bytes / sizeof(wchar_t) + 2, L'\0');
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_HARDWAREID, nullptr,
                                           reinterpret_cast<BYTE*>(ids.data()), bytes, nullptr))
        return false;
    for (const wchar_t* id = ids.data(); *id; id += wcslen(id) + 1) {
        if (Lower(id).find(wanted) != std::wstring::npos)
            return true;
    }
    return false;
}

// Path of the first present receiver-component interface whose device
// carries the hardware id; empty when none does.
std::wstring FindInterfacePath(const std::wstring& hardwareId) {
    CQVDevInfo set(SetupDiGetClassDevsW(&kCategoryBdaReceiverComponent, nullptr, nullptr,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set)
        return std::wstring();
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof(data);
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &kCategoryBdaReceiverComponent, index, &data);
         ++index) {
        DWORD bytes = 0;
        SetupDiGetDeviceInterfaceDetailW(set.Get(), &data, nullptr, 0, &bytes, nullptr);
        if (bytes < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
            continue;
        std::vector<std::uint8_t> buffer(bytes, 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        if (!SetupDiGetDeviceInterfaceDetailW(set.Get(), &data, detail, bytes, nullptr, &device))
            continue;
        if (HardwareIdsContain(set.Get(), device, hardwareId))
            return detail->DevicePath;
    }
    return std::wstring();
}

}  // namespace

std::wstring MontageHardwareId(std::uint16_t productId) {
    wchar_t text[32] = {};
    swprintf(text, 32, L"usb\\vid_%04x&pid_%04x", unsigned{kVendorIdPrimary}, unsigned{productId});
    return text;
}

CSrcMontage::CSrcMontage(IClock& clock) : CSrcPoll(0, clock) {
    m_kindName = L"Montage";
    m_receiverIndex = kMontageReceiverIndex;
    m_rcType = RCTYPE_NEC_02BD;
}

CSrcMontage::~CSrcMontage() {
    StopPolling();
    m_device.reset();
}

int CSrcMontage::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcMontage::Init");
    StopPolling();
    m_device.reset();
    for (std::uint16_t productId : kProductIds) {
        const std::wstring path = FindInterfacePath(MontageHardwareId(productId));
        if (path.empty())
            continue;
        m_device = ChipDriverPort().Open(path, GENERIC_READ | GENERIC_WRITE, false);
        std::uint16_t value = 0;
        if (m_device && ReadIr(&value)) {
            m_deviceName = kModelText;
            m_rcType = RCTYPE_NEC_02BD;
            if (CSrcPoll::Init(owner, callback) == 1)
                return 1;
        }
        m_device.reset();
    }
    return 0;
}

bool CSrcMontage::ReadIr(std::uint16_t* value) {
    std::uint8_t buffer[kRequestBytes] = {};
    const DWORD words[] = {0 /* id */, 1 /* get */, kCommandIrGet, 0, 2};
    std::memcpy(buffer, &kPropSetMontageRemote, sizeof(GUID));
    std::memcpy(buffer + 16, words, sizeof(words));
    DWORD returned = 0;
    if (!m_device ||
        m_device->Control(kIoctlKsProperty, buffer, sizeof(buffer), buffer, sizeof(buffer), &returned, nullptr) !=
            ERROR_SUCCESS)
        return false;
    DWORD status = 1;
    std::memcpy(&status, buffer + 36, sizeof(status));
    if (status != 0)
        return false;
    *value = static_cast<std::uint16_t>((buffer[72] << 8) | buffer[73]);
    return true;
}

std::uint8_t CSrcMontage::GetCurrentKeyCode() {
    std::uint16_t value = 0;
    if (!ReadIr(&value) || value == 0xFFFF)
        return NEC_CODE_IDLE;
    TracePrint(QVL_DETAIL, QVC_DEVICE, L"CSrcMontage: MYINTF_CMD_IR_GET succeeded; data %04X \n", unsigned{value});
    return static_cast<std::uint8_t>(value);
}
