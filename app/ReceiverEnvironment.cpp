#include "app/ReceiverEnvironment.h"

#include <dbt.h>
#include <mmsystem.h>

#include "receivers/SrcHid.h"
#include "receivers/SrcLirc.h"
#include "receivers/SrcMidi.h"
#include "receivers/SrcRcSonexaFirewire.h"
#include "receivers/SrcRcTavora_T2.h"
#include "receivers/chips/SrcAF9135.h"
#include "receivers/chips/SrcAbilis.h"
#include "receivers/chips/SrcMontage.h"
#include "receivers/chips/SrcRcSonexaUniverse.h"
#include "receivers/chips/SrcRcTavora_AME.h"
#include "receivers/chips/SrcRcTavora_CX2388x.h"
#include "receivers/chips/SrcRcTavora_EM28xx_BDA.h"
#include "receivers/chips/SrcRcTavora_SAA_BDA.h"
#include "receivers/chips/SrcRcTavora_SAA_HT_PCI.h"
#include "receivers/chips/SrcRcTavora_SAA_WDM.h"
#include "receivers/chips/SrcRcTavora_S_USB.h"
#include "receivers/chips/SrcYuan.h"

std::unique_ptr<CSrc> CReceiverEnvironment::CreateReceiver(int slot) {
    switch (slot) {
    case RECEIVER_SLOT_FIREWIRE:
        return std::make_unique<CSrcRcSonexaFirewire>();
    case RECEIVER_SLOT_TAVORA_T2:
        return std::make_unique<CSrcRcTavora_T2>();
    case RECEIVER_SLOT_HID:
        return std::make_unique<CSrcHid>();
    case RECEIVER_SLOT_SONEXA_UNIVERSE:
        return std::make_unique<CSrcRcSonexaUniverse>();
    case RECEIVER_SLOT_TAVORA_AME:
        return std::make_unique<CSrcRcTavora_AME>();
    case RECEIVER_SLOT_SAA_BDA:
        return std::make_unique<CSrcRcTavora_SAA_BDA>(m_disableKey0 ? m_disableKey0() : 0u);
    case RECEIVER_SLOT_SAA_WDM:
        return std::make_unique<CSrcRcTavora_SAA_WDM>(m_disableKey0 ? m_disableKey0() : 0u);
    case RECEIVER_SLOT_CX2388X:
        return std::make_unique<CSrcRcTavora_CX2388x>();
    case RECEIVER_SLOT_EM28XX:
        return std::make_unique<CSrcRcTavora_EM28xx_BDA>();
    case RECEIVER_SLOT_SAA_HT_PCI:
        return std::make_unique<CSrcRcTavora_SAA_HT_PCI>();
    case RECEIVER_SLOT_TAVORA_S_USB:
        return std::make_unique<CSrcRcTavora_S_USB>();
    case RECEIVER_SLOT_YUAN:
        return std::make_unique<CSrcYuan>();
    case RECEIVER_SLOT_ABILIS:
        return std::make_unique<CSrcAbilis>();
    case RECEIVER_SLOT_MONTAGE:
        return std::make_unique<CSrcMontage>();
    case RECEIVER_SLOT_AF9135:
        return std::make_unique<CSrcAF9135>();
    default:
        return nullptr;
    }
}

std::unique_ptr<CSrc> CReceiverEnvironment::CreateMidiReceiver(const std::wstring& portName, std::uint8_t channel) {
    auto midi = std::make_unique<CSrcMidi>();
    midi->SetDeviceName(portName.c_str());
    midi->SetChannel(channel);
    return midi;
}

std::unique_ptr<CSrc> CReceiverEnvironment::CreateLircReceiver(const std::wstring& host, unsigned port) {
    return std::make_unique<CSrcLirc>(host, port);
}

int CReceiverEnvironment::GetMidiInputCount() { return static_cast<int>(midiInGetNumDevs()); }

void CReceiverEnvironment::SaveSettings() {
    if (m_save)
        m_save();
}

void CReceiverEnvironment::ExitProgram(int code) {
    PostQuitMessage(code);
    ExitProcess(static_cast<UINT>(code));
}

BOOL HandleDeviceChangeMessage(CReceiverManager& manager, WPARAM event, LPARAM data) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE ||
        header->dbch_size < sizeof(DEV_BROADCAST_DEVICEINTERFACE_W))
        return TRUE;
    const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    // The name fills the rest of the record; never read past its size.
    const std::size_t room = (header->dbch_size - offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name)) / sizeof(wchar_t);
    const std::wstring path(device->dbcc_name, wcsnlen(device->dbcc_name, room));
    manager.HandleDeviceChange(static_cast<unsigned>(event), header->dbch_devicetype, path.c_str());
    return TRUE;
}
