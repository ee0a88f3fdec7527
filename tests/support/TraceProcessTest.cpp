// The trace log across processes: a second process (trace_helper.exe) reads
// this process's records from the shared cache, attaches with its own
// settings, and shows its diagnostics to the debug loop of this test.
#include "support/QVDebug.h"
#include "support/QVDebugCache.h"
#include "support/ScopedWin.h"
#include "tests/support/TraceTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace tracetest;

namespace {

std::wstring Narrowless(const std::string& text) { return std::wstring(text.begin(), text.end()); }

bool Contains(const std::vector<std::wstring>& strings, const std::wstring& wanted) {
    return std::find(strings.begin(), strings.end(), wanted) != strings.end();
}

bool ContainsPart(const std::vector<std::wstring>& strings, const std::wstring& part) {
    return std::any_of(strings.begin(), strings.end(),
                       [&](const std::wstring& s) { return s.find(part) != std::wstring::npos; });
}

// The facility's own diagnostics, with their "QV: " prefix.
std::vector<std::wstring> Diagnostics(const tagRUNRESULT& run) {
    std::vector<std::wstring> diagnostics;
    for (const std::wstring& s : run.debugStrings) {
        if (s.rfind(L"QV:  ", 0) == 0)
            diagnostics.push_back(s.substr(5));
    }
    return diagnostics;
}

struct CCacheViewTraits {
    using Handle = tagQVPROCESSCACHE*;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { UnmapViewOfFile(h); }
};
using CCacheView = CQVScoped<CCacheViewTraits>;  // MapViewOfFile of a whole cache

// A page-file mapping of the cache's size under a private name.
class CPrivateCache {
public:
    explicit CPrivateCache(const wchar_t* suffix)
        : m_name(L"QVDEBUG_TEST_" + std::to_wstring(GetCurrentProcessId()) + L"_" + suffix),
          m_mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(tagQVPROCESSCACHE),
                                       m_name.c_str())) {
        if (m_mapping)
            m_view.Reset(static_cast<tagQVPROCESSCACHE*>(MapViewOfFile(m_mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0)));
    }
    tagQVPROCESSCACHE* Get() const { return m_view.Get(); }
    const std::wstring& Name() const { return m_name; }

private:
    std::wstring m_name;
    CQVHandle m_mapping;
    CCacheView m_view;  // after m_mapping: unmapped first
};

class TraceProcess : public ::testing::Test {
protected:
    void SetUp() override { m_path = CurrentTestLogPath(); }
    void TearDown() override {
        DetachCurrentThread();
        DeleteFileW(m_path.c_str());
    }
    std::wstring m_path;
};

TEST_F(TraceProcess, AnotherProcessSeesThisProcesssRecords) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, m_path.c_str(), 0, 5, 0x14));
    ASSERT_EQ(1, TraceSetDetails(2));
    CQVHandle attached(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CQVHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    unsigned secondId = 0;
    std::thread second([&] {
        TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 2, 0xFF);
        TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 2, 0xFF);
        secondId = TraceCurrentThreadId();
        SetEvent(attached.Get());
        WaitForSingleObject(release.Get(), INFINITE);
        DetachCurrentThread();
    });
    WaitForSingleObject(attached.Get(), INFINITE);
    const tagRUNRESULT run = RunHelper(L"record " + std::to_wstring(GetCurrentProcessId()));
    SetEvent(release.Get());
    second.join();

    ASSERT_EQ(0u, run.dwExitCode) << run.stdoutText;
    const std::wstring text = Narrowless(run.stdoutText);
    EXPECT_NE(std::wstring::npos, text.find(L"process refs=3 signature=0x4B4C5651\r\n")) << text;
    const std::wstring settings = L" marker=0xDEADBEEF refs=%d outputs=4 details=2 contexts=0x00000014 level=5 path=";
    for (unsigned id : {static_cast<unsigned>(GetCurrentThreadId()), secondId}) {
        const std::wstring refs = id == secondId ? L"2" : L"1";
        std::wstring line = L"thread=" + std::to_wstring(id) + settings + m_path + L"\r\n";
        line.replace(line.find(L"%d"), 2, refs);
        EXPECT_NE(std::wstring::npos, text.find(line)) << "missing " << std::string(line.begin(), line.end()) << " in\n"
                                                       << run.stdoutText;
    }
}

TEST_F(TraceProcess, AnotherProcessAttachesWithItsOwnSettings) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 5, 0x14));
    const std::wstring helperLog = TempLogPath(L"helper_own");
    DeleteFileW(helperLog.c_str());
    const tagRUNRESULT run = RunHelper(L"attach 4 2 0x10 \"" + helperLog + L"\"");
    ASSERT_EQ(0u, run.dwExitCode);
    EXPECT_EQ("level=2 details=3\r\n", run.stdoutText);
    const std::vector<std::wstring> lines = ReadLines(helperLog);
    DeleteFileW(helperLog.c_str());
    ASSERT_EQ(8u, lines.size());
    EXPECT_NE(std::wstring::npos, lines[4].find(L"MSG  Debug level   = 2    ")) << "its own banner";
    EXPECT_NE(std::wstring::npos, lines[7].find(L": MSG  helper line wide"));
    EXPECT_EQ(5, TraceGetVerboseLevel()) << "this process keeps its settings";
}

