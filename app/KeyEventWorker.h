#pragma once
// The key-event worker: one thread that runs the key events the receivers'
// callbacks hand it, one at a time. A new event stops the previous one (its
// stop event ends a multi-tap wait or a repeat loop), then the new event runs:
// the current set, the TV application's modes, multi-tap text input, the
// command sound and announcement, the dispatch and the repeat while the key
// is held. The application object owns one; the replay tool uses one too.
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "commands/CmdSetHandler.h"
#include "app/ReceiverManager.h"
#include "commands/MultiTapInput.h"
#include "receivers/Src.h"
#include "support/QVThread.h"
#include "support/ScopedWin.h"

class COsdDlg;

// The settings the worker reads.
struct tagKEYEVENTSETTINGS {
    BOOL disableSound = FALSE;
    BOOL hidden = FALSE;
    BOOL osdOn = TRUE;
    BOOL exclusive = FALSE;
    std::wstring exclusiveApp;
};

// Called once per handled key event, on the worker thread (tools print it).
using KeyEventObserver = void (*)(void* context, int keyId, const tagWINCMD* cmd, BOOL found, int result);

class CKeyEventWorker final : public IKeyEventSink {
public:
    CKeyEventWorker(CCmdSetHandler& handler, COsdDlg* display, IClock& clock = SystemClock());
    ~CKeyEventWorker() override;
    CKeyEventWorker(const CKeyEventWorker&) = delete;
    CKeyEventWorker& operator=(const CKeyEventWorker&) = delete;

    // From any thread: the next key event uses them.
    void SetSettings(const tagKEYEVENTSETTINGS& settings);
    tagKEYEVENTSETTINGS GetSettings() const;
    void SetReady(bool ready) override { m_ready = ready; }
    void SetObserver(KeyEventObserver observer, void* context) {
        m_observer = observer;
        m_observerContext = context;
    }

    // The event callback for a receiver whose owner keeps it alive (owner =
    // this worker); the receiver manager posts through PostKeyEvent.
    static int KANZO_STDCALL IrEventCallback(void* owner, CSrc* source, int keyId, int noAutoRepeat);
    // Stops the running event (ending its repetition) and starts this one;
    // a held key's re-report leaves its running repetition alone.
    int PostKeyEvent(const SrcPtr& source, int keyId, int noAutoRepeat) override;
    // Stops the running event when it comes from this receiver.
    void StopEventsOf(const CSrc* source) override;
    // The worker side of one event; runs on the worker thread.
    int HandleIrEvent(CSrc* source, int keyId, int noAutoRepeat);

    // Stops the running event and the worker's thread (up to timeoutMs each);
    // 1 when none runs any more. The next event starts the thread again.
    int Stop(DWORD timeoutMs);
    bool IsBusy() const { return m_eventRunning.load(); }
    // True while the worker repeats this key of this receiver.
    bool IsRepeating(const CSrc* source, int keyId) const;
    // Key events that started a worker thread so far.
    int GetEventsStarted() const { return m_eventsStarted.load(); }
    CMultiTapInput& GetMultiTap() { return m_multiTap; }

private:
    struct tagEVENT {
        SrcPtr source;
        int keyId;
        int noAutoRepeat;
    };
    // Marks the repeat phase of one event for its lifetime.
    class CRepeatMark {
    public:
        CRepeatMark(CKeyEventWorker& worker, CSrc* source, int keyId);
        ~CRepeatMark();
        CRepeatMark(const CRepeatMark&) = delete;
        CRepeatMark& operator=(const CRepeatMark&) = delete;

    private:
        CKeyEventWorker& m_worker;
    };

    static DWORD WINAPI ThreadProc(void* user);
    // Runs the events handed over until the thread is told to stop.
    DWORD RunEvents();
    // Ends the running event's waits and waits up to timeoutMs for its end.
    bool StopEvent(DWORD timeoutMs);
    bool QuitRequested();
    void ApplyTvMode(int keyId, tagPRGINFO& info);
    bool WaitStop(DWORD ms);
    void Announce(const tagKEYEVENTSETTINGS& settings, BOOL found, const tagWINCMD& cmd, const tagPRGINFO& info);

    CCmdSetHandler& m_handler;
    COsdDlg* m_display;
    CMultiTapInput m_multiTap;
    CQVHandle m_eventStop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};   // ends the running event's waits
    std::atomic<bool> m_stopSignalled{false};  // m_eventStop set since the last event began
    // The hand-over to the thread. The wakes are conditions, not events:
    // each event's path is a few server round trips shorter under Wine.
    CQVCriticalSection m_stateLock;
    CQVCondition m_stateChanged;          // an event handed over or ended, or the thread to quit
    std::unique_ptr<tagEVENT> m_pending;  // guarded by m_stateLock
    bool m_quit = false;                  // guarded by m_stateLock
    bool m_threadUp = false;              // guarded by m_postLock
    std::atomic<bool> m_eventRunning{false};  // written under m_stateLock
    mutable std::mutex m_settingsLock;
    tagKEYEVENTSETTINGS m_settings;  // guarded by m_settingsLock
    std::atomic<bool> m_ready{true};
    std::mutex m_postLock;
    std::atomic<const CSrc*> m_currentSource{nullptr};
    int m_tvMode = 0;
    std::atomic<CSrc*> m_repeatSource{nullptr};
    std::atomic<int> m_repeatKey{KEYID_NONE};
    std::atomic<int> m_eventsStarted{0};
    KeyEventObserver m_observer = nullptr;
    void* m_observerContext = nullptr;
    // The thread lives across events: a thread new to Wine takes some 20 ms
    // to deliver its first SendInput, which every key would pay. Declared
    // last, after all it uses, so it ends first.
    CQVThread m_thread;
};
