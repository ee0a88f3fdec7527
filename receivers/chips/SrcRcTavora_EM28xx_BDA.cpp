#include "receivers/chips/SrcRcTavora_EM28xx_BDA.h"

#include "receivers/UsbProductNames.h"
#include "receivers/chips/ChipPort.h"
#include "support/GraphBase.h"
#include "support/QVDebug.h"

#include <cwchar>
#include <vector>

namespace {

constexpr int kEm28xxReceiverIndex = 9;

PFNCREATEBDA2800 g_factory = nullptr;

struct tagNECREMOTE {
    std::uint16_t wAddress;
    int nRcType;
};
constexpr tagNECREMOTE kFrameRemotes[] = {
    {0x04EB, RCTYPE_NEC_04EB_ALT}, {0x14EB, RCTYPE_NEC_1400}, {0x4545, RCTYPE_MORVANE}};

void ReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to) {
    for (std::size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

}  // namespace

std::unique_ptr<CBDA2800> CreateBDA2800() { return g_factory ? g_factory() : nullptr; }

void SetBDA2800Factory(PFNCREATEBDA2800 factory) { g_factory = factory; }

std::wstring Em28xxDeviceName(WORD vendorId, WORD productId) {
    wchar_t vendor[32] = {};
    if (vendorId == kVendorIdPrimary)
        wcscpy(vendor, L"VEMTRA");
    else if (vendorId == kVendorIdSecondary)
        wcscpy(vendor, L"Morvane");
    else
        swprintf(vendor, 32, L"Vendor ID=0x%04X", unsigned{vendorId});
    wchar_t product[32] = {};
    const wchar_t* name = GetProductName(vendorId, productId);
    if (!name) {
        swprintf(product, 32, L"Product ID=0x%04X", unsigned{productId});
        name = product;
    }
    std::wstring text = std::wstring(vendor) + L" " + name;
    ReplaceAll(text, L"Vemtra", L"VEMTRA");
    ReplaceAll(text, L"VEMTRA VEMTRA", L"VEMTRA");
    return text;
}

CSrcRcTavora_EM28xx_BDA::CSrcRcTavora_EM28xx_BDA(IClock& clock) : CSrcPoll(0, clock) {
    m_kindName = L"EMPIA EM28xx (BDA)";
    m_receiverIndex = kEm28xxReceiverIndex;
}

CSrcRcTavora_EM28xx_BDA::~CSrcRcTavora_EM28xx_BDA() {
    StopPolling();
    Close();
}

void CSrcRcTavora_EM28xx_BDA::Close() {
    try {
        if (m_device && m_open)
            m_device->CloseInterface();
    } catch (...) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"EXCEPTION m_pEM2800BDA->CloseInterface\n");
    }
    m_open = false;
    m_device.reset();
}

int CSrcRcTavora_EM28xx_BDA::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcRcTavora_EM28xx_BDA::Init");
    StopPolling();
    Close();
    m_device = CreateBDA2800();
    if (!m_device)
        return 0;
    DEVICE_PATH_LIST paths;
    CGraphBase::ListDevicePaths(paths, kCategoryBdaReceiverComponent);
    IR_REMOVABLE_DEVICE_LIST rows;
    GetRemovableDeviceList(rows);
    try {
        for (const _IR_REMOVABLE_DEVICE& row : rows) {
            for (const std::wstring& path : paths) {
                if (m_open || !DevicePathMatchesRow(path.c_str(), row))
                    continue;
                TracePrint(QVL_DETAIL, QVC_DEVICE, L"Found DirectShow device VID 0x%04X, PID 0x%04X : %ls\n",
                           unsigned{row.wVendorId}, unsigned{row.wProductId}, row.szModelName ? row.szModelName : L"");
                m_open = m_device->OpenInterface(ToAnsiText(path).c_str()) != FALSE;
            }
        }
        if (!m_open) {
            Close();
            return 0;
        }
        WORD vendorId = 0, productId = 0;
        m_device->GetDeviceVIDPID(&vendorId, &productId);
        m_deviceName = Em28xxDeviceName(vendorId, productId);
        DWORD detected = 0;
        BYTE value = 0;
        m_i2cMode = false;
        if (m_device->DetectI2CEx(kI2CAddress, &detected)) {
            m_i2cRegister = static_cast<BYTE>(detected >> 8);
            m_i2cMode = m_device->GetI2C(kI2CAddress, m_i2cRegister, &value) != FALSE;
        }
    } catch (...) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"EXCEPTION m_pEM2800BDA->OpenInterface\n");
        Close();
        return 0;
    }
    if (CSrcPoll::Init(owner, callback) == 1)
        return 1;
    Close();
    return 0;
}

std::uint8_t CSrcRcTavora_EM28xx_BDA::ReadI2C() {
    BYTE value = 0;
    if (!m_device->GetI2C(kI2CAddress, m_i2cRegister, &value))
        return NEC_CODE_IDLE;
    m_rcType = RCTYPE_NEC_04FB;
    return value;
}

std::uint8_t CSrcRcTavora_EM28xx_BDA::ReadFrame() {
    BYTE b[5] = {};
    if (m_device->GetIRDataEx(b)) {
        const tagNECREMOTE* remote = nullptr;
        for (const tagNECREMOTE& candidate : kFrameRemotes) {
            if ((candidate.wAddress >> 8) == b[1])
                remote = &candidate;
        }
        if (!remote)
            return NEC_CODE_IDLE;
        const bool extended = b[2] == (remote->wAddress & 0xFF) || b[3] != 0 || b[4] != 0;
        if (remote->nRcType != m_rcType)
            TracePrint(QVL_MSG, QVC_DEVICE, L"%ls() - new RC detected: NEC 0x%04X\n",
                       L"CSrcRcTavora_EM28xx_BDA::GetCurrentKeyCode", unsigned{remote->wAddress});
        m_rcType = remote->nRcType;
        std::uint64_t frame = 0;
        for (BYTE byte : b)
            frame = (frame << 8) | byte;
        std::uint8_t code = NEC_CODE_IDLE;
        if (b[0] & 1)
            code = frame == m_lastFrame ? NEC_CODE_REPEAT : (extended ? b[3] : b[2]);
        m_lastFrame = frame;
        return code;
    }
    DWORD v = 0;
    if (!m_device->GetIRData3(&v))
        return NEC_CODE_IDLE;
    std::uint8_t code = NEC_CODE_IDLE;
    if (((v >> 8) & 0xFF) == 0x14 && (v & 1))
        code = v == m_lastFrame ? NEC_CODE_REPEAT : static_cast<std::uint8_t>(v >> 16);
    m_lastFrame = v;
    return code;
}

std::uint8_t CSrcRcTavora_EM28xx_BDA::GetCurrentKeyCode() {
    if (!m_device || !m_open)
        return NEC_CODE_IDLE;
    try {
        return m_i2cMode ? ReadI2C() : ReadFrame();
    } catch (...) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"EXCEPTION m_pEM2800BDA->GetIRData1\n");
        return NEC_CODE_IDLE;
    }
}
