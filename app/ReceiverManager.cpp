#include "app/ReceiverManager.h"

#include <cwctype>
#include <utility>

#include "receivers/DeviceCatalogue.h"
#include "receivers/MidiNote.h"
#include "support/QVDebug.h"

// "QV1394_ENUM#QV1394_AVS_", the card's 24-bit IEEE vendor id, "0200".
const wchar_t* const kFireWireEnumPath = L"qv1394_enum#qv1394_avs_0013f30200";

namespace {

constexpr wchar_t kFireWireBusPath[] = L"1394#vemtra_electronic_gmbh&sonexa_7.1_firewire";
constexpr std::uint32_t kStartPauseMs = 150;
constexpr std::uint32_t kHidPauseMs = 1000;
constexpr std::uint32_t kResumePauseMs = 3000;

std::wstring Lower(const wchar_t* text) {
    std::wstring lower = text ? text : L"";
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    return lower;
}

constexpr std::uint32_t Bit(int slot) { return 1u << slot; }

}  // namespace

CReceiverManager::CReceiverManager(IReceiverEnvironment& environment, IKeyEventSink& sink, tagSETTINGS& settings,
                                   IClock& clock)
    : m_environment(environment), m_sink(sink), m_settings(settings), m_clock(clock) {}

CReceiverManager::~CReceiverManager() {
    FreeReceivers();
    RemoveStandingReceivers();
}

SrcPtr CReceiverManager::GetReceiver(int slot) const {
    std::lock_guard<std::mutex> lock(m_slotsLock);
    if (slot == RECEIVER_INDEX_LIRC)
        return m_lirc;
    if (slot >= RECEIVER_SLOTS && static_cast<size_t>(slot - RECEIVER_SLOTS) < m_standing.size())
        return m_standing[static_cast<size_t>(slot - RECEIVER_SLOTS)];
    if (slot < 0 || slot >= RECEIVER_SLOTS)
        return nullptr;
    return m_receivers[slot];
}

int CReceiverManager::AddStandingReceiver(const SrcPtr& receiver) {
    if (!receiver)
        return -1;
    int index;
    {
        std::lock_guard<std::mutex> lock(m_slotsLock);
        index = RECEIVER_SLOTS + static_cast<int>(m_standing.size());
        receiver->SetReceiverIndex(index);
        m_standing.push_back(receiver);
    }
    SetReady(true);
    return index;
}

void CReceiverManager::RemoveStandingReceivers() {
    std::vector<SrcPtr> gone;
    {
        std::lock_guard<std::mutex> lock(m_slotsLock);
        gone.swap(m_standing);
    }
    for (const SrcPtr& receiver : gone)
        m_sink.StopEventsOf(receiver.get());
    if (m_activeMask == 0 && !GetReceiver(RECEIVER_INDEX_LIRC))
        SetReady(false);
}

bool CReceiverManager::IsSelected(int slot) const { return (m_settings.receiverSelection & Bit(slot)) != 0; }

void CReceiverManager::SetReady(bool ready) {
    m_receiversReady = ready;
    m_sink.SetReady(ready);
}

void CReceiverManager::Install(int slot, std::unique_ptr<CSrc> receiver) {
    receiver->SetReceiverIndex(slot);
    std::lock_guard<std::mutex> lock(m_slotsLock);
    m_receivers[slot] = SrcPtr(std::move(receiver));
}

void CReceiverManager::Drop(int slot) { Drop(m_receivers[slot]); }

void CReceiverManager::Drop(SrcPtr& held) {
    SrcPtr receiver;
    {
        std::lock_guard<std::mutex> lock(m_slotsLock);
        receiver = std::move(held);
    }
    if (!receiver)
        return;
    // An event looked up before the slot was emptied is handed on by now;
    // later ones find the slot empty.
    { std::lock_guard<std::mutex> posting(m_postLock); }
    // The worker lets go of it, so it normally goes here, on this thread.
    m_sink.StopEventsOf(receiver.get());
}

int CReceiverManager::Init(int slot) {
    SrcPtr receiver = GetReceiver(slot);
    // In the slot before Init: its thread may report a key at once.
    const int result = receiver ? receiver->Init(this, &CReceiverManager::IrEventCallback) : 0;
    if (result == 1)
        m_activeMask |= Bit(slot);
    return result;
}

int CReceiverManager::ReinitReceiver(int slot, bool dropIfUnselected) {
    FreeReceiver(slot);
    if (slot == RECEIVER_SLOT_MIDI)
        return InitReceiver_MIDI();
    if (slot < 0 || slot >= RECEIVER_SLOTS || slot == 5 || slot == 14)
        return 0;
    std::unique_ptr<CSrc> receiver = m_environment.CreateReceiver(slot);
    if (slot == RECEIVER_SLOT_HID)
        m_clock.SleepMs(kHidPauseMs);
    if (!receiver)
        return 0;
    Install(slot, std::move(receiver));
    const int result = Init(slot);
    if (dropIfUnselected && (result != 1 || !IsSelected(slot)))
        Drop(slot);
    return result;
}

