// Attaching and detaching threads: the records in the shared process cache,
// inherited settings, reference counts, the thread table's limit, the log
// path and its rotation.
#include "support/QVDebug.h"
#include "support/QVDebugCache.h"
#include "support/ScopedWin.h"
#include "tests/support/TraceTestUtil.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <thread>

using namespace tracetest;

// Offsets other processes rely on, counted from the start of the mapping.
static_assert(offsetof(tagQVPROCESSCACHE, aProcesses) == 0, "process records start the cache");
static_assert(sizeof(tagQVPROCINFO) * QVCACHE_MAX_PROCESSES == 3212288, "32 records without gaps");
static_assert(offsetof(tagQVPROCINFO, aThreads) + 63 * sizeof(tagQVTHREADINFO) + offsetof(tagQVTHREADINFO, szLogPath) ==
                  32 + 63 * 1568 + 1056,
              "last thread record's path");

namespace {

tagQVPROCINFO* OwnProcess() { return QVCacheFindProcess(QVCacheGet(), GetCurrentProcessId()); }

tagQVTHREADINFO* OwnThread() {
    tagQVPROCINFO* pProc = OwnProcess();
    return pProc ? QVCacheFindThread(pProc, GetCurrentThreadId()) : nullptr;
}

class TraceAttach : public ::testing::Test {
protected:
    void SetUp() override { m_path = CurrentTestLogPath(); }
    void TearDown() override {
        DetachCurrentThread();
        DeleteFileW(m_path.c_str());
    }
    std::wstring m_path;
};

TEST_F(TraceAttach, FirstAttachmentFillsTheRecords) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_DEBUGGER | QVOUT_FILE, m_path.c_str(), 0, 5, 0x14));
    tagQVPROCINFO* pProc = OwnProcess();
    ASSERT_NE(nullptr, pProc);
    EXPECT_EQ(1, pProc->cRefCount);
    EXPECT_EQ(QVCACHE_LOCK_SIGNATURE, pProc->lock.dwSignature);
    const tagQVTHREADINFO& thread = pProc->aThreads[0];
    EXPECT_EQ(GetCurrentThreadId(), thread.dwThreadId);
    EXPECT_EQ(QVCACHE_MARKER, thread.dwMarker);
    EXPECT_EQ(1, thread.cRefCount);
    EXPECT_EQ(5u, thread.dwOutputFlags);
    EXPECT_EQ(3u, thread.dwDetails);
    EXPECT_EQ(0x14u, thread.dwContextFlags);
    EXPECT_EQ(5, thread.nVerboseLevel);
    EXPECT_EQ(m_path, thread.szLogPath);
    EXPECT_EQ(L"", std::wstring(thread.szIndent));
    EXPECT_EQ(0u, pProc->aThreads[1].dwThreadId);
    EXPECT_EQ(QVCACHE_MARKER, pProc->aThreads[1].dwMarker);

    // The mapping is the named one of the facility version.
    CQVHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, L"QVDEBUG_PROCESS_CACHE_VERSION_02"));
    ASSERT_TRUE(mapping.IsValid());
}

TEST_F(TraceAttach, NestedAttachmentsOnlyAddReferences) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, m_path.c_str(), 0, 5, 0x14));
    ASSERT_EQ(1, TraceInitEx(QVOUT_DEBUGGER, nullptr, 1, 2, 0x01));
    EXPECT_EQ(5, TraceGetVerboseLevel());
    ASSERT_NE(nullptr, OwnThread());
    EXPECT_EQ(2, OwnThread()->cRefCount);
    EXPECT_EQ(2, OwnProcess()->cRefCount);
    EXPECT_EQ(QVOUT_FILE, OwnThread()->dwOutputFlags);
    EXPECT_EQ(0x14u, OwnThread()->dwContextFlags);

    EXPECT_EQ(1, TraceTerminateThread(GetCurrentThreadId(), 1));
    ASSERT_NE(nullptr, OwnThread());
    EXPECT_EQ(1, OwnThread()->cRefCount);
    EXPECT_EQ(1, TraceTerminateThread(GetCurrentThreadId(), 1));
    EXPECT_EQ(nullptr, OwnProcess()) << "the last detach frees the process record";
    EXPECT_EQ(0, TraceTerminateThread(GetCurrentThreadId(), 1));
    EXPECT_EQ(0, TraceGetVerboseLevel());
    EXPECT_EQ(0, TraceSetVerboseLevel(3));
    EXPECT_EQ(0, TraceSetContextFlags(3));
}

