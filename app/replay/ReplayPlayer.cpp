#include "app/replay/ReplayPlayer.h"

#include <cstdio>
#include <vector>

#include "app/KeyEventWorker.h"
#include "support/QVDebug.h"

namespace {

constexpr DWORD WORKER_DRAIN_POLL_MS = 50;

bool ReadWholeFile(const std::wstring& path, std::string& text) {
    CQVHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got)
        text.append(buffer, got);
    return true;
}

}  // namespace

std::wstring CReplayPlayer::FinishedEventName(DWORD processId) {
    return L"Kanzo Replay Finished " + std::to_wstring(processId);
}

BOOL CReplayPlayer::Load(const std::wstring& path) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CReplayPlayer::Load");
    std::string text;
    if (!ReadWholeFile(path, text)) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED: cannot read \"%ls\" (error %lu)\n", L"CReplayPlayer::Load",
                   path.c_str(), GetLastError());
        return FALSE;
    }
    std::vector<tagCAPTUREFRAME> frames;
    std::vector<tagCAPTUREERROR> errors;
    CCaptureReader::Parse(text, frames, errors);
    for (const tagCAPTUREERROR& e : errors)
        TracePrint(QVL_WRN, QVC_DEVICE, L"%ls:%d: %ls - line skipped\n", path.c_str(), e.nLine, e.szMessage.c_str());
    if (frames.empty()) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED: \"%ls\" holds no frame\n", L"CReplayPlayer::Load", path.c_str());
        return FALSE;
    }
    m_frameCount = frames.size();
    m_source = std::make_shared<CSrcReplay>(std::move(frames), RCTYPE_NONE, true);
    return TRUE;
}

BOOL CReplayPlayer::Start(CReceiverManager& manager, CKeyEventWorker& worker) {
    if (!m_source || m_thread.joinable())
        return FALSE;
    m_worker = &worker;
    m_finished.Reset(CreateEventW(nullptr, TRUE, FALSE, FinishedEventName(GetCurrentProcessId()).c_str()));
    m_source->Init(&manager, CReceiverManager::IrEventCallback);
    manager.AddStandingReceiver(m_source);
    m_thread = std::thread([this] { Play(); });
    return TRUE;
}

void CReplayPlayer::Stop() {
    if (m_source)
        m_source->Stop();
    if (m_thread.joinable())
        m_thread.join();
}

void CReplayPlayer::Play() {
    if (!m_source->Run())
        return;
    // The last key may still run (a multi-tap character waits for its time-out).
    while (m_worker->IsBusy() && !m_source->IsStopped())
        Sleep(WORKER_DRAIN_POLL_MS);
    TracePrint(QVL_INFO, QVC_DEVICE, L"Replay of %u frames finished\n", static_cast<unsigned>(m_frameCount));
    SetEvent(m_finished.Get());
}
