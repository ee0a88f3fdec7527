#pragma once
// CSrcRcTavora_SAA_HT_PCI: PCI hybrid cards on the SAA713x chip whose driver
// decodes the NEC frames itself and raises an interrupt event per frame.
// The card is the first video-input filter of the model that sits on the
// PCI bus with the chip maker's vendor id.
//
// Windows-only.

#include "receivers/chips/Interrupt_Interface.h"
#include "receivers/chips/SrcEvent.h"
#include "support/ScopedWin.h"

#include <memory>

class CSrcRcTavora_SAA_HT_PCI : public CSrcEvent, private CIR_DecoderCallback {
public:
    static constexpr const wchar_t* kModelName = L"Tavora Hybrid PCI";
    static constexpr std::uint16_t kChipVendorId = 0x1131;
    // The interrupt the IR receiver raises.
    static constexpr ULONG kIrInterrupt = 16;

    explicit CSrcRcTavora_SAA_HT_PCI(IClock& clock = SystemClock());
    ~CSrcRcTavora_SAA_HT_PCI() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;

protected:
    // Ends the driver's calls and the watch, and lets go of the device.
    void Close();

private:
    // On the interrupt interface's worker thread.
    void OnNecFrame(std::uint16_t address, std::uint8_t command) override;

    CQVComPtr<IBaseFilter> m_filter;
    std::unique_ptr<CInterrupt_Interface> m_interrupts;
    std::unique_ptr<CIR_Decoder> m_decoder;
};
