// The trace log's process cache: the shared mapping and its records.
#include "support/QVDebugCache.h"

#include "support/QVDebugOutput.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <cwchar>

const wchar_t QVCACHE_NAME[] = L"QVDEBUG_PROCESS_CACHE_VERSION_02";

namespace {

// All of these are constant-initialised: the program's global CQVTraceInit may
// attach before any dynamic initialiser of this file has run.
SRWLOCK g_attachLock = SRWLOCK_INIT;
SRWLOCK g_mappingLock = SRWLOCK_INIT;
std::atomic<tagQVPROCESSCACHE*> g_pCache{nullptr};
HANDLE g_hMapping = nullptr;
const wchar_t* g_pszTestName = nullptr;

const wchar_t* MappingName() { return g_pszTestName ? g_pszTestName : QVCACHE_NAME; }

// Maps a view of hMapping and keeps both as this process's cache; closes the
// handle again when the view fails. Caller holds g_mappingLock.
tagQVPROCESSCACHE* AdoptMapping(HANDLE hMapping) {
    void* pView = MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(tagQVPROCESSCACHE));
    if (!pView) {
        QVDiagnostic(L"QVDEBUG_GM_GetProcessCachePtr(): ERROR: Could not map view of file.");
        CloseHandle(hMapping);
        return nullptr;
    }
    g_hMapping = hMapping;
    auto* pCache = static_cast<tagQVPROCESSCACHE*>(pView);
    g_pCache.store(pCache, std::memory_order_release);
    return pCache;
}

}  // namespace

tagQVPROCESSCACHE* QVCacheGet() {
    tagQVPROCESSCACHE* pCache = g_pCache.load(std::memory_order_acquire);
    if (pCache)
        return pCache;
    AcquireSRWLockExclusive(&g_mappingLock);
    pCache = g_pCache.load(std::memory_order_acquire);
    if (!pCache) {
        // A new page-file section is zero already. Filling it again here could
        // wipe a record that another process wrote since the mapping was created.
        HANDLE hMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                             sizeof(tagQVPROCESSCACHE), MappingName());
        if (!hMapping)
            QVDiagnostic(L"QVDEBUG_GM_GetProcessCachePtr(): ERROR: Could not create file mapping object.");
        else
            pCache = AdoptMapping(hMapping);
    }
    ReleaseSRWLockExclusive(&g_mappingLock);
    return pCache;
}

tagQVPROCESSCACHE* QVCacheGetExisting() {
    tagQVPROCESSCACHE* pCache = g_pCache.load(std::memory_order_acquire);
    if (pCache)
        return pCache;
    AcquireSRWLockExclusive(&g_mappingLock);
    pCache = g_pCache.load(std::memory_order_acquire);
    if (!pCache) {
        HANDLE hMapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, MappingName());
        if (hMapping)
            pCache = AdoptMapping(hMapping);
    }
    ReleaseSRWLockExclusive(&g_mappingLock);
    return pCache;
}

void QVCacheClose() {
    AcquireSRWLockExclusive(&g_mappingLock);
    tagQVPROCESSCACHE* pCache = g_pCache.exchange(nullptr, std::memory_order_acq_rel);
    if (pCache)
        UnmapViewOfFile(pCache);
    if (g_hMapping)
        CloseHandle(g_hMapping);
    g_hMapping = nullptr;
    ReleaseSRWLockExclusive(&g_mappingLock);
}

void QVCacheSetNameForTesting(const wchar_t* name) {
    AcquireSRWLockExclusive(&g_mappingLock);
    g_pszTestName = name;
    ReleaseSRWLockExclusive(&g_mappingLock);
}

tagQVPROCINFO* QVCacheFindProcess(tagQVPROCESSCACHE* pCache, std::uint32_t dwProcessId) {
    if (!pCache || dwProcessId == 0)
        return nullptr;
    for (tagQVPROCINFO& proc : pCache->aProcesses) {
        if (proc.dwProcessId == dwProcessId)
            return &proc;
    }
    return nullptr;
}

tagQVPROCINFO* QVCacheClaimProcess(tagQVPROCESSCACHE* pCache, std::uint32_t dwProcessId) {
    for (tagQVPROCINFO& proc : pCache->aProcesses) {
        // Other processes claim records at the same time; only one may win each.
        std::uint32_t dwFree = 0;
        if (!__atomic_compare_exchange_n(&proc.dwProcessId, &dwFree, dwProcessId, false, __ATOMIC_SEQ_CST,
                                         __ATOMIC_SEQ_CST))
            continue;
        proc.cRefCount = 0;
        proc.lock = tagQVATTACHLOCK{QVCACHE_LOCK_SIGNATURE, dwProcessId, {}};
        for (tagQVTHREADINFO& thread : proc.aThreads)
            QVCacheResetThread(&thread);
        return &proc;
    }
    return nullptr;
}

void QVCacheReleaseProcess(tagQVPROCINFO* pProc) {
    for (tagQVTHREADINFO& thread : pProc->aThreads)
        QVCacheResetThread(&thread);
    pProc->lock = tagQVATTACHLOCK{};
    __atomic_store_n(&pProc->dwProcessId, 0u, __ATOMIC_SEQ_CST);
}

bool QVCacheAnyProcessAttached(const tagQVPROCESSCACHE* pCache) {
    for (const tagQVPROCINFO& proc : pCache->aProcesses) {
        if (proc.dwProcessId != 0 && proc.cRefCount > 0)
            return true;
    }
    return false;
}

tagQVTHREADINFO* QVCacheFindThread(tagQVPROCINFO* pProc, std::uint32_t dwThreadId) {
    if (dwThreadId == 0)
        return nullptr;
    for (tagQVTHREADINFO& thread : pProc->aThreads) {
        if (thread.dwThreadId == dwThreadId)
            return &thread;
    }
    return nullptr;
}

tagQVTHREADINFO* QVCacheFindFreeThread(tagQVPROCINFO* pProc) {
    for (tagQVTHREADINFO& thread : pProc->aThreads) {
        if (thread.dwThreadId == 0)
            return &thread;
    }
    return nullptr;
}

int QVCacheUsedThreads(const tagQVPROCINFO* pProc) {
    int nUsed = 0;
    for (const tagQVTHREADINFO& thread : pProc->aThreads) {
        if (thread.dwThreadId != 0)
            ++nUsed;
    }
    return nUsed;
}

void QVCacheResetThread(tagQVTHREADINFO* pThread) {
    std::memset(pThread, 0, sizeof(*pThread));
    pThread->dwMarker = QVCACHE_MARKER;
    pThread->dwDetails = QVCACHE_RESET_DETAILS;
}

CQVAttachLock::CQVAttachLock() { AcquireSRWLockExclusive(&g_attachLock); }
CQVAttachLock::~CQVAttachLock() { ReleaseSRWLockExclusive(&g_attachLock); }