TEST_F(TraceAttach, SecondThreadInheritsTheFirstThreadsSettings) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, m_path.c_str(), 0, QVL_DETAIL, 0x14));
    ASSERT_EQ(1, TraceSetDetails(1));
    const std::size_t bannerLines = ReadLines(m_path).size();

    tagQVTHREADINFO seen = {};
    int levelAfterSet = 0;
    std::thread second([&] {
        if (TraceInitEx(QVOUT_DEBUGGER, nullptr, 1, QVL_ERR, 0xFF) != 1)
            return;
        seen = *OwnThread();
        TracePrint(QVL_MSG, 0x10, L"from the second thread\n");
        TraceSetContextFlags(0x01);
        TraceSetVerboseLevel(QVL_USR);  // for every thread of the process
        TraceTerminateThread(TraceCurrentThreadId(), 1);
    });
    second.join();
    levelAfterSet = TraceGetVerboseLevel();

    EXPECT_EQ(QVOUT_FILE, seen.dwOutputFlags);
    EXPECT_EQ(1u, seen.dwDetails);
    EXPECT_EQ(0x14u, seen.dwContextFlags);
    EXPECT_EQ(QVL_DETAIL, seen.nVerboseLevel);
    EXPECT_EQ(m_path, seen.szLogPath);
    EXPECT_EQ(1, seen.cRefCount);
    EXPECT_EQ(QVL_USR, levelAfterSet);
    EXPECT_EQ(0x14u, OwnThread()->dwContextFlags) << "context flags are per thread";
    EXPECT_EQ(1, QVCacheUsedThreads(OwnProcess())) << "the second thread's record was freed";

    std::vector<std::wstring> lines = ReadLines(m_path);
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(bannerLines));
    wchar_t notice[128];
    std::swprintf(notice, 128, L"     QVDEBUG: Another thread (0x%X) has already attached to QVDEBUG  -> Keep old debug "
                               L"parameters", static_cast<unsigned>(GetCurrentThreadId()));
    EXPECT_EQ((std::vector<std::wstring>{L"     --- QVDEBUG -----------------------------------------------", notice,
                                         L"     " + std::wstring(59, L'-'), L"MSG  from the second thread"}),
              lines);
}

TEST_F(TraceAttach, DetachWithoutFreeingKeepsTheRecordForLater) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 5, QVC_ALL));
    tagQVTHREADINFO kept = {};
    std::thread second([&] {
        TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 5, QVC_ALL);
        TraceTerminateThread(TraceCurrentThreadId(), 0);
        kept = *OwnThread();
        // A second detach finds no reference to drop and leaves the counts alone.
        TraceTerminateThread(TraceCurrentThreadId(), 0);
        TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 5, QVC_ALL);
        TraceTerminateThread(TraceCurrentThreadId(), 1);
    });
    second.join();
    EXPECT_NE(0u, kept.dwThreadId);
    EXPECT_EQ(0, kept.cRefCount);
    EXPECT_EQ(1, OwnProcess()->cRefCount);
    EXPECT_EQ(1, QVCacheUsedThreads(OwnProcess()));
}

TEST_F(TraceAttach, UnknownThreadCannotDetach) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 5, QVC_ALL));
    EXPECT_EQ(0, TraceTerminateThread(0x7FFFFFF0, 1));
    EXPECT_EQ(1, OwnProcess()->cRefCount);
}

