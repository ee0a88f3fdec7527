#include "app/KeyEventWorker.h"

#include <optional>
#include <utility>

#include "cmdsets/Keymap.h"
#include "commands/WinCommands.h"
#include "commands/MultiTapInputWin.h"
#include "osd/OsdDlg.h"
#include "receivers/RcKeys.h"
#include "support/QVDebug.h"

namespace {

constexpr DWORD EVENT_STOP_TIMEOUT = 5000;
constexpr wchar_t kTvSet[] = L"Vemtra Tavora TV";

// Multi-tap's display: the OSD window, colours exchanged for the flash.
class COsdMultiTapDisplay final : public IMultiTapDisplay {
public:
    explicit COsdMultiTapDisplay(COsdDlg* display) : m_display(display) {}
    void ShowText(const wchar_t* text) override {
        if (m_display)
            m_display->ShowText(text);
    }
    void SetColoursExchanged(bool exchanged) override {
        if (!m_display)
            return;
        tagOSDSETTINGS settings = m_display->GetSettings();
        if (exchanged != m_exchanged)
            std::swap(settings.osdTextColor, settings.osdBackColor);
        m_exchanged = exchanged;
        m_display->SetColours(&settings);
    }

private:
    COsdDlg* m_display;
    bool m_exchanged = false;
};

// Multi-tap's actions: the key sound and the dispatcher's execution.
class CDispatchMultiTapActions final : public IMultiTapActions {
public:
    CDispatchMultiTapActions(CCmdSetHandler& handler, BOOL silent) : m_handler(handler), m_silent(silent) {}
    // The command sound twice: a multi-tap key sounds different from a command.
    void PlayKeySound() override {
        PlayCommandSound(TRUE, m_silent);
        PlayCommandSound(TRUE, m_silent);
    }
    // Typed as characters: through the keystroke path "." would be Delete.
    bool ExecuteCommand(const tagWINCMD& cmd) override { return m_handler.TypeText(cmd) != FALSE; }

private:
    CCmdSetHandler& m_handler;
    BOOL m_silent;
};

}  // namespace

CKeyEventWorker::CKeyEventWorker(CCmdSetHandler& handler, COsdDlg* display, IClock& clock)
    : m_handler(handler), m_display(display), m_multiTap(clock) {}

CKeyEventWorker::~CKeyEventWorker() { Stop(EVENT_STOP_TIMEOUT); }

int KANZO_STDCALL CKeyEventWorker::IrEventCallback(void* owner, CSrc* source, int keyId, int noAutoRepeat) {
    auto* worker = static_cast<CKeyEventWorker*>(owner);
    if (!worker)
        return 0;
    // A receiver that reports here directly is kept alive by its owner.
    return worker->PostKeyEvent(SrcPtr(SrcPtr(), source), keyId, noAutoRepeat);
}

int CKeyEventWorker::PostKeyEvent(const SrcPtr& source, int keyId, int noAutoRepeat) {
    // Receivers report on threads of their own: one event at a time here.
    std::lock_guard<std::mutex> lock(m_postLock);
    // The scheduler reports a held key again about once a second. Restarting
    // for each such report would run the command again and restart its
    // repeat delay, so the repetition would never reach its interval: the
    // running repetition of this very key goes on instead.
    if (source && !noAutoRepeat && source->IsHeldKeyReport() && IsRepeating(source.get(), keyId)) {
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"CRemoteApp::IrEventCallback() - key %d still held, repeat goes on\n",
                   keyId);
        return 1;
    }
    // A new event ends the previous one's waits: multi-tap and repeat wait on this stop.
    StopEvent(EVENT_STOP_TIMEOUT);
    if (m_stopSignalled.exchange(false))
        ResetEvent(m_eventStop.Get());
    if (!m_ready)
        return 1;
    ++m_eventsStarted;
    // The thread is started once and then lives across events. One that was
    // told to quit but outlived Stop's wait gets another chance to end first.
    if (m_threadUp && QuitRequested() && m_thread.StopThread(EVENT_STOP_TIMEOUT))
        m_threadUp = false;
    if (!m_threadUp) {
        {
            CQVLock state(m_stateLock);
            m_quit = false;
        }
        if (!m_thread.StartThread(L"CRemoteApp::IrEventHandler", &CKeyEventWorker::ThreadProc, this, -1, 1, 0, 1))
            return 1;
        m_threadUp = true;
    }
    // The worker's thread owns the record, and through it a share of the receiver.
    {
        CQVLock state(m_stateLock);
        m_pending = std::make_unique<tagEVENT>(tagEVENT{source, keyId, noAutoRepeat});
        m_eventRunning = true;
    }
    m_stateChanged.WakeAll();
    return 1;
}

