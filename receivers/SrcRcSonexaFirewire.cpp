#include "receivers/SrcRcSonexaFirewire.h"

#include "support/QVDebug.h"

CSrcRcSonexaFirewire::~CSrcRcSonexaFirewire() {
    // Before this part goes: a note arriving now must not reach CSrcMidi::OnNote.
    CloseDevice();
}

int CSrcRcSonexaFirewire::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcRcSonexaFirewire::Init");
    SetDeviceName(L"");
    for (const wchar_t* name : kFirewirePortNames) {
        if (FindDevice(name) >= 0) {
            SetDeviceName(name);
            return CSrcMidi::Init(owner, callback);
        }
    }
    return 0;
}

int CSrcRcSonexaFirewire::OnNote(std::uint8_t note, int pressed) {
    const int keyId = pressed ? MapFirewireNoteToKeyId(note) : KEYID_NONE;
    if (keyId == KEYID_NONE) {
        m_keyId = KEYID_NONE;
        return 0;
    }
    return ReportKey(keyId);
}
