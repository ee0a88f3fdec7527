#pragma once
// The test side of KanzoTarget.exe: a shared record the target writes into
// and a launcher. Typical use:
//     cmdtest::CTargetRecord record;             // unique name, exported to children
//     cmdtest::CTargetProcess target(record);
//     ASSERT_TRUE(target.Start(L"--popup"));    // waits for READY
//     ... act on target.Window() ...
//     EXPECT_GE(record.WaitFor(L"BUTTON 1001"), 0);
// Later suites link TargetClient.cpp and depend on kanzo_target; the target is
// written to ${CMAKE_BINARY_DIR}/tests/commands, so tests elsewhere pass that
// folder to CTargetProcess (see TargetPath).

#include "tests/commands/target/TargetRecord.h"

#include <string>
#include <vector>

namespace cmdtest {

// KanzoTarget.exe in folder, or beside the running executable when folder is empty.
std::wstring TargetPath(const std::wstring& folder = std::wstring());

class CTargetRecord {
public:
    // Creates a record of its own and puts its name in KANZO_TARGET_RECORD of
    // this process, so every target started afterwards writes into it.
    CTargetRecord();
    ~CTargetRecord();
    CTargetRecord(const CTargetRecord&) = delete;
    CTargetRecord& operator=(const CTargetRecord&) = delete;

    const std::wstring& Name() const { return m_name; }
    std::vector<std::wstring> Lines() const;
    std::size_t Count() const { return Lines().size(); }
    // The process that wrote last (0 before any target started).
    DWORD WriterProcessId() const { return m_record ? m_record->dwProcessId : 0; }

    // Index of the first line at or after from that starts with prefix, waiting
    // for new lines up to timeoutMs (while pumping this thread's messages); -1
    // when none arrived.
    int WaitFor(const std::wstring& prefix, std::size_t from = 0, DWORD timeoutMs = 5000) const;
    // The lines at or after from that start with prefix (no waiting).
    std::vector<std::wstring> Matching(const std::wstring& prefix, std::size_t from = 0) const;
    // Forgets every line (the record holds 64K characters): for runs that
    // write more than that, such as the benchmarks.
    void Clear();

private:
    std::wstring m_name;
    HANDLE m_mapping = nullptr;
    HANDLE m_event = nullptr;
    tagTARGET_RECORD* m_record = nullptr;
};

class CTargetProcess {
public:
    explicit CTargetProcess(CTargetRecord& record, const std::wstring& folder = std::wstring())
        : m_record(record), m_folder(folder) {}
    // Closes the target's windows and waits for it; ends it when it hangs.
    ~CTargetProcess() { Close(); }
    CTargetProcess(const CTargetProcess&) = delete;
    CTargetProcess& operator=(const CTargetProcess&) = delete;

    // Starts the target with the options of TargetRecord.h and waits for its READY line.
    bool Start(const std::wstring& options = std::wstring());
    // Asks the windows to close and waits up to waitMs before ending the process.
    void Close(DWORD waitMs = 5000);
    HWND Window() const { return m_window; }
    // Why the last Start failed.
    std::string Failure() const { return std::string(m_failure.begin(), m_failure.end()); }
    DWORD ProcessId() const { return m_processId; }

private:
    CTargetRecord& m_record;
    std::wstring m_folder;
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HWND m_window = nullptr;
    std::wstring m_failure;
};

// Closes every window of the process and waits for it to end (ending it
// after timeoutMs): for targets the code under test started itself.
void CloseProcessWindows(DWORD processId, DWORD timeoutMs = 5000);

// Pumps this thread's messages for up to ms, or until done() holds; wake, when
// given, is an event that says done() may hold now.
template <class Done>
bool PumpUntil(Done done, DWORD ms, HANDLE wake = nullptr) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= ms)
            return false;
        MsgWaitForMultipleObjects(wake ? 1 : 0, wake ? &wake : nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace cmdtest
