#pragma once
// The running pieces of a key-path test or benchmark: KanzoTarget.exe with its
// record, the dispatcher over a preset file whose "Kanzo Target" set binds
// keys to commands for the target, the key-event worker and the receiver
// manager with this machine's receivers. A key event of a selected receiver
// ends up as a line of the target's record.
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/KeyEventWorker.h"
#include "app/ReceiverEnvironment.h"
#include "support/ScopedWin.h"
#include "tests/commands/target/TargetClient.h"

namespace keypath {

// The keystroke vk; repeat: again after delayMs and then every intervalMs
// while the key is held.
tagWINCMD Keystroke(int vk, bool repeat = false, int delayMs = 1000, int intervalMs = 200);
// The target's menu command id.
tagWINCMD MenuCommand(int id);
// The record line of vk pressed: "KEYDOWN <vk> ".
std::wstring KeyDownLine(int vk);

using Bindings = std::vector<std::pair<int, tagWINCMD>>;  // key id, command

class CKeyPathRig {
public:
    // targetFolder: where KanzoTarget.exe is (see cmdtest::TargetPath).
    CKeyPathRig(CCmdSetPaths paths, std::wstring targetFolder);
    ~CKeyPathRig();
    CKeyPathRig(const CKeyPathRig&) = delete;
    CKeyPathRig& operator=(const CKeyPathRig&) = delete;

    // Writes the preset file, starts the target, loads its set and starts the
    // receivers the settings select. Empty on success, otherwise why not.
    std::string Start(const Bindings& bindings, const tagSETTINGS& settings);
    // Waits until the network receiver is connected to its server.
    bool WaitLircConnected(DWORD timeoutMs) const;

    cmdtest::CTargetRecord& Record() { return m_record; }
    CKeyEventWorker& Worker() { return *m_worker; }
    CReceiverManager& Manager() { return *m_manager; }

    // After the release of a held key: waits until the worker no longer
    // repeats keyId of the receiver, then stops the worker. True when the
    // repetition ended in time and no keystroke of vk came after its end.
    bool RepetitionEnds(int receiverIndex, int keyId, int vk, DWORD timeoutMs);

private:
    class CEnvironment;

    // In this order: the receivers go first, so none reports into a worker
    // or dispatcher that is gone, and the target last.
    CCmdSetPaths m_paths;
    CQVHandle m_lircConnected;
    cmdtest::CTargetRecord m_record;
    cmdtest::CTargetProcess m_target;
    tagSETTINGS m_settings;
    std::unique_ptr<CCmdSetHandler> m_handler;
    std::unique_ptr<CKeyEventWorker> m_worker;
    std::unique_ptr<CEnvironment> m_environment;
    std::unique_ptr<CReceiverManager> m_manager;
};

// Latencies in milliseconds as "N=.. median .. ms, p99 .. ms, max .. ms".
std::string LatencySummary(std::vector<double> ms);
// Milliseconds since a QueryPerformanceCounter reading.
double MsSince(const LARGE_INTEGER& start);

}  // namespace keypath
