#include "tests/app/KeyPathRig.h"

#include <algorithm>
#include <cstdio>

#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "receivers/SrcLirc.h"

namespace keypath {

namespace {

constexpr const wchar_t* kTargetSet = L"Kanzo Target";

}  // namespace

// Kanzo's own network receiver, which also says when it is connected.
class CKeyPathRig::CEnvironment final : public CReceiverEnvironment {
public:
    explicit CEnvironment(HANDLE connected) : CReceiverEnvironment(nullptr), m_connected(connected) {}

    std::unique_ptr<CSrc> CreateLircReceiver(const std::wstring& host, unsigned port) override {
        auto receiver = std::make_unique<CSrcLirc>(host, port);
        const HANDLE connected = m_connected;
        receiver->SetStateObserver([connected](LircState state) {
            if (state == LircState::Connected)
                SetEvent(connected);
        });
        return receiver;
    }

private:
    HANDLE m_connected;
};

tagWINCMD Keystroke(int vk, bool repeat, int delayMs, int intervalMs) {
    tagWINCMD cmd;
    cmd.nType = CMD_KEY;
    cmd.nSubType = vk;
    cmd.fRepeat = repeat ? 1 : 0;
    cmd.nRepeatDelay = delayMs;
    cmd.nRepeatInterval = intervalMs;
    return cmd;
}

tagWINCMD MenuCommand(int id) {
    tagWINCMD cmd;
    cmd.nType = CMD_CTL;
    cmd.nValue = id;
    return cmd;
}

std::wstring KeyDownLine(int vk) { return L"KEYDOWN " + std::to_wstring(vk) + L" "; }

CKeyPathRig::CKeyPathRig(CCmdSetPaths paths, std::wstring targetFolder)
    : m_paths(std::move(paths)),
      m_lircConnected(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_target(m_record, targetFolder) {}

CKeyPathRig::~CKeyPathRig() = default;

std::string CKeyPathRig::Start(const Bindings& bindings, const tagSETTINGS& settings) {
    const wchar_t* preset = m_paths.presetFile.c_str();
    // The general set's program never runs: a key of the target's set finds no other window.
    const bool written = WritePrivateProfileStringW(L"Settings", L"RC Layout Version", L"4", preset) &&
                         WritePrivateProfileStringW(L"Software", L"0", L"Windows (Standard)", preset) &&
                         WritePrivateProfileStringW(L"Software", L"1", kTargetSet, preset) &&
                         WritePrivateProfileStringW(L"Windows (Standard)", L"Executable", L"KanzoNoSuchProgram.exe",
                                                    preset) &&
                         WritePrivateProfileStringW(kTargetSet, L"Executable", KANZO_TARGET_EXE, preset) &&
                         WritePrivateProfileStringW(kTargetSet, L"WindowCaption", KANZO_TARGET_CAPTION, preset);
    if (!written)
        return "the preset file could not be written";
    for (const auto& binding : bindings) {
        const std::wstring line = FormatKeyLine(binding.first, binding.second, GetKeyName(binding.first, true));
        WritePrivateProfileStringW(kTargetSet, std::to_wstring(binding.first).c_str(), line.c_str(), preset);
    }
    if (!m_target.Start())
        return "the target did not start: " + m_target.Failure();
    m_handler = std::make_unique<CCmdSetHandler>(m_paths, CAppPathSources());
    if (!m_handler->LoadCmdSetByName(kTargetSet))
        return "the target's command set did not load";
    m_worker = std::make_unique<CKeyEventWorker>(*m_handler, nullptr);
    tagKEYEVENTSETTINGS events;
    events.disableSound = TRUE;
    m_worker->SetSettings(events);
    m_settings = settings;
    m_environment = std::make_unique<CEnvironment>(m_lircConnected.Get());
    m_manager = std::make_unique<CReceiverManager>(*m_environment, *m_worker, m_settings);
    m_manager->InitReceivers();
    if (!m_manager->IsReady())
        return "no receiver was started";
    return std::string();
}

bool CKeyPathRig::WaitLircConnected(DWORD timeoutMs) const {
    return WaitForSingleObject(m_lircConnected.Get(), timeoutMs) == WAIT_OBJECT_0;
}

bool CKeyPathRig::RepetitionEnds(int receiverIndex, int keyId, int vk, DWORD timeoutMs) {
    const SrcPtr source = m_manager->GetReceiver(receiverIndex);
    if (!source ||
        !cmdtest::PumpUntil([&] { return !m_worker->IsRepeating(source.get(), keyId); }, timeoutMs))
        return false;
    // The last repetition may still be on its way: once the worker is idle,
    // a key of this thread's own behind it shows when the target has read
    // it (input is read in order; a posted message would overtake it).
    cmdtest::PumpUntil([&] { return !m_worker->IsBusy(); }, timeoutMs);
    const std::size_t from = m_record.Count();
    for (const DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
        INPUT probe = {};
        probe.type = INPUT_KEYBOARD;
        probe.ki.wVk = VK_PAUSE;
        probe.ki.dwFlags = flags;
        SendInput(1, &probe, sizeof(probe));
    }
    m_record.WaitFor(L"KEYUP " + std::to_wstring(VK_PAUSE) + L" ", from, timeoutMs);
    const std::size_t afterEnd = m_record.Matching(KeyDownLine(vk)).size();
    m_worker->Stop(5000);
    return m_record.Matching(KeyDownLine(vk)).size() == afterEnd;
}

std::string LatencySummary(std::vector<double> ms) {
    if (ms.empty())
        return "N=0";
    std::sort(ms.begin(), ms.end());
    char text[128];
    std::snprintf(text, sizeof(text), "N=%zu median %.2f ms, p99 %.2f ms, max %.2f ms", ms.size(), ms[ms.size() / 2],
                  ms[ms.size() * 99 / 100], ms.back());
    return text;
}

double MsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace keypath
