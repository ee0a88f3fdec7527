#pragma once
// The receiver manager: the eighteen receiver slots of the application, which
// receivers found their hardware (activeMask) and which the user chose
// (receiverSelection), the event callback every receiver reports to, and what
// power and device changes do to the receivers.
//
// Ownership: a slot holds its receiver through a shared pointer, and every key
// event carries one to the worker. Freeing a slot empties it, waits until no
// event of the receiver is on its way, stops the worker that handles one of
// its events and then lets the receiver go, on this (the user-interface)
// thread. A worker that cannot be stopped in time keeps the receiver alive
// until it ends: a held key that repeats never reads a freed receiver.
//
// Pure logic: no Windows header. The receivers, the MIDI ports, the settings
// store and the process exit come from an environment; time from a clock.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/SettingsBlock.h"
#include "receivers/Src.h"
#include "support/Clock.h"

constexpr int RECEIVER_SLOTS = 18;
constexpr int RECEIVER_SLOT_MIDI = 0;
constexpr int RECEIVER_SLOT_FIREWIRE = 1;
constexpr int RECEIVER_SLOT_SONEXA_UNIVERSE = 2;
constexpr int RECEIVER_SLOT_TAVORA_T2 = 3;
constexpr int RECEIVER_SLOT_TAVORA_AME = 4;
constexpr int RECEIVER_SLOT_SAA_BDA = 6;
constexpr int RECEIVER_SLOT_SAA_WDM = 7;
constexpr int RECEIVER_SLOT_CX2388X = 8;
constexpr int RECEIVER_SLOT_EM28XX = 9;
constexpr int RECEIVER_SLOT_HID = 10;
constexpr int RECEIVER_SLOT_SAA_HT_PCI = 11;
constexpr int RECEIVER_SLOT_TAVORA_S_USB = 12;
constexpr int RECEIVER_SLOT_YUAN = 13;
constexpr int RECEIVER_SLOT_ABILIS = 15;
constexpr int RECEIVER_SLOT_MONTAGE = 16;
constexpr int RECEIVER_SLOT_AF9135 = 17;
constexpr std::uint8_t RECEIVER_MIDI_CHANNEL_NONE = 15;
// The network (LIRC) receiver: its own bit of the selection, above the slots,
// and its own index, beyond those of the standing receivers.
constexpr std::uint32_t RECEIVER_SELECTION_LIRC = 1u << 24;
constexpr int RECEIVER_INDEX_LIRC = RECEIVER_SLOTS + 100;
// The program ends with this code when the FireWire sound card goes.
constexpr int RECEIVER_FIREWIRE_EXIT_CODE = 8738;

// Device-change events and the device type handled (the platform's values).
constexpr unsigned RECEIVER_DEVICE_ARRIVAL = 0x8000;
constexpr unsigned RECEIVER_DEVICE_QUERY_REMOVE = 0x8001;
constexpr unsigned RECEIVER_DEVICE_REMOVE_COMPLETE = 0x8004;
constexpr unsigned RECEIVER_DEVICE_TYPE_INTERFACE = 5;

using SrcPtr = std::shared_ptr<CSrc>;

// Where key events go: the key-event worker.
class IKeyEventSink {
public:
    virtual ~IKeyEventSink() = default;
    // One key event; runs on the reporting receiver's thread. The sink keeps
    // the source while it handles the event.
    virtual int PostKeyEvent(const SrcPtr& source, int keyId, int noAutoRepeat) = 0;
    // Ends the handling of an event of this receiver, before the receiver goes.
    virtual void StopEventsOf(const CSrc* source) = 0;
    // Key events are dispatched only while ready.
    virtual void SetReady(bool ready) = 0;
};