bool CKeyEventWorker::QuitRequested() {
    CQVLock state(m_stateLock);
    return m_quit;
}

bool CKeyEventWorker::StopEvent(DWORD timeoutMs) {
    if (!m_eventRunning.load())
        return true;
    m_stopSignalled = true;
    SetEvent(m_eventStop.Get());
    const DWORD start = GetTickCount();
    CQVLock state(m_stateLock);
    while (m_eventRunning.load()) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs || !m_stateChanged.Wait(m_stateLock, timeoutMs - elapsed))
            break;
    }
    return !m_eventRunning.load();
}

int CKeyEventWorker::Stop(DWORD timeoutMs) {
    std::lock_guard<std::mutex> lock(m_postLock);
    const bool eventEnded = StopEvent(timeoutMs);
    {
        CQVLock state(m_stateLock);
        m_quit = true;
    }
    m_stateChanged.WakeAll();
    const bool threadEnded = m_thread.StopThread(timeoutMs) != 0;
    if (threadEnded)
        m_threadUp = false;
    return threadEnded && eventEnded ? 1 : 0;
}

void CKeyEventWorker::StopEventsOf(const CSrc* source) {
    if (source && m_currentSource.load() == source)
        StopEvent(EVENT_STOP_TIMEOUT);
}

DWORD WINAPI CKeyEventWorker::ThreadProc(void* user) { return static_cast<CKeyEventWorker*>(user)->RunEvents(); }

DWORD CKeyEventWorker::RunEvents() {
    int result = 0;
    for (;;) {
        std::unique_ptr<tagEVENT> event;
        {
            CQVLock state(m_stateLock);
            while (!m_pending && !m_quit) {
                if (m_eventRunning.exchange(false))
                    m_stateChanged.WakeAll();
                m_stateChanged.Wait(m_stateLock, INFINITE);
            }
            if (m_quit)
                break;
            event = std::move(m_pending);
        }
        m_currentSource = event->source.get();
        result = HandleIrEvent(event->source.get(), event->keyId, event->noAutoRepeat);
        m_currentSource = nullptr;
        // The receiver's share goes before the event counts as ended.
        event.reset();
    }
    // An event handed over as the thread was told to stop never runs.
    {
        CQVLock state(m_stateLock);
        m_pending.reset();
        m_eventRunning = false;
    }
    m_stateChanged.WakeAll();
    return static_cast<DWORD>(result);
}

bool CKeyEventWorker::IsRepeating(const CSrc* source, int keyId) const {
    return IsBusy() && m_repeatKey.load() == keyId && m_repeatSource.load() == source;
}

CKeyEventWorker::CRepeatMark::CRepeatMark(CKeyEventWorker& worker, CSrc* source, int keyId) : m_worker(worker) {
    m_worker.m_repeatKey = keyId;
    m_worker.m_repeatSource = source;
}

CKeyEventWorker::CRepeatMark::~CRepeatMark() {
    m_worker.m_repeatSource = nullptr;
    m_worker.m_repeatKey = KEYID_NONE;
}

bool CKeyEventWorker::WaitStop(DWORD ms) {
    HANDLE stop = m_eventStop.Get();
    if (!stop) {
        Sleep(ms);
        return false;
    }
    return WaitForSingleObject(stop, ms) == WAIT_OBJECT_0;
}

