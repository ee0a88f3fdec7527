#pragma once
// CSrcMidi: the receiver of one MIDI input port. Each note of its channel
// becomes the key id of that note (RC type 0x0001); the owner's callback runs
// on the MIDI driver's thread, without the key scheduler.

#include "receivers/MidiNote.h"
#include "receivers/Src.h"
#include "support/ScopedWin.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <functional>

constexpr int MIDI_PORT_NAME_CHARS = 128;  // at most 127 characters and the terminator

struct CQVMidiInTraits {
    using Handle = HMIDIIN;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { midiInClose(h); }
};
using CQVMidiIn = CQVScoped<CQVMidiInTraits>;

// How a receiver tells the user about a problem: the text of textId formatted
// with one string argument. The application shows it through its own
// localization; tests record it instead of a modal box.
using SrcMessageFunction = std::function<void(UINT textId, const wchar_t* argument)>;

// Whether the system has at least one MIDI input device.
bool HasMidiInputs();

class CSrcMidi : public CSrc {
public:
    CSrcMidi();
    ~CSrcMidi() override;

    // Opens and starts the port named by SetDeviceName. With no name set it
    // only tells whether MIDI input exists: 1 without opening anything.
    int Init(void* owner, PFNIREVENTCALLBACK callback) override;

    // Virtual operations added to those of CSrc, in this order.
    // At most 127 characters are kept; null is ignored.
    virtual void SetDeviceName(const wchar_t* name);
    // Channels 0 to 15; anything else is ignored.
    virtual void SetChannel(int channel);
    virtual bool IsDevicePresent();
    // A note of the channel, pressed or released; returns the callback's
    // result, or the key id when there is no callback, 0 for no event.
    virtual int OnNote(std::uint8_t note, int pressed);

    // Replaces the message box of a port in use (see SrcMessageFunction).
    void SetMessageFunction(SrcMessageFunction function) { m_showMessage = std::move(function); }

protected:
    // Index of the input device with this product name, -1 when none.
    static int FindDevice(const wchar_t* name);
    // Stops, resets and closes the open port: no callback runs after this.
    void CloseDevice();
    // Reports a key id to the owner, as OnNote does for a pressed note.
    int ReportKey(int keyId);

private:
    static void CALLBACK MidiInProc(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                    DWORD_PTR param2);
    void ShowMessage(UINT textId, const wchar_t* argument);

    CQVMidiIn m_midiIn;
    std::atomic<std::uint8_t> m_channel{MIDI_CHANNEL_DEFAULT};  // set on the UI thread, read by the driver's
    wchar_t m_portName[MIDI_PORT_NAME_CHARS] = {};
    SrcMessageFunction m_showMessage;
};
