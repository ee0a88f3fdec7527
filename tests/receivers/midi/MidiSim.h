#pragma once
// The interface of the user-mode MIDI input driver winesim.drv that the MIDI
// suites load into Wine's winmm: the ports it starts with, and the functions
// a test calls to rename ports, mark them in use, read what winmm asked of
// them and deliver short messages.

#include <windows.h>

// Initial port names, separated by '|', read when winmm initialises the
// driver. winmm counts the ports once per process, so the number of ports is
// fixed from then on; their names are not. Absent or empty: no port.
constexpr const wchar_t* kMidiSimPortsVariable = L"KANZO_MIDISIM_PORTS";
constexpr wchar_t kMidiSimPortSeparator = L'|';
constexpr UINT kMidiSimMaxPorts = 8;

// What winmm has done with one port.
struct tagMIDISIM_PORTSTATE {
    BOOL fOpen;
    BOOL fStarted;
    LONG nOpens;
    LONG nCloses;
    LONG nStarts;
    LONG nStops;
    LONG nResets;
};

// The driver's own exports (besides the winmm and mmdevapi entry points).
// Each returns MMSYSERR_NOERROR or the reason it refused.
extern "C" {
// A new product name (at most MAXPNAMELEN - 1 characters are kept).
typedef MMRESULT(WINAPI* PFNSIMMIDISETPORTNAME)(UINT port, const wchar_t* name);
// While in use, opening the port fails with MMSYSERR_ALLOCATED.
typedef MMRESULT(WINAPI* PFNSIMMIDISETINUSE)(UINT port, BOOL inUse);
typedef MMRESULT(WINAPI* PFNSIMMIDIGETPORTSTATE)(UINT port, tagMIDISIM_PORTSTATE* state);
// Delivers MIM_DATA to the client of an open, started port on the calling
// thread: MMSYSERR_INVALHANDLE when the port is closed, MIDIERR_NOTREADY when
// it is open but not started.
typedef MMRESULT(WINAPI* PFNSIMMIDISEND)(UINT port, DWORD message);
// Forgets the counts of every port (the open state stays).
typedef void(WINAPI* PFNSIMMIDIRESETCOUNTS)();
}
