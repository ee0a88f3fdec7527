#include "receivers/SrcHid.h"

#include "receivers/DeviceCatalogue.h"
#include "receivers/SrcHidXmlParser.h"
#include "support/GraphDriverInfo.h"
#include "support/QVDebug.h"
#include "support/ScopedSetupApi.h"

extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

constexpr const wchar_t* kInitName = L"CSrcHid::Init";
constexpr const wchar_t* kTableFile = L"SrcHid.xml";
// The HID bridge of PCI and USB receivers; the ids that count are those of
// the hardware it sits on.
constexpr std::uint16_t kBridgeVendorId = 0x1822;
constexpr std::uint16_t kBridgeProductId = 0x0043;

class CSystemHidAccess : public IHidAccess {
public:
    bool GetAttributes(HANDLE device, std::uint16_t* vendorId, std::uint16_t* productId) override {
        HIDD_ATTRIBUTES attributes = {};
        attributes.Size = sizeof(attributes);
        if (!HidD_GetAttributes(device, &attributes))
            return false;
        *vendorId = attributes.VendorID;
        *productId = attributes.ProductID;
        return true;
    }
    bool GetTopLevelUsage(HANDLE device, std::uint16_t* usagePage, std::uint16_t* usage,
                          std::uint16_t* inputReportBytes) override {
        PHIDP_PREPARSED_DATA data = nullptr;
        if (!HidD_GetPreparsedData(device, &data))
            return false;
        HIDP_CAPS caps = {};
        const bool ok = HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS;
        HidD_FreePreparsedData(data);
        *usagePage = caps.UsagePage;
        *usage = caps.Usage;
        *inputReportBytes = caps.InputReportByteLength;
        return ok;
    }
    BOOL StartRead(HANDLE device, void* buffer, DWORD bytes, OVERLAPPED* overlapped) override {
        return ReadFile(device, buffer, bytes, nullptr, overlapped);
    }
    void CancelRead(HANDLE device, OVERLAPPED* overlapped) override { CancelIoEx(device, overlapped); }
    BOOL GetReadResult(HANDLE device, OVERLAPPED* overlapped, DWORD* bytes, BOOL wait) override {
        return GetOverlappedResult(device, overlapped, bytes, wait);
    }
};

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    const std::size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

std::wstring InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data) {
    DWORD needed = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &needed, nullptr);
    if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))
        return std::wstring();
    std::vector<BYTE> buffer(needed);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &data, detail, needed, nullptr, nullptr))
        return std::wstring();
    return detail->DevicePath;
}

}  // namespace

IHidAccess& SystemHidAccess() {
    static CSystemHidAccess access;
    return access;
}

CSrcHid::CSrcHid(IHidAccess& hid, IClock& clock) : CSrcPoll(0, clock), m_hid(hid) {
    m_kindName = L"HID";
    m_pollInterval = kDefaultPollIntervalMs;
    m_blockingRead = 1;
    m_source.nHidType = HIDTYPE_NONE;
    m_source.wVid = kVendorIdPrimary;
    m_source.wPid = 0x0046;
    m_source.nRcType = RCTYPE_0080;
    m_source.dwTimeout = 90;
    m_source.wUsagePage = HID_USAGE_PAGE_VEMTRA;
    wcscpy(m_source.szName, L"Tavora HID IR");
}

CSrcHid::~CSrcHid() {
    StopPolling();
    EndPendingRead();
}

std::wstring CSrcHid::TablePath() const { return m_tablePath.empty() ? ProgramFolder() + kTableFile : m_tablePath; }

bool CSrcHid::LoadHidDeviceConfigFromXml() {
    CSrcHidXmlParser parser;
    m_tableSize = parser.LoadTable(TablePath().c_str(), m_table, HIDSOURCE_TABLE_SIZE);
    if (m_tableSize < 0) {
        m_tableSize = 0;
        return false;
    }
    return true;
}

void CSrcHid::EndPendingRead() {
    if (!m_readPending)
        return;
    m_hid.CancelRead(m_readDevice.Get(), &m_overlapped);
    DWORD bytes = 0;
    m_hid.GetReadResult(m_readDevice.Get(), &m_overlapped, &bytes, TRUE);
    m_readPending = false;
}

