#include "receivers/chips/Hw_SAA713x_KS.h"

#include "support/GraphBase.h"
#include "support/GraphDriverInfo.h"
#include "support/ScopedWin.h"

#include <uuids.h>

#include <cwchar>

namespace {

constexpr std::size_t kTextChars = 255;

}  // namespace

bool IsSaa713xDriverFile(const wchar_t* driverFile) {
    if (!driverFile)
        return false;
    const wchar_t* slash = wcsrchr(driverFile, L'\\');
    const wchar_t* name = slash ? slash + 1 : driverFile;
    for (const wchar_t* known : {L"3XHYBRID.SYS", L"VM3XHYBR.SYS", L"PH3XIB32.SYS"}) {
        if (_wcsicmp(name, known) == 0)
            return true;
    }
    return false;
}

bool CHw_SAA713x_KS::Open() {
    m_device.reset();
    m_friendlyName.clear();
    m_devicePath.clear();
    CQVComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.PutVoid())))
        return false;
    CQVComPtr<IEnumMoniker> monikers;
    if (devices->CreateClassEnumerator(kCategoryKsCapture, monikers.Put(), 0) != S_OK || !monikers)
        return false;
    for (;;) {
        CQVComPtr<IMoniker> moniker;
        if (monikers->Next(1, moniker.Put(), nullptr) != S_OK)
            return false;
        CQVComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid())) || !bag)
            continue;
        m_vampType = ReadBagText(bag.Get(), L"VampType", kTextChars);
        if (m_vampType.empty())
            continue;
        m_friendlyName = ReadBagText(bag.Get(), L"FriendlyName", kTextChars);
        m_devicePath = ReadBagText(bag.Get(), L"DevicePath", kTextChars);
        m_device = ChipDriverPort().Open(m_devicePath, GENERIC_READ, false);
        return m_device != nullptr;
    }
}

DWORD CHw_SAA713x_KS::Request(bool write, DWORD reg, DWORD* value) {
    if (!m_device && !m_devicePath.empty())
        m_device = ChipDriverPort().Open(m_devicePath, GENERIC_READ, false);
    if (!m_device)
        return ERROR_INVALID_HANDLE;
    const bool flagged = (reg & kFlaggedRegister) != 0;
    DWORD request[5] = {0, reg & ~kFlaggedRegister, write ? *value : 0, 0, 0};
    const DWORD bytes = flagged ? 12 : 20;
    const DWORD code = write ? (flagged ? kIoWriteFlagged : kIoWriteRegister)
                             : (flagged ? kIoReadFlagged : kIoReadRegister);
    DWORD returned = 0;
    const DWORD status = m_device->Control(code, request, bytes, request, bytes, &returned, nullptr);
    if (status == ERROR_SUCCESS && !write)
        *value = request[2];
    return status;
}

DWORD CHw_SAA713x_KS::ReadRegister(DWORD reg, DWORD* value) { return Request(false, reg, value); }

DWORD CHw_SAA713x_KS::WriteRegister(DWORD reg, DWORD value) { return Request(true, reg, &value); }

bool CHw_SAA713x_KS::ReadIr(DWORD* code) {
    DWORD control = 0;
    if (ReadRegister(kIrControl, &control) != 0 || WriteRegister(kIrControl, control | kIrLatch) != 0 ||
        ReadRegister(kIrCode, code) != 0 || WriteRegister(kIrControl, control & ~kIrLatch) != 0)
        return false;
    return true;
}

bool CHw_SAA713x_KS::ReadSubsystem(std::uint16_t* vendor, std::uint16_t* id) {
    DWORD value = 0;
    if (ReadRegister(kSubsystemRegister, &value) != 0)
        return false;
    *vendor = static_cast<std::uint16_t>(value);
    *id = static_cast<std::uint16_t>(value >> 16);
    return true;
}

bool CHw_SAA713x_KS::IsKnownDriver() const {
    tagDRIVERINFO info;
    if (FAILED(CGraphDriverInfo::QueryDriverInfo(m_devicePath.c_str(), &info)))
        return true;
    return IsSaa713xDriverFile(info.szDriverFile);
}