TEST_F(TraceAttach, SixtyFourThreadsFillTheTable) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 0, QVC_ALL));
    CQVHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE hRelease = release.Get();
    std::vector<std::thread> threads;
    std::vector<int> results(QVCACHE_MAX_THREADS, -1);
    for (int i = 0; i < QVCACHE_MAX_THREADS; ++i) {
        CQVHandle attached(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        const HANDLE hAttached = attached.Get();
        threads.emplace_back([&, i, hAttached] {
            results[i] = TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 0, QVC_ALL);
            SetEvent(hAttached);
            WaitForSingleObject(hRelease, INFINITE);
            if (results[i])
                TraceTerminateThread(TraceCurrentThreadId(), 1);
        });
        WaitForSingleObject(hAttached, INFINITE);  // in order: the last one is refused
    }
    EXPECT_EQ(QVCACHE_MAX_THREADS, QVCacheUsedThreads(OwnProcess()));
    EXPECT_EQ(QVCACHE_MAX_THREADS, OwnProcess()->cRefCount);
    SetEvent(hRelease);
    for (std::thread& thread : threads)
        thread.join();
    for (int i = 0; i < QVCACHE_MAX_THREADS - 1; ++i)
        EXPECT_EQ(1, results[i]) << "thread " << i;
    EXPECT_EQ(0, results[QVCACHE_MAX_THREADS - 1]);
    EXPECT_EQ(1, QVCacheUsedThreads(OwnProcess()));
    EXPECT_EQ(1, OwnProcess()->cRefCount);
}

TEST_F(TraceAttach, DefaultLogPathIsTheExeNameInTheCommonDataFolder) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, nullptr, 0, 0, QVC_ALL));
    wchar_t folder[MAX_PATH];
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder));
    m_path = std::wstring(folder) + L"\\Morvane\\test_support_trace.exe.log";
    EXPECT_EQ(m_path, OwnThread()->szLogPath);
}

TEST_F(TraceAttach, ForcedAttachmentReplacesOutputsOfAnAttachedThread) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, 5, QVC_ALL));
    int already = 0;
    ASSERT_EQ(1, TraceInitInternal(GetCurrentProcessId(), m_path.c_str(), GetCurrentThreadId(), QVOUT_FILE, 0, 1,
                                   &already));
    EXPECT_EQ(1, already);
    EXPECT_EQ(QVOUT_FILE, OwnThread()->dwOutputFlags);
    EXPECT_EQ(m_path, OwnThread()->szLogPath);
    EXPECT_EQ(2, OwnThread()->cRefCount);
}

class TraceRotation : public TraceAttach {
protected:
    std::wstring Numbered(int n) {
        wchar_t suffix[8];
        std::swprintf(suffix, 8, L"%02d", n);
        return m_path.substr(0, m_path.size() - 4) + suffix + L".log";
    }
    void TearDown() override {
        TraceAttach::TearDown();
        for (int n = 1; n <= 11; ++n)
            DeleteFileW(Numbered(n).c_str());
    }
};

TEST_F(TraceRotation, FewerThanTenOldLogsMoveUpByOne) {
    WriteTextFile(m_path, "current");
    for (int n = 1; n <= 3; ++n)
        WriteTextFile(Numbered(n), "old" + std::to_string(n));
    ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, m_path.c_str(), 1, 0, QVC_ALL));
    EXPECT_EQ("current", ReadTextFile(Numbered(1)));
    EXPECT_EQ("old1", ReadTextFile(Numbered(2)));
    EXPECT_EQ("old2", ReadTextFile(Numbered(3)));
    EXPECT_EQ("old3", ReadTextFile(Numbered(4)));
    EXPECT_FALSE(FileExists(Numbered(5)));
    EXPECT_FALSE(FileExists(m_path)) << "level 0: not even the banner";
}

TEST_F(TraceRotation, TheEleventhOldestIsDeleted) {
    WriteTextFile(m_path, "current");
    for (int n = 1; n <= 10; ++n)
        WriteTextFile(Numbered(n), "old" + std::to_string(n));
    ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, m_path.c_str(), 1, 1, QVC_ALL));
    EXPECT_EQ("current", ReadTextFile(Numbered(1)));
    EXPECT_EQ("old9", ReadTextFile(Numbered(10)));
    EXPECT_FALSE(FileExists(Numbered(11)));
    EXPECT_EQ(7u, ReadLines(m_path).size()) << "a new log with the banner";
}

TEST_F(TraceRotation, OnlyTheFirstAttachmentRotates) {
    ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, m_path.c_str(), 1, 1, QVC_ALL));
    std::thread second([] {
        TraceInitEx(QVOUT_FILE, nullptr, 1, 1, QVC_ALL);
        TraceTerminateThread(TraceCurrentThreadId(), 1);
    });
    second.join();
    EXPECT_FALSE(FileExists(Numbered(1)));
}

}  // namespace
