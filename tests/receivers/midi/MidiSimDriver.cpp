// winesim.drv: a user-mode MIDI input driver for Wine's winmm, so that the
// MIDI receivers run against the real midiIn* calls where there is no sound
// hardware. Wine's device layer chooses it by the registry value
// HKCU\Software\Wine\Drivers "Audio" = "sim" and asks every audio driver for
// four entry points; this one offers no audio endpoint and answers only the
// MIDI input messages. Ports are described in MidiSim.h.

#include "tests/receivers/midi/MidiSim.h"

#include <mmddk.h>
#include <mmdeviceapi.h>
#include <mmreg.h>

#include <cwchar>
#include <deque>
#include <mutex>
#include <string>

// winmm exports it for drivers; MinGW's mmddk.h does not declare it.
extern "C" BOOL WINAPI DriverCallback(DWORD_PTR callback, DWORD flags, HDRVR device, DWORD message, DWORD_PTR user,
                                      DWORD_PTR param1, DWORD_PTR param2);

namespace {

// Priority values of Wine's device layer: the highest available driver wins.
constexpr int kPriorityPreferred = 3;

struct tagSIMPORT {
    wchar_t szName[MAXPNAMELEN] = {};
    bool fInUse = false;
    bool fOpen = false;
    bool fStarted = false;
    MIDIOPENDESC desc = {};
    DWORD dwCallbackFlags = 0;  // DCB_* for DriverCallback
    DWORD dwStartTime = 0;
    std::deque<MIDIHDR*> buffers;
    tagMIDISIM_PORTSTATE counts = {};
};

// One lock for everything: the client's callback runs under it, so once
// MIDM_RESET or MIDM_CLOSE has returned no callback is running or will run.
std::mutex g_lock;
tagSIMPORT g_ports[kMidiSimMaxPorts];
UINT g_portCount = 0;
bool g_configured = false;

void SetName(tagSIMPORT& port, const wchar_t* name) {
    wcsncpy(port.szName, name, MAXPNAMELEN - 1);
    port.szName[MAXPNAMELEN - 1] = L'\0';
}

// Reads the initial ports once: winmm asks for the count only at its start.
void Configure() {
    if (g_configured)
        return;
    g_configured = true;
    wchar_t value[kMidiSimMaxPorts * MAXPNAMELEN] = {};
    const DWORD length = GetEnvironmentVariableW(kMidiSimPortsVariable, value, ARRAYSIZE(value));
    if (length == 0 || length >= ARRAYSIZE(value))
        return;
    const std::wstring names(value);
    std::size_t from = 0;
    while (g_portCount < kMidiSimMaxPorts) {
        const std::size_t end = names.find(kMidiSimPortSeparator, from);
        SetName(g_ports[g_portCount++], names.substr(from, end - from).c_str());
        if (end == std::wstring::npos)
            break;
        from = end + 1;
    }
}

void Notify(tagSIMPORT& port, UINT message, DWORD_PTR param1, DWORD_PTR param2) {
    DriverCallback(port.desc.dwCallback, port.dwCallbackFlags, reinterpret_cast<HDRVR>(port.desc.hMidi), message,
                   port.desc.dwInstance, param1, param2);
}

// Hands every queued buffer back to the client, as a reset must.
void ReturnBuffers(tagSIMPORT& port) {
    while (!port.buffers.empty()) {
        MIDIHDR* header = port.buffers.front();
        port.buffers.pop_front();
        header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
        Notify(port, MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(header), timeGetTime() - port.dwStartTime);
    }
}

DWORD GetCaps(tagSIMPORT& port, MIDIINCAPSW* caps, DWORD_PTR size) {
    if (!caps)
        return MMSYSERR_INVALPARAM;
    MIDIINCAPSW full = {};
    full.wMid = MM_UNMAPPED;
    full.wPid = MM_PID_UNMAPPED;
    full.vDriverVersion = 0x0100;
    wcscpy(full.szPname, port.szName);
    memcpy(caps, &full, size < sizeof(full) ? size : sizeof(full));
    return MMSYSERR_NOERROR;
}

DWORD Open(tagSIMPORT& port, const MIDIOPENDESC* desc, DWORD_PTR flags) {
    if (!desc)
        return MMSYSERR_INVALPARAM;
    if (port.fInUse || port.fOpen)
        return MMSYSERR_ALLOCATED;
    port.desc = *desc;
    port.dwCallbackFlags = HIWORD(flags) & DCB_TYPEMASK;
    port.fOpen = true;
    port.fStarted = false;
    ++port.counts.nOpens;
    Notify(port, MIM_OPEN, 0, 0);
    return MMSYSERR_NOERROR;
}

DWORD Close(tagSIMPORT& port) {
    if (!port.buffers.empty())
        return MIDIERR_STILLPLAYING;
    port.fOpen = false;
    port.fStarted = false;
    ++port.counts.nCloses;
    Notify(port, MIM_CLOSE, 0, 0);
    return MMSYSERR_NOERROR;
}

DWORD AddBuffer(tagSIMPORT& port, MIDIHDR* header) {
    if (!header || !header->lpData)
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED))
        return MIDIERR_UNPREPARED;
    header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
    header->dwBytesRecorded = 0;
    port.buffers.push_back(header);
    return MMSYSERR_NOERROR;
}