TEST_F(TraceProcess, ConsoleOutputGoesToStandardOutput) {
    const tagRUNRESULT run = RunHelper(L"attach 2 3 0xFFFFFFFF");
    ASSERT_EQ(0u, run.dwExitCode);
    EXPECT_NE(std::string::npos, run.stdoutText.find("MSG  --- QVDEBUG ---")) << run.stdoutText;
    EXPECT_NE(std::string::npos, run.stdoutText.find("MSG  helper line wide")) << run.stdoutText;
}

TEST_F(TraceProcess, DebuggerSeesAttachAndDetachDiagnostics) {
    const tagRUNRESULT run = RunHelper(L"attach 1 3 0xFFFFFFFF", true);
    ASSERT_EQ(0u, run.dwExitCode);
    const std::vector<std::wstring> diagnostics = Diagnostics(run);
    ASSERT_FALSE(diagnostics.empty()) << "no debug strings reached the debugger";
    // The ids are the helper's; only their shape is known here.
    const std::wstring& first = diagnostics[0];
    const std::size_t idsEnd = first.find(L" TraceInitEx\n");
    ASSERT_NE(std::wstring::npos, idsEnd) << std::string(first.begin(), first.end());
    const std::wstring ids = first.substr(0, idsEnd);
    EXPECT_TRUE(Contains(diagnostics, ids + L" TraceInitEx() QVDEBUG Version 2: #Processes=32 #Threads=64 "
                                            L"Memory=3136 KB\n"));
    EXPECT_TRUE(Contains(diagnostics, L"TraceSetVerboseLevel(3)\n"));
    EXPECT_TRUE(Contains(diagnostics, ids + L" TraceTerminateThread() Reference count - Process 1 -> 0 / Thread  1 -> 0 "
                                            L"/ LAST THREAD REF released\n"));
    EXPECT_TRUE(Contains(diagnostics, ids + L" TraceTerminateThread() Last reference for this process was removed!\n"));
    // Lines for the debugger output itself come without "QV: ".
    EXPECT_TRUE(ContainsPart(run.debugStrings, L"MSG  --- QVDEBUG ---"));
    EXPECT_TRUE(ContainsPart(run.debugStrings, L": MSG  helper line wide\n"));
}

TEST_F(TraceProcess, DebuggerSeesCallsBeforeAttaching) {
    const tagRUNRESULT run = RunHelper(L"unattached", true);
    ASSERT_EQ(0u, run.dwExitCode);
    EXPECT_TRUE(Contains(Diagnostics(run),
                         L"QVDEBUG_GetProcInfoPtr() - ERROR function called before TraceInitInternal()\n"));
    EXPECT_FALSE(ContainsPart(run.debugStrings, L"never written"));
}

TEST_F(TraceProcess, FullThreadTableIsReported) {
    const tagRUNRESULT run = RunHelper(L"threads", true);
    EXPECT_EQ(0u, run.dwExitCode) << "63 threads attach besides the main thread, the next one is refused";
    EXPECT_TRUE(ContainsPart(Diagnostics(run), L" TraceInitInternal() Thread "));
    EXPECT_TRUE(ContainsPart(Diagnostics(run), L" not found: Max. number of threads (64) reached!!! \n"));
}

TEST(TraceProcessCache, FullProcessTableRefusesAttachment) {
    CPrivateCache cache(L"full");
    ASSERT_NE(nullptr, cache.Get());
    for (int i = 0; i < QVCACHE_MAX_PROCESSES; ++i) {
        cache.Get()->aProcesses[i].dwProcessId = 0x7FFF0000u + static_cast<unsigned>(i);
        cache.Get()->aProcesses[i].cRefCount = 1;
    }
    EXPECT_EQ(2u, RunHelper(L"--cache " + cache.Name() + L" attach 1 3 0xFFFFFFFF").dwExitCode);

    cache.Get()->aProcesses[17].dwProcessId = 0;  // one free record is enough
    cache.Get()->aProcesses[17].cRefCount = 0;
    EXPECT_EQ(0u, RunHelper(L"--cache " + cache.Name() + L" attach 1 3 0xFFFFFFFF").dwExitCode);
    EXPECT_EQ(0u, cache.Get()->aProcesses[17].dwProcessId) << "the helper's last detach freed its record again";
    EXPECT_EQ(QVCACHE_MARKER, cache.Get()->aProcesses[17].aThreads[0].dwMarker);
}

TEST(TraceProcessCache, ReleaseZeroFillsAnExistingCache) {
    CPrivateCache cache(L"release");
    ASSERT_NE(nullptr, cache.Get());
    cache.Get()->aProcesses[3].dwProcessId = 1234;
    cache.Get()->aProcesses[31].aThreads[63].szLogPath[255] = L'x';
    EXPECT_EQ(0u, RunHelper(L"--cache " + cache.Name() + L" release").dwExitCode);
    const auto* pBytes = reinterpret_cast<const unsigned char*>(cache.Get());
    EXPECT_TRUE(std::all_of(pBytes, pBytes + sizeof(tagQVPROCESSCACHE), [](unsigned char b) { return b == 0; }));

    EXPECT_EQ(1u, RunHelper(L"--cache " + cache.Name() + L"_none release").dwExitCode)
        << "no cache to release: nothing is created";
}

}  // namespace
