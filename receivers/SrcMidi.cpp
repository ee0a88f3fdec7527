#include "receivers/SrcMidi.h"

#include "resources/StringIds.h"
#include "support/QVDebug.h"
#include "support/QVLocalize.h"

#include <cwchar>

namespace {

// The pause between opening a port and starting it; some devices drop the
// start when it follows the open at once.
constexpr DWORD kStartDelayMs = 100;
constexpr const wchar_t* kInitName = L"CSrcMidi::Init";

void ShowLocalizedMessage(UINT textId, const wchar_t* argument) {
    tagQVLOCALIZE_SETUP setup;
    setup.hClassesRoot = nullptr;  // a message box registers no file type
    CQVLocalize localize(setup);
    localize.ShowMessage(nullptr, localize.FormatString(textId, argument).c_str(), QVMSG_ERROR);
}

}  // namespace

bool HasMidiInputs() { return midiInGetNumDevs() > 0; }

CSrcMidi::CSrcMidi() : CSrc(0) {
    m_kindName = L"MIDI";
    m_rcType = RCTYPE_MIDI;
}

CSrcMidi::~CSrcMidi() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcMidi::~CSrcMidi");
    CloseDevice();
}

int CSrcMidi::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, kInitName, m_portName);
    // No port chosen: the owner only learns that MIDI input exists.
    if (m_portName[0] == L'\0' && HasMidiInputs())
        return 1;
    if (!IsDevicePresent())
        return 0;
    const int index = FindDevice(m_portName);
    if (index < 0)
        return 0;
    m_deviceName = m_portName;
    CloseDevice();

    HMIDIIN handle = nullptr;
    const MMRESULT opened = midiInOpen(&handle, static_cast<UINT>(index), reinterpret_cast<DWORD_PTR>(&MidiInProc),
                                       reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
    if (opened != MMSYSERR_NOERROR) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED with mmr = %u\n", kInitName, opened);
        if (handle)
            midiInClose(handle);
        ShowMessage(IDS_MSG_MIDI_IN_USE, m_portName);
        return 0;
    }
    m_midiIn.Reset(handle);

    Sleep(kStartDelayMs);
    // Owner and callback are stored before the start: from then on the
    // driver's thread reads them.
    if (!CSrc::Init(owner, callback)) {
        CloseDevice();
        return 0;
    }
    const MMRESULT started = midiInStart(m_midiIn.Get());
    if (started != MMSYSERR_NOERROR) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED with mmr = %u\n", kInitName, started);
        CloseDevice();
        m_initialized = 0;
        m_eventCallback = nullptr;
        m_owner = nullptr;
        return 0;
    }
    return 1;
}

void CSrcMidi::SetDeviceName(const wchar_t* name) {
    if (!name)
        return;
    wcsncpy(m_portName, name, MIDI_PORT_NAME_CHARS - 1);
    m_portName[MIDI_PORT_NAME_CHARS - 1] = L'\0';
}

void CSrcMidi::SetChannel(int channel) {
    if (channel >= 0 && channel < MIDI_CHANNEL_COUNT)
        m_channel = static_cast<std::uint8_t>(channel);
}

bool CSrcMidi::IsDevicePresent() { return FindDevice(m_portName) >= 0; }

int CSrcMidi::OnNote(std::uint8_t note, int pressed) {
    if (!pressed) {
        m_keyId = KEYID_NONE;
        return 0;
    }
    return ReportKey(note);
}

int CSrcMidi::FindDevice(const wchar_t* name) {
    const UINT count = midiInGetNumDevs();
    for (UINT index = 0; index < count; ++index) {
        MIDIINCAPSW caps = {};
        if (midiInGetDevCapsW(index, &caps, sizeof(caps)) == MMSYSERR_NOERROR && wcscmp(caps.szPname, name) == 0)
            return static_cast<int>(index);
    }
    return -1;
}

void CSrcMidi::CloseDevice() {
    if (!m_midiIn)
        return;
    midiInStop(m_midiIn.Get());
    midiInReset(m_midiIn.Get());
    m_midiIn.Close();
}

int CSrcMidi::ReportKey(int keyId) {
    m_keyId = keyId;
    if (!m_eventCallback)
        return keyId;
    TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls(): MIDI -> Vemtra Key ID %d - <%ls> (%ls)\n", L"CSrcMidi::OnNote", keyId,
               GetEnglishKeyName(keyId), m_kindName.c_str());
    return m_eventCallback(m_owner, this, keyId, 0);
}

void CALLBACK CSrcMidi::MidiInProc(HMIDIIN /*handle*/, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                   DWORD_PTR /*param2*/) {
    if (message != MIM_DATA)
        return;
    auto* self = reinterpret_cast<CSrcMidi*>(instance);
    tagMIDINOTE note;
    if (DecodeMidiNote(static_cast<std::uint32_t>(param1), self->m_channel.load(), &note))
        self->OnNote(note.nNote, note.fPressed);
}

void CSrcMidi::ShowMessage(UINT textId, const wchar_t* argument) {
    if (m_showMessage)
        m_showMessage(textId, argument);
    else
        ShowLocalizedMessage(textId, argument);
}
