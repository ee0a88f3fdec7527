#include "receivers/chips/SrcAbilis.h"

#include "receivers/chips/ChipPort.h"
#include "support/QVDebug.h"
#include "support/QVRegistry.h"

const GUID kPropSetAbilisRemote = {0xD63982C6, 0xEF48, 0x45D0, {0x90, 0x2E, 0x95, 0x17, 0x91, 0x81, 0x6F, 0xE0}};

namespace {

constexpr DWORD kIdFrame = 0;
constexpr DWORD kIdElna = 1;
constexpr int kAbilisReceiverIndex = 15;
constexpr const wchar_t* kSettingsKey = L"Software\\Vemtra Electronic GmbH\\Remote Control";
constexpr const wchar_t* kElnaValue = L"Abilis eLNA";

const wchar_t* ElnaModeName(DWORD mode) {
    switch (mode) {
    case ELNA_ON: return L"ON";
    case ELNA_OFF: return L"OFF";
    default: return L"AUTO";
    }
}

}  // namespace

DWORD AbilisElnaMode(DWORD setting) {
    return setting <= ELNA_AUTO || setting == ELNA_UNTOUCHED ? setting : static_cast<DWORD>(ELNA_AUTO);
}

CSrcAbilis::CSrcAbilis(IClock& clock) : CSrcPoll_KsProp(0, clock) {
    m_kindName = L"Abilis";
    m_receiverIndex = kAbilisReceiverIndex;
}

CSrcAbilis::~CSrcAbilis() { StopPolling(); }

DWORD CSrcAbilis::ReadElnaSetting() {
    CQVRegistry settings(kSettingsKey, HKEY_LOCAL_MACHINE);
    settings.SetStringValue(L"Abilis eLNA - Usage",
                            L"0 -> ON, 1 -> OFF, 2 -> AUTO, 3 -> use default, 4 -> don't touch ELNA");
    DWORD setting = ELNA_DEFAULT;
    if (!settings.GetDword(kElnaValue, &setting)) {
        settings.SetDword(ELNA_DEFAULT, nullptr, kElnaValue);
        setting = ELNA_DEFAULT;
        settings.GetDword(kElnaValue, &setting);
    }
    return setting;
}

int CSrcAbilis::TestCustomInterface() {
    DWORD state = 0;
    if (FAILED(GetChipProperty(m_propertySet.Get(), kPropSetAbilisRemote, kIdElna, &state, sizeof(state))))
        return 0;
    DWORD mode = AbilisElnaMode(ReadElnaSetting());
    if (mode != ELNA_UNTOUCHED) {
        TracePrint(QVL_MSG, QVC_DEVICE, L"CSrcAbilis::TestCustomInterface() - eLNA %ls\n", ElnaModeName(mode));
        SetChipProperty(m_propertySet.Get(), kPropSetAbilisRemote, kIdElna, &mode, sizeof(mode));
    }
    return 1;
}

std::uint8_t CSrcAbilis::GetCurrentKeyCode() {
    if (++m_polls % kElnaReportPolls == 0) {
        DWORD state = 0;
        if (SUCCEEDED(GetChipProperty(m_propertySet.Get(), kPropSetAbilisRemote, kIdElna, &state, sizeof(state))))
            TracePrint(QVL_MSG, QVC_DEVICE, L"RCE for %ls: Read eLNA state = %ls\n", m_deviceName.c_str(),
                       state == 1 ? L"on" : L"off");
    }
    DWORD frame = 0;
    if (FAILED(GetChipProperty(m_propertySet.Get(), kPropSetAbilisRemote, kIdFrame, &frame, sizeof(frame))))
        return NEC_CODE_IDLE;
    TracePrint(QVL_DETAIL, QVC_DEVICE, L"0x%08X\n", static_cast<unsigned>(frame));
    const std::uint8_t code = static_cast<std::uint8_t>(frame >> 24);
    // An idle frame names no remote: relearning from it would forget the
    // type, and the release of the key held would never be reported.
    if (code != NEC_CODE_IDLE)
        SetRcTypeFromAddress(frame & 0xFFFF, 1);
    return code;
}
