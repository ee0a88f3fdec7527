#pragma once
// The replay receiver of the program: plays a capture file in real time on
// its own thread, and its keys take the path of every receiver's keys (the
// key-event worker, the dispatcher, the display). Chosen on the command line
// only, never stored, so the whole program runs without hardware. When the
// capture has been played and the last key event has finished, the event
// "Kanzo Replay Finished <process id>" is set for whoever waits for it.
#include <windows.h>

#include <memory>
#include <string>
#include <thread>

#include "app/ReceiverManager.h"
#include "app/replay/ReplayReceiver.h"
#include "support/ScopedWin.h"

class CKeyEventWorker;

class CReplayPlayer {
public:
    CReplayPlayer() = default;
    ~CReplayPlayer() { Stop(); }
    CReplayPlayer(const CReplayPlayer&) = delete;
    CReplayPlayer& operator=(const CReplayPlayer&) = delete;

    // Reads and parses the capture. FALSE (with a trace line) when the file
    // cannot be read or holds no frame; bad lines are skipped with a trace line.
    BOOL Load(const std::wstring& path);
    // Joins the manager as a standing receiver (its keys take the path of all
    // receivers' keys) and starts the thread; the worker is watched for the end
    // of the last key event. FALSE when nothing is loaded.
    BOOL Start(CReceiverManager& manager, CKeyEventWorker& worker);
    // Ends the replay at once and waits for its thread.
    void Stop();
    bool IsPlaying() const { return m_thread.joinable(); }
    size_t GetFrameCount() const { return m_frameCount; }

    static std::wstring FinishedEventName(DWORD processId);

private:
    void Play();

    std::shared_ptr<CSrcReplay> m_source;
    CKeyEventWorker* m_worker = nullptr;
    CQVHandle m_finished;
    std::thread m_thread;
    size_t m_frameCount = 0;
};
