// The thread-naming exception as a debugger sees it: the helper process runs
// under this test's debug loop, which reads each naming record and passes the
// exception back unhandled, as debuggers do; the helper must survive it.
#include "support/ScopedWin.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kNamingException = 0x406D1388;

struct tagNAMING {
    std::string name;
    DWORD threadId = 0;
    DWORD type = 0;
};

struct tagDEBUGRUN {
    bool exited = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<tagNAMING> namings;
    std::vector<DWORD> threadIds;  // threads created after the first
};

std::wstring HelperPath() {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path(module);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"thread_name_helper.exe";
}

tagNAMING ReadNaming(HANDLE hProcess, const EXCEPTION_RECORD& record) {
    tagNAMING naming;
    if (record.NumberParameters < 3)
        return naming;
    naming.type = static_cast<DWORD>(record.ExceptionInformation[0]);
    naming.threadId = static_cast<DWORD>(record.ExceptionInformation[2]);
    char text[600] = {};
    SIZE_T cb = 0;
    ReadProcessMemory(hProcess, reinterpret_cast<const void*>(record.ExceptionInformation[1]), text, sizeof(text) - 1,
                      &cb);
    text[cb < sizeof(text) ? cb : sizeof(text) - 1] = '\0';
    naming.name = text;
    return naming;
}

tagDEBUGRUN RunUnderDebugger() {
    tagDEBUGRUN run;
    std::wstring commandLine = L"\"" + HelperPath() + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    const DWORD flags = DEBUG_ONLY_THIS_PROCESS | CREATE_NO_WINDOW;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &pi))
        return run;
    const CQVHandle process(pi.hProcess);
    const CQVHandle thread(pi.hThread);
    while (!run.exited) {
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, 60000))  // a guard against a hung helper only
            break;
        DWORD dwContinue = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case CREATE_THREAD_DEBUG_EVENT:
            run.threadIds.push_back(event.dwThreadId);
            break;
        case EXCEPTION_DEBUG_EVENT: {
            const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
            if (record.ExceptionCode == kNamingException)
                run.namings.push_back(ReadNaming(process.Get(), record));
            if (record.ExceptionCode != EXCEPTION_BREAKPOINT)
                dwContinue = DBG_EXCEPTION_NOT_HANDLED;
            break;
        }
        case EXIT_PROCESS_DEBUG_EVENT:
            run.exitCode = event.u.ExitProcess.dwExitCode;
            run.exited = true;
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, dwContinue);
    }
    if (!run.exited)
        TerminateProcess(process.Get(), 0xDEAD);
    return run;
}

TEST(ThreadDebugger, DebuggersSeeTheNameFromBothSidesAndTheProcessGoesOn) {
    const tagDEBUGRUN run = RunUnderDebugger();
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(5u, run.exitCode);
    // Once from the starting thread, once from the new thread itself.
    ASSERT_EQ(2u, run.namings.size());
    for (const tagNAMING& naming : run.namings) {
        EXPECT_EQ(0x1000u, naming.type);
        EXPECT_EQ("QV: Helper worker", naming.name);
        EXPECT_EQ(run.namings[0].threadId, naming.threadId);
    }
    bool known = false;
    for (DWORD id : run.threadIds)
        known = known || id == run.namings[0].threadId;
    EXPECT_TRUE(known) << "the record names a thread of the helper";
}

}  // namespace