// The messages of an open port.
DWORD OpenPortMessage(tagSIMPORT& port, UINT message, DWORD_PTR param1) {
    switch (message) {
    case MIDM_CLOSE: return Close(port);
    case MIDM_ADDBUFFER: return AddBuffer(port, reinterpret_cast<MIDIHDR*>(param1));
    case MIDM_START:
        if (!port.fStarted)
            port.dwStartTime = timeGetTime();
        port.fStarted = true;
        ++port.counts.nStarts;
        return MMSYSERR_NOERROR;
    case MIDM_STOP:
        port.fStarted = false;
        ++port.counts.nStops;
        return MMSYSERR_NOERROR;
    case MIDM_RESET:
        port.fStarted = false;
        ++port.counts.nResets;
        ReturnBuffers(port);
        return MMSYSERR_NOERROR;
    default:
        // MIDM_PREPARE and MIDM_UNPREPARE included: winmm prepares headers itself.
        return MMSYSERR_NOTSUPPORTED;
    }
}

DWORD PortMessage(tagSIMPORT& port, UINT message, DWORD_PTR param1, DWORD_PTR param2) {
    switch (message) {
    case MIDM_GETDEVCAPS: return GetCaps(port, reinterpret_cast<MIDIINCAPSW*>(param1), param2);
    case MIDM_OPEN: return Open(port, reinterpret_cast<const MIDIOPENDESC*>(param1), param2);
    default: return port.fOpen ? OpenPortMessage(port, message, param1) : MMSYSERR_INVALHANDLE;
    }
}

tagSIMPORT* FindPort(UINT port) { return port < g_portCount ? &g_ports[port] : nullptr; }

// The test exports: the action on the port under the lock, or
// MMSYSERR_BADDEVICEID for a port that does not exist.
template <class Action>
MMRESULT WithPort(UINT port, Action action) {
    std::lock_guard<std::mutex> lock(g_lock);
    tagSIMPORT* found = FindPort(port);
    return found ? action(*found) : static_cast<MMRESULT>(MMSYSERR_BADDEVICEID);
}

}  // namespace

extern "C" {

LRESULT WINAPI DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM param1, LPARAM param2) {
    switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_OPEN:
    case DRV_CLOSE:
    case DRV_ENABLE:
    case DRV_DISABLE: return 1;
    case DRV_QUERYCONFIGURE: return 0;
    case DRV_INSTALL:
    case DRV_REMOVE: return DRVCNF_OK;
    default: return DefDriverProc(id, driver, message, param1, param2);
    }
}

DWORD WINAPI midMessage(UINT deviceId, UINT message, DWORD_PTR /*user*/, DWORD_PTR param1, DWORD_PTR param2) {
    std::lock_guard<std::mutex> lock(g_lock);
    switch (message) {
    case DRVM_INIT: Configure(); return MMSYSERR_NOERROR;
    case DRVM_EXIT:
    case DRVM_ENABLE:
    case DRVM_DISABLE: return MMSYSERR_NOERROR;
    case MIDM_GETNUMDEVS: Configure(); return g_portCount;
    default: break;
    }
    tagSIMPORT* port = FindPort(deviceId);
    return port ? PortMessage(*port, message, param1, param2) : MMSYSERR_BADDEVICEID;
}

// The device layer's entry points: preferred, so that it picks this driver,
// and without endpoints, so that nothing plays through it.
int WINAPI GetPriority() { return kPriorityPreferred; }

HRESULT WINAPI GetEndpointIDs(EDataFlow /*flow*/, WCHAR*** ids, GUID** guids, UINT* count, UINT* defaultIndex) {
    if (ids)
        *ids = nullptr;
    if (guids)
        *guids = nullptr;
    if (count)
        *count = 0;
    if (defaultIndex)
        *defaultIndex = 0;
    return S_OK;
}

HRESULT WINAPI GetAudioEndpoint(void* /*key*/, IMMDevice* /*device*/, void** out) {
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

HRESULT WINAPI GetAudioSessionManager(IMMDevice* /*device*/, void** out) {
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

MMRESULT WINAPI SimMidiSetPortName(UINT port, const wchar_t* name) {
    return WithPort(port, [name](tagSIMPORT& found) -> MMRESULT {
        if (!name)
            return MMSYSERR_INVALPARAM;
        SetName(found, name);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WINAPI SimMidiSetInUse(UINT port, BOOL inUse) {
    return WithPort(port, [inUse](tagSIMPORT& found) -> MMRESULT {
        found.fInUse = inUse != FALSE;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WINAPI SimMidiGetPortState(UINT port, tagMIDISIM_PORTSTATE* state) {
    return WithPort(port, [state](tagSIMPORT& found) -> MMRESULT {
        if (!state)
            return MMSYSERR_INVALPARAM;
        *state = found.counts;
        state->fOpen = found.fOpen;
        state->fStarted = found.fStarted;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT WINAPI SimMidiSend(UINT port, DWORD message) {
    return WithPort(port, [message](tagSIMPORT& found) -> MMRESULT {
        if (!found.fOpen)
            return MMSYSERR_INVALHANDLE;
        if (!found.fStarted)
            return MIDIERR_NOTREADY;
        Notify(found, MIM_DATA, message, timeGetTime() - found.dwStartTime);
        return MMSYSERR_NOERROR;
    });
}

void WINAPI SimMidiResetCounts() {
    std::lock_guard<std::mutex> lock(g_lock);
    for (tagSIMPORT& port : g_ports)
        port.counts = {};
}

}  // extern "C"