bool CSrcHid::TryDevice(const wchar_t* path) {
    CQVHandle device(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    if (!device) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED in CreateFile()\n", kInitName);
        return false;
    }
    TracePrint(QVL_IO, QVC_DEVICE, L"%ls() - CreateFile() succeeded\n", kInitName);

    std::uint16_t vendorId = 0, productId = 0;
    if (!m_hid.GetAttributes(device.Get(), &vendorId, &productId))
        return false;
    if (vendorId == kBridgeVendorId && productId == kBridgeProductId) {
        tagDRIVERINFO info;
        if (CGraphDriverInfo::QueryDriverInfo(path, &info) == S_OK) {
            if (info.nBusKind == BUSKIND_PCI) {
                vendorId = info.wSubsystemVendorId;
                productId = info.wSubsystemId;
            } else if (info.nBusKind == BUSKIND_USB) {
                vendorId = info.wVendorId;
                productId = info.wDeviceId;
            }
        }
    }
    const tagHIDSOURCE* record = nullptr;
    for (int i = 0; i < m_tableSize && !record; ++i) {
        if (m_table[i].wVid == vendorId && m_table[i].wPid == productId)
            record = &m_table[i];
    }
    if (!record)
        return false;
    m_source = *record;
    m_rcType = record->nRcType;
    m_deviceName = record->szName;

    std::uint16_t usagePage = 0, usage = 0, reportBytes = 0;
    if (!m_hid.GetTopLevelUsage(device.Get(), &usagePage, &usage, &reportBytes))
        return false;
    TracePrint(QVL_IO, QVC_DEVICE, L"%ls() - Found HID usage page 0x%04X (Usage 0x%04X)\n", kInitName,
               unsigned{usagePage}, unsigned{usage});
    if (usagePage != HID_USAGE_PAGE_VEMTRA)
        return false;
    TracePrint(QVL_IO, QVC_DEVICE, L"%ls() - Found HID usage page 0x%04X (Usage 0x%04X - Vemtra)\n", kInitName,
               unsigned{usagePage}, unsigned{usage});
    CQVHandle reader(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!reader)
        return false;
    if (!m_readEvent)
        m_readEvent.Reset(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    if (!m_readEvent)
        return false;
    m_report.assign(reportBytes > HID_REPORT_BYTES ? reportBytes : HID_REPORT_BYTES, 0);
    m_queryDevice = std::move(device);
    m_readDevice = std::move(reader);
    return true;
}

int CSrcHid::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, kInitName);
    StopPolling();
    EndPendingRead();
    if (!LoadHidDeviceConfigFromXml()) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED in LoadHidDeviceConfigFromXml()\n", kInitName);
        return 0;
    }
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    CQVDevInfo set(SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set)
        return 0;
    int count = 0;
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof(data);
    while (SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &hidGuid, static_cast<DWORD>(count), &data))
        ++count;
    TracePrint(QVL_IO, QVC_DEVICE, L"%ls() - found %d HID devices\n", kInitName, count);

    bool accepted = false;
    for (int index = count - 1; index >= 0 && !accepted; --index) {
        if (!SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &hidGuid, static_cast<DWORD>(index), &data))
            continue;
        const std::wstring path = InterfacePath(set.Get(), data);
        if (path.empty()) {
            TracePrint(QVL_ERR, QVC_DEVICE, L"%ls()FAILED in SetupDiGetDeviceInterfaceDetail() with Error: 0x%x\n",
                       kInitName, static_cast<unsigned>(GetLastError()));
            continue;
        }
        TracePrint(QVL_INFO, QVC_DEVICE, L"  HID device path\n");
        TracePrint(QVL_INFO, QVC_DEVICE, L"  %ls\n", path.c_str());
        accepted = TryDevice(path.c_str());
    }
    set.Close();
    if (accepted)
        return CSrcPoll::Init(owner, callback);
    m_queryDevice.Close();
    m_readDevice.Close();
    return 0;
}

std::uint8_t CSrcHid::GetCurrentKeyCode() {
    if (!m_readDevice)
        return NEC_CODE_IDLE;
    if (!m_readPending) {
        std::fill(m_report.begin(), m_report.end(), 0);
        m_overlapped = OVERLAPPED{};
        m_overlapped.hEvent = m_readEvent.Get();
        ResetEvent(m_readEvent.Get());
        if (!m_hid.StartRead(m_readDevice.Get(), m_report.data(), static_cast<DWORD>(m_report.size()), &m_overlapped)) {
            if (GetLastError() != ERROR_IO_PENDING)
                return NEC_CODE_IDLE;
            m_readPending = true;
        }
    }
    if (m_readPending) {
        // A report still missing after the timeout stays expected: the read
        // goes on, and the next call waits on it again.
        if (WaitForSingleObject(m_readEvent.Get(), m_source.dwTimeout) != WAIT_OBJECT_0)
            return NEC_CODE_IDLE;
        DWORD bytes = 0;
        const BOOL done = m_hid.GetReadResult(m_readDevice.Get(), &m_overlapped, &bytes, FALSE);
        m_readPending = false;
        ResetEvent(m_readEvent.Get());
        if (!done)
            return NEC_CODE_IDLE;
    }
    std::uint8_t first[HID_REPORT_BYTES];
    std::copy(m_report.begin(), m_report.begin() + HID_REPORT_BYTES, first);
    const tagHIDKEYCODE key = DecodeHidReport(m_source.nHidType, first);
    if (m_source.nHidType == HIDTYPE_BITMAP)
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"SRC HID 0x%02X\n", unsigned{key.nCode});
    if (key.fHasAddress && !SetRcTypeFromAddress(key.nAddress, 0))
        return NEC_CODE_IDLE;
    return key.nCode;
}

int CSrcHid::PollForIrEvent(unsigned argument) { return CSrcPoll::PollForIrEvent(argument); }
