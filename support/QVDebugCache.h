#pragma once
// The trace log's process cache: one named, page-file-backed mapping that every
// process using this facility version shares, 32-bit and 64-bit builds alike.
// Every field therefore has a fixed size and offset, checked below; pointers and
// Windows types that change size with the build have no place in it.
//
// Internal to the trace log (QVDebug*.cpp) and its tests; other code uses
// support/QVDebug.h.

#include <cstddef>
#include <cstdint>

constexpr int QVCACHE_MAX_PROCESSES = 32;
constexpr int QVCACHE_MAX_THREADS = 64;
constexpr int QVCACHE_INDENT_UNITS = 512;  // with terminator
constexpr int QVCACHE_PATH_UNITS = 256;    // with terminator
constexpr std::uint32_t QVCACHE_MARKER = 0xDEADBEEF;
constexpr std::uint32_t QVCACHE_RESET_DETAILS = 3;

static_assert(sizeof(wchar_t) == 2, "the cache stores UTF-16 text");

// Per-thread settings and state (1,568 bytes).
struct tagQVTHREADINFO {
    std::uint32_t dwMarker;                      // QVCACHE_MARKER once reset
    std::uint32_t dwThreadId;                    // 0 = free
    std::uint32_t dwMemBaselineKB;               // working set at the previous line
    wchar_t szIndent[QVCACHE_INDENT_UNITS];      // one '|' per open scope
    std::uint32_t dwOutputFlags;                 // QVOUT_* bits
    std::uint32_t dwDetails;                     // line-prefix style, 0 = no output
    std::uint32_t dwContextFlags;
    std::int32_t nVerboseLevel;
    std::int8_t cRefCount;                       // 8-bit, compared as signed
    std::uint8_t bReserved;
    std::uint16_t wZero;
    wchar_t szLogPath[QVCACHE_PATH_UNITS];
};

// The process's attach lock. Only threads of the owning process ever use it, so
// the real lock is an SRWLOCK in the process's own memory (QVDebugCache.cpp):
// a CRITICAL_SECTION is 24 bytes in a 32-bit process but 40 in a 64-bit one and
// would not fit a layout both share, and an SRWLOCK needs no initialisation,
// so it works while static constructors (the program's CQVTraceInit) still run.
// These 24 bytes only mark the record as initialised by its owner.
struct tagQVATTACHLOCK {
    std::uint32_t dwSignature;  // QVCACHE_LOCK_SIGNATURE while the record is in use
    std::uint32_t dwOwnerProcessId;
    std::uint32_t adwReserved[4];
};
constexpr std::uint32_t QVCACHE_LOCK_SIGNATURE = 0x4B4C5651;  // "QVLK"

// Per-process record (100,384 bytes).
struct tagQVPROCINFO {
    std::int8_t cRefCount;          // only the low byte of the 32-bit field counts
    std::uint8_t abRefPad[3];
    std::uint32_t dwProcessId;      // 0 = free
    tagQVATTACHLOCK lock;
    tagQVTHREADINFO aThreads[QVCACHE_MAX_THREADS];
};

struct tagQVPROCESSCACHE {
    tagQVPROCINFO aProcesses[QVCACHE_MAX_PROCESSES];
};

static_assert(offsetof(tagQVTHREADINFO, dwMarker) == 0, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, dwThreadId) == 4, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, dwMemBaselineKB) == 8, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, szIndent) == 12, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, dwOutputFlags) == 1036, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, dwDetails) == 1040, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, dwContextFlags) == 1044, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, nVerboseLevel) == 1048, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, cRefCount) == 1052, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, bReserved) == 1053, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, wZero) == 1054, "thread record layout");
static_assert(offsetof(tagQVTHREADINFO, szLogPath) == 1056, "thread record layout");
static_assert(sizeof(tagQVTHREADINFO) == 1568, "thread record layout");

static_assert(sizeof(tagQVATTACHLOCK) == 24, "attach lock layout");

static_assert(offsetof(tagQVPROCINFO, cRefCount) == 0, "process record layout");
static_assert(offsetof(tagQVPROCINFO, dwProcessId) == 4, "process record layout");
static_assert(offsetof(tagQVPROCINFO, lock) == 8, "process record layout");
static_assert(offsetof(tagQVPROCINFO, aThreads) == 32, "process record layout");
static_assert(sizeof(tagQVPROCINFO) == 100384, "process record layout");

static_assert(sizeof(tagQVPROCESSCACHE) == 3212288, "process cache layout");

// "QVDEBUG_PROCESS_CACHE_VERSION_02".
extern const wchar_t QVCACHE_NAME[];

// The cache of this process: opens or creates the mapping on first use (a new
// one is zero). Null, after a diagnostic, when it cannot be created or mapped.
tagQVPROCESSCACHE* QVCacheGet();
// Unmaps this process's view and closes its handle; the next QVCacheGet maps again.
void QVCacheClose();
// Maps the existing cache only (never creates one). Null when there is none.
tagQVPROCESSCACHE* QVCacheGetExisting();

tagQVPROCINFO* QVCacheFindProcess(tagQVPROCESSCACHE* pCache, std::uint32_t dwProcessId);
// Claims the first free process record for dwProcessId (atomically, other
// processes claim too), initialises it and resets its thread records.
tagQVPROCINFO* QVCacheClaimProcess(tagQVPROCESSCACHE* pCache, std::uint32_t dwProcessId);
void QVCacheReleaseProcess(tagQVPROCINFO* pProc);
// True while some process record holds a reference.
bool QVCacheAnyProcessAttached(const tagQVPROCESSCACHE* pCache);

tagQVTHREADINFO* QVCacheFindThread(tagQVPROCINFO* pProc, std::uint32_t dwThreadId);
tagQVTHREADINFO* QVCacheFindFreeThread(tagQVPROCINFO* pProc);
int QVCacheUsedThreads(const tagQVPROCINFO* pProc);
void QVCacheResetThread(tagQVTHREADINFO* pThread);

// Serialises attaching and detaching among the threads of this process.
class CQVAttachLock {
public:
    CQVAttachLock();
    ~CQVAttachLock();
    CQVAttachLock(const CQVAttachLock&) = delete;
    CQVAttachLock& operator=(const CQVAttachLock&) = delete;
};

// Tests: use another mapping name, so that a test can fill or wipe a cache of
// its own without disturbing other processes. Only before the first QVCacheGet
// of the process (or after QVCacheClose); null restores the real name.
void QVCacheSetNameForTesting(const wchar_t* name);