// What the manager needs of the system.
class IReceiverEnvironment {
public:
    virtual ~IReceiverEnvironment() = default;
    // The receiver of slot 1 to 17, not initialised; null for a slot without one.
    virtual std::unique_ptr<CSrc> CreateReceiver(int slot) = 0;
    // The MIDI input receiver for a port (empty: none chosen) and channel.
    virtual std::unique_ptr<CSrc> CreateMidiReceiver(const std::wstring& portName, std::uint8_t channel) = 0;
    virtual int GetMidiInputCount() = 0;
    // The network receiver for a LIRC server, not initialised; null when this
    // build has none.
    virtual std::unique_ptr<CSrc> CreateLircReceiver(const std::wstring& host, unsigned port) {
        (void)host;
        (void)port;
        return nullptr;
    }
    virtual void SaveSettings() = 0;
    // Ends the program at once with the code (a test records it instead).
    virtual void ExitProgram(int code) = 0;
};

class CReceiverManager {
public:
    CReceiverManager(IReceiverEnvironment& environment, IKeyEventSink& sink, tagSETTINGS& settings,
                     IClock& clock = SystemClock());
    ~CReceiverManager();
    CReceiverManager(const CReceiverManager&) = delete;
    CReceiverManager& operator=(const CReceiverManager&) = delete;

    // Frees and creates every receiver: slots 1 to 17, then MIDI, then the
    // network receiver. False when no slot receiver is active (the network
    // receiver still makes keys flow).
    bool InitReceivers();
    // Re-creates one receiver; with dropIfUnselected, one that failed or is
    // not selected goes again. The result of its Init.
    int ReinitReceiver(int slot, bool dropIfUnselected);
    int InitReceiver_MIDI();
    // Re-creates the network receiver from the settings (host, port, its
    // selection bit); 1 when one runs afterwards.
    int InitReceiver_LIRC();
    int FreeReceiver(int slot);
    int FreeReceivers();

    // A receiver outside the slot table, chosen on the command line rather than
    // by the selection: it stays through InitReceivers, FreeReceivers and power
    // changes, and counts as an active receiver for readiness. Its callback
    // owner is this manager with IrEventCallback. Returns its index
    // (RECEIVER_SLOTS and up).
    int AddStandingReceiver(const SrcPtr& receiver);
    void RemoveStandingReceivers();

    int HandlePowerSuspend();
    int HandlePowerResume();
    // event: arrival or removal; deviceType: only device interfaces count.
    int HandleDeviceChange(unsigned event, unsigned deviceType, const wchar_t* devicePath);

    // The callback every receiver gets (owner = this manager).
    static int KANZO_STDCALL IrEventCallback(void* owner, CSrc* source, int keyId, int noAutoRepeat);

    std::uint32_t GetActiveMask() const { return m_activeMask; }
    bool IsReady() const { return m_receiversReady; }
    void SetMidiChannel(std::uint8_t channel) { m_midiChannel = channel; }
    std::uint8_t GetMidiChannel() const { return m_midiChannel; }
    // The receiver of a slot (shared), null when empty.
    SrcPtr GetReceiver(int slot) const;
    bool IsOccupied(int slot) const { return GetReceiver(slot) != nullptr; }

private:
    void Install(int slot, std::unique_ptr<CSrc> receiver);
    // Empties the slot without touching activeMask; the receiver goes once
    // the worker has let go of it.
    void Drop(int slot);
    void Drop(SrcPtr& held);
    bool IsSelected(int slot) const;
    int Init(int slot);
    void SetReady(bool ready);

    IReceiverEnvironment& m_environment;
    IKeyEventSink& m_sink;
    tagSETTINGS& m_settings;
    IClock& m_clock;
    mutable std::mutex m_slotsLock;  // the receivers' threads look slots up
    // Held by a receiver's thread from looking up its slot to handing the
    // event on, and taken by Drop after emptying a slot: once Drop has had it,
    // no event of the dropped receiver is on its way to the worker.
    std::mutex m_postLock;
    SrcPtr m_receivers[RECEIVER_SLOTS];
    std::vector<SrcPtr> m_standing;   // guarded by m_slotsLock
    SrcPtr m_lirc;                    // guarded by m_slotsLock
    std::uint32_t m_activeMask = 0;
    std::uint8_t m_midiChannel = RECEIVER_MIDI_CHANNEL_NONE;
    bool m_receiversReady = false;
};

// The sound card's path on the FireWire enumerator, lower case.
extern const wchar_t* const kFireWireEnumPath;