int CReceiverManager::InitReceiver_MIDI() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CRemoteApp::InitReceiver_MIDI");
    FreeReceiver(RECEIVER_SLOT_MIDI);
    const int inputs = m_environment.GetMidiInputCount();
    // The FireWire sound card is a MIDI device itself: its port alone is no MIDI input.
    if (inputs < 1 || (inputs == 1 && IsOccupied(RECEIVER_SLOT_FIREWIRE)))
        return 1;
    if (IsFirewirePortName(m_settings.midiDevice))
        m_settings.midiDevice[0] = L'\0';
    if (!m_settings.midiDevice[0])
        m_settings.receiverSelection &= ~Bit(RECEIVER_SLOT_MIDI);
    std::unique_ptr<CSrc> receiver = m_environment.CreateMidiReceiver(m_settings.midiDevice, m_midiChannel);
    if (!receiver)
        return 1;
    Install(RECEIVER_SLOT_MIDI, std::move(receiver));
    if (Init(RECEIVER_SLOT_MIDI) != 1 || !IsSelected(RECEIVER_SLOT_MIDI))
        Drop(RECEIVER_SLOT_MIDI);
    return 1;
}

int CReceiverManager::InitReceiver_LIRC() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CRemoteApp::InitReceiver_LIRC");
    Drop(m_lirc);
    if (!(m_settings.receiverSelection & RECEIVER_SELECTION_LIRC))
        return 0;
    std::unique_ptr<CSrc> receiver = m_environment.CreateLircReceiver(m_settings.lircHost, m_settings.lircPort);
    if (!receiver)
        return 0;
    receiver->SetReceiverIndex(RECEIVER_INDEX_LIRC);
    SrcPtr shared(std::move(receiver));
    {
        std::lock_guard<std::mutex> lock(m_slotsLock);
        m_lirc = shared;
    }
    // In its place before Init: its thread may report a key at once.
    if (shared->Init(this, &CReceiverManager::IrEventCallback) != 1) {
        Drop(m_lirc);
        return 0;
    }
    SetReady(true);
    return 1;
}

bool CReceiverManager::InitReceivers() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CRemoteApp::InitReceivers");
    m_clock.SleepMs(kStartPauseMs);
    FreeReceivers();
    for (int slot = 1; slot < RECEIVER_SLOTS; ++slot)
        ReinitReceiver(slot, false);
    // The bits of receivers that work but are not chosen stay: the options show them.
    for (int slot = 1; slot < RECEIVER_SLOTS; ++slot)
        if (!((m_activeMask & Bit(slot)) && IsSelected(slot)))
            Drop(slot);
    // MIDI last: whether the FireWire card (slot 1) is there is known now.
    ReinitReceiver(RECEIVER_SLOT_MIDI, true);
    InitReceiver_LIRC();
    m_environment.SaveSettings();
    bool standing;
    {
        std::lock_guard<std::mutex> lock(m_slotsLock);
        standing = !m_standing.empty() || m_lirc;
    }
    if (m_activeMask != 0 || standing) {
        SetReady(true);
        return m_activeMask != 0;
    }
    TracePrint(QVL_ERR, QVC_ONE, L"ERROR: No active receiver!\n");
    return false;
}

int CReceiverManager::FreeReceiver(int slot) {
    if (slot < 0 || slot >= RECEIVER_SLOTS)
        return 1;
    m_activeMask &= ~Bit(slot);
    Drop(slot);
    return 1;
}

int CReceiverManager::FreeReceivers() {
    for (int slot = 0; slot < RECEIVER_SLOTS; ++slot)
        Drop(slot);
    Drop(m_lirc);
    m_activeMask = 0;
    SetReady(false);
    return 1;
}

int CReceiverManager::HandlePowerSuspend() { return FreeReceivers(); }

int CReceiverManager::HandlePowerResume() {
    {
        CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CRemoteApp::HandlePowerResume", L"#### SLEEP ####");
        m_clock.SleepMs(kResumePauseMs);
    }
    InitReceivers();
    return 1;
}

int CReceiverManager::HandleDeviceChange(unsigned event, unsigned deviceType, const wchar_t* devicePath) {
    const bool arrival = event == RECEIVER_DEVICE_ARRIVAL;
    const bool removal = event == RECEIVER_DEVICE_QUERY_REMOVE || event == RECEIVER_DEVICE_REMOVE_COMPLETE;
    if ((!arrival && !removal) || deviceType != RECEIVER_DEVICE_TYPE_INTERFACE || !devicePath)
        return 1;
    const std::wstring path = Lower(devicePath);
    if (path.find(kFireWireEnumPath) != std::wstring::npos || path.find(kFireWireBusPath) != std::wstring::npos) {
        if (removal) {
            TracePrint(QVL_MSG, QVC_DEVICE, L"CRemoteApp::HandleDeviceChange() - FireWire sound card removed\n");
            m_environment.ExitProgram(RECEIVER_FIREWIRE_EXIT_CODE);
            return 1;
        }
        if (path.find(L"midi") != std::wstring::npos)
            ReinitReceiver(RECEIVER_SLOT_FIREWIRE, true);
    }
    if (arrival)
        m_clock.SleepMs(kStartPauseMs);
    const std::uint32_t slots = GetCatalogueSlotsForDevicePath(path.c_str());
    for (int slot = 0; slot < RECEIVER_SLOTS; ++slot) {
        if (!(slots & Bit(slot)))
            continue;
        if (removal)
            FreeReceiver(slot);
        else
            ReinitReceiver(slot, true);
    }
    return 1;
}

int KANZO_STDCALL CReceiverManager::IrEventCallback(void* owner, CSrc* source, int keyId, int noAutoRepeat) {
    auto* manager = static_cast<CReceiverManager*>(owner);
    if (!manager || !source)
        return 0;
    // The event carries the slot's own reference; a receiver on its way out
    // (no longer in its slot) reports nothing.
    std::lock_guard<std::mutex> posting(manager->m_postLock);
    SrcPtr held = manager->GetReceiver(source->GetReceiverIndex());
    if (held.get() != source)
        return 0;
    return manager->m_sink.PostKeyEvent(held, keyId, noAutoRepeat);
}