void CKeyEventWorker::ApplyTvMode(int keyId, tagPRGINFO& info) {
    if (wcscmp(info.szName, kTvSet) != 0)
        return;
    CKeymap tvKeys;
    LoadTvSpecialKeymap(tvKeys);
    tagWINCMD unused;
    int mode = IsTvControlChecked() ? 1 : IsTvTeletextOpen() ? 2 : 0;
    if (!tvKeys.Lookup(keyId, unused))
        mode = 0;
    if (mode == m_tvMode)
        return;
    CopyFixedText(info.szWindowCaption, PRGINFO_TEXT_LEN, mode == 2 ? L"Tavora Teletext" : L"Tavora Live");
    CKeymap liveKeys;
    if (mode == 0)
        m_handler.LoadKeymap(info.szName, liveKeys, FALSE);
    m_handler.SetCurrentSet(info, mode == 0 ? liveKeys : tvKeys);
    m_tvMode = mode;
}

void CKeyEventWorker::SetSettings(const tagKEYEVENTSETTINGS& settings) {
    std::lock_guard<std::mutex> lock(m_settingsLock);
    m_settings = settings;
}

tagKEYEVENTSETTINGS CKeyEventWorker::GetSettings() const {
    std::lock_guard<std::mutex> lock(m_settingsLock);
    return m_settings;
}

void CKeyEventWorker::Announce(const tagKEYEVENTSETTINGS& settings, BOOL found, const tagWINCMD& cmd, const tagPRGINFO& info) {
    PlayCommandSound(found, settings.disableSound || settings.hidden);
    if (found && !settings.hidden && settings.osdOn && !info.fHideOsd && IsAnnouncedCommand(&cmd) &&
        !m_handler.IsMenuShown() && m_display && m_display->GetHwnd())
        m_display->ShowText(cmd.szText);
}

int CKeyEventWorker::HandleIrEvent(CSrc* source, int keyId, int noAutoRepeat) {
    if (!source)
        return 0;
    const tagKEYEVENTSETTINGS settings = GetSettings();
    tagPRGINFO info;
    m_handler.GetCurrentPrgInfo(info);
    if (settings.exclusive &&
        (settings.exclusiveApp.empty() || _wcsicmp(settings.exclusiveApp.c_str(), info.szName) != 0)) {
        m_handler.LoadCmdSetByName(settings.exclusiveApp.c_str());
        m_handler.GetCurrentPrgInfo(info);
    }
    ApplyTvMode(keyId, info);

    tagWINCMD cmd;
    BOOL found = m_handler.LookupCommand(keyId, cmd);
    int result = 0;
    if (info.fSmsInput == 1) {
        CMultiTapStopEvent stop(m_eventStop.Get());
        CDispatchMultiTapActions actions(m_handler, settings.disableSound || settings.hidden);
        COsdMultiTapDisplay display(m_display);
        m_multiTap.SetDisplay(&display);
        bool done = m_multiTap.HandleKeyEvent(keyId, cmd, stop, actions);
        m_multiTap.SetDisplay(nullptr);
        if (done) {
            if (m_observer)
                m_observer(m_observerContext, keyId, &cmd, TRUE, 1);
            return 1;
        }
    }

    found = m_handler.LookupCommand(keyId, cmd);
    Announce(settings, found, cmd, info);
    result = m_handler.HandleCommandForKey(keyId, settings.exclusive ? 0 : 1);
    const bool repeats = result && found && cmd.fRepeat == 1 && !noAutoRepeat;
    // Marked before the observer hears of the run, so that it sees the repeat phase.
    std::optional<CRepeatMark> mark;
    if (repeats)
        mark.emplace(*this, source, keyId);
    if (m_observer)
        m_observer(m_observerContext, keyId, found ? &cmd : nullptr, found, result);
    if (!result) {
        if (settings.exclusive && keyId == KEYID_POWER)
            CWinCommands::StartOrActivateApp(info);
        return 0;
    }

    if (!repeats)
        return result;
    if (WaitStop(static_cast<DWORD>(cmd.nRepeatDelay)))
        return result;
    while (source->GetKeyId() == keyId && keyId != KEYID_NONE) {
        wchar_t detail[16];
        swprintf(detail, 16, L"%d", cmd.nRepeatInterval);
        CQVTraceScope scope(QVL_INFO, 8, L"CRemoteApp::HandleIrEvent", detail);
        if (WaitStop(static_cast<DWORD>(cmd.nRepeatInterval)))
            break;
        m_handler.HandleCommandForKey(keyId, 1);
    }
    return result;
}
