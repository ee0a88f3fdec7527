#include "receivers/chips/SrcAF9135.h"

#include "receivers/chips/ChipPort.h"
#include "support/QVDebug.h"

const GUID kPropSetAF9135Remote = {0xF23FAC2D, 0xE1AF, 0x48E0, {0x8B, 0xBE, 0xA1, 0x40, 0x29, 0xC9, 0x2F, 0x11}};

namespace {

constexpr DWORD kIdRemote = 1;
constexpr DWORD kCommandReadIr = 7;
constexpr int kAF9135ReceiverIndex = 17;

}  // namespace

CSrcAF9135::CSrcAF9135(IClock& clock) : CSrcPoll_KsProp(0, clock) {
    m_kindName = L"AF9135";
    m_receiverIndex = kAF9135ReceiverIndex;
    m_rcType = RCTYPE_2000;
}

CSrcAF9135::~CSrcAF9135() { StopPolling(); }

HRESULT CSrcAF9135::RequestFrame() {
    DWORD request[3] = {kCommandReadIr, 0, 0};
    return SetChipProperty(m_propertySet.Get(), kPropSetAF9135Remote, kIdRemote, request, sizeof(request));
}

int CSrcAF9135::TestCustomInterface() { return SUCCEEDED(RequestFrame()) ? 1 : 0; }

std::uint8_t CSrcAF9135::GetCurrentKeyCode() {
    if (FAILED(RequestFrame()))
        return NEC_CODE_IDLE;
    DWORD value = 0;
    if (FAILED(GetChipProperty(m_propertySet.Get(), kPropSetAF9135Remote, kIdRemote, &value, sizeof(value))))
        return NEC_CODE_IDLE;
    switch (value >> 16) {
    case 0x02BD: m_rcType = RCTYPE_2000; break;
    case 0x04EB: m_rcType = RCTYPE_NEC_04EB_ALT; break;
    default: return NEC_CODE_IDLE;
    }
    TracePrint(QVL_DETAIL, QVC_DEVICE, L"CSrcAF9135: GetCurrentKeyCode succeeded; data %08X \n",
               static_cast<unsigned>(value));
    return static_cast<std::uint8_t>(value >> 8);
}
