// QVDEBUG on Windows: attachment, settings and output over the shared process
// cache (QVDebugCache.cpp), lines assembled and routed by QVDebugOutput.cpp.
#include "support/QVDebug.h"

#include "support/QVDebugCache.h"
#include "support/QVDebugLogFile.h"
#include "support/QVDebugOutput.h"
#include "support/QVDebugWin.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <cwchar>

namespace {

constexpr wchar_t kDashedHead[] = L"--- QVDEBUG -----------------------------------------------\n";
constexpr wchar_t kDashedTail[] = L"-----------------------------------------------------------\n";
constexpr wchar_t kNotAttached[] = L"QVDEBUG_GetProcInfoPtr() - ERROR function called before TraceInitInternal()\n";
constexpr std::int8_t kMaxRefCount = 127;
// The native stand-in keeps its indentation in a buffer of this size: both
// stop indenting at the same depth.
static_assert(QVCACHE_INDENT_UNITS == QVINDENT_UNITS, "indentation of the cache and of the stand-in");

// The calling process's record while it is attached; otherwise null after the
// "called before" diagnostic.
tagQVPROCINFO* AttachedProcess() {
    tagQVPROCESSCACHE* pCache = QVCacheGet();
    if (!pCache)
        return nullptr;
    tagQVPROCINFO* pProc = QVCacheFindProcess(pCache, GetCurrentProcessId());
    if (!pProc || pProc->cRefCount <= 0) {
        QVDiagnostic(L"%ls", kNotAttached);
        return nullptr;
    }
    return pProc;
}

tagQVTHREADINFO* CurrentThread() {
    tagQVPROCINFO* pProc = AttachedProcess();
    return pProc ? QVCacheFindThread(pProc, GetCurrentThreadId()) : nullptr;
}

bool Passes(const tagQVTHREADINFO& thread, int level, unsigned contextMask) {
    return thread.nVerboseLevel >= level && (contextMask & thread.dwContextFlags) != 0 && thread.dwOutputFlags != 0 &&
           thread.dwDetails != 0;
}

// The calling thread's record if a message of this level and mask is written.
tagQVTHREADINFO* PassingThread(int level, unsigned contextMask) {
    tagQVTHREADINFO* pThread = CurrentThread();
    return pThread && Passes(*pThread, level, contextMask) ? pThread : nullptr;
}

void WriteFormatted(tagQVTHREADINFO* pThread, int level, const wchar_t* marker, const wchar_t* format, va_list args) {
    wchar_t text[QVLINE_UNITS];
    QVFormatV(text, QVLINE_UNITS, format, args);
    QVWriteLine(pThread, level, marker, text);
}

void WriteLine(tagQVTHREADINFO* pThread, int level, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    WriteFormatted(pThread, level, QVMARK_TEXT, format, args);
    va_end(args);
}

void CopyPath(wchar_t* target, const wchar_t* source) {
    QVFormat(target, QVCACHE_PATH_UNITS, L"%ls", source ? source : L"");
}

void InheritFromFirstThread(const tagQVPROCINFO& proc, tagQVTHREADINFO* pThread) {
    const tagQVTHREADINFO& first = proc.aThreads[0];
    if (first.dwThreadId == 0 || &first == pThread)
        return;
    pThread->dwOutputFlags = first.dwOutputFlags;
    pThread->dwDetails = first.dwDetails;
    pThread->dwContextFlags = first.dwContextFlags;
    pThread->nVerboseLevel = first.nVerboseLevel;
    pThread->dwMemBaselineKB = first.dwMemBaselineKB;
    CopyPath(pThread->szLogPath, first.szLogPath);
}

void ReportThreadNotFound(const wchar_t* prefix, const wchar_t* lead, const tagQVPROCINFO& proc, unsigned threadId) {
    const int nUsed = QVCacheUsedThreads(&proc);
    if (nUsed >= QVCACHE_MAX_THREADS)
        QVDiagnostic(L"%ls%ls Thread %04X not found: Max. number of threads (%d) reached!!! \n", lead, prefix, threadId,
                     QVCACHE_MAX_THREADS);
    else
        QVDiagnostic(L"%ls%ls Thread %04X not found: Currently %d threads are active!!!\n", lead, prefix, threadId,
                     nUsed);
}

void WriteBanner(const tagQVTHREADINFO& thread) {
    tagQVTHREADINFO* pThread = PassingThread(QVL_MSG, QVC_ALL);
    if (!pThread)
        return;
    wchar_t date[16];
    wchar_t time[16];
    _wstrdate(date);
    _wstrtime(time);
    WriteLine(pThread, QVL_MSG, L"%ls", kDashedHead);
    WriteLine(pThread, QVL_MSG, L"Build time    = %ls, %ls (last rebuild of QVDEBUG)\n", _CRT_WIDE(__DATE__),
              _CRT_WIDE(__TIME__));
    WriteLine(pThread, QVL_MSG, L"Run time      = %ls, %ls\n", date, time);
    WriteLine(pThread, QVL_MSG, L"Logfile       = %ls    \n", thread.szLogPath);
    WriteLine(pThread, QVL_MSG, L"Debug level   = %d    \n", static_cast<int>(thread.nVerboseLevel));
    WriteLine(pThread, QVL_MSG, L"Context flags = 0x%08X\n", static_cast<unsigned>(thread.dwContextFlags));
    WriteLine(pThread, QVL_MSG, L"%ls", kDashedTail);
}

}  // namespace

int TraceInitEx(unsigned outputFlags, const wchar_t* logPath, int rotate, int level, unsigned contextFlags) {
    const unsigned processId = GetCurrentProcessId();
    const unsigned threadId = GetCurrentThreadId();
    QVDiagnostic(L"%04X-%04X %ls\n", processId, threadId, L"TraceInitEx");
    int alreadyAttached = 0;
    if (!TraceInitInternal(processId, logPath, threadId, outputFlags, rotate, 0, &alreadyAttached))
        return 0;

    tagQVTHREADINFO* pThread = CurrentThread();
    if (!pThread)
        return 0;
    if (alreadyAttached) {
        tagQVTHREADINFO* pPassing = Passes(*pThread, QVL_DETAIL, QVC_ALL) ? pThread : nullptr;
        if (pPassing) {
            const tagQVPROCINFO* pProc = QVCacheFindProcess(QVCacheGet(), processId);
            const unsigned firstThreadId = pProc ? pProc->aThreads[0].dwThreadId : 0;
            WriteLine(pPassing, QVL_DETAIL, L"%ls", kDashedHead);
            WriteLine(pPassing, QVL_DETAIL, L"QVDEBUG: Another thread (0x%X) has already attached to QVDEBUG %ls",
                      firstThreadId, L" -> Keep old debug parameters\n");
            WriteLine(pPassing, QVL_DETAIL, L"%ls", kDashedTail);
        }
        return 1;
    }

    // The memory of the thread records, as earlier versions reported it.
    const int nMemoryKB = QVCACHE_MAX_PROCESSES * QVCACHE_MAX_THREADS * static_cast<int>(sizeof(tagQVTHREADINFO)) / 1024;
    QVDiagnostic(L"%04X-%04X TraceInitEx() QVDEBUG Version %d: #Processes=%d #Threads=%d Memory=%d KB\n", processId,
                 threadId, QVDEBUG_VERSION, QVCACHE_MAX_PROCESSES, QVCACHE_MAX_THREADS, nMemoryKB);
    TraceSetVerboseLevel(level);
    TraceSetContextFlags(contextFlags);
    WriteBanner(*pThread);
    return 1;
}

int TraceInitInternal(unsigned processId, const wchar_t* logPath, unsigned threadId, unsigned outputFlags, int rotate,
                      int force, int* alreadyAttached) {
    if (alreadyAttached)
        *alreadyAttached = 0;
    wchar_t prefix[64];
    QVFormat(prefix, 64, L"%04X-%04X %ls()", static_cast<unsigned>(GetCurrentProcessId()),
             static_cast<unsigned>(GetCurrentThreadId()), L"TraceInitInternal");

    // The cache only inside the lock: the last thread to detach unmaps it
    // under the same lock, and a view taken before would be gone.
    CQVAttachLock lock;
    tagQVPROCESSCACHE* pCache = QVCacheGet();
    if (!pCache)
        return 0;
    tagQVPROCINFO* pProc = QVCacheFindProcess(pCache, processId);
    if (!pProc)
        pProc = QVCacheClaimProcess(pCache, processId);
    if (!pProc) {
        QVDiagnostic(L"%ls Process %04X not found: Max. number of processes (%d) reached!!! \n", prefix, processId,
                     QVCACHE_MAX_PROCESSES);
        return 0;
    }
    // The 8-bit counts would wrap to negative and end the process's logging.
    if (pProc->cRefCount >= kMaxRefCount) {
        QVDiagnostic(L"%ls Process %04X: too many references (%d)!!!\n", prefix, processId, pProc->cRefCount);
        return 0;
    }

    tagQVTHREADINFO* pThread = QVCacheFindThread(pProc, threadId);
    if (!pThread) {
        pThread = QVCacheFindFreeThread(pProc);
        if (!pThread) {
            ReportThreadNotFound(prefix, L"", *pProc, threadId);
            return 0;
        }
        QVCacheResetThread(pThread);
        pThread->dwThreadId = threadId;
        InheritFromFirstThread(*pProc, pThread);
    } else if (pThread->cRefCount >= kMaxRefCount) {
        QVDiagnostic(L"%ls Thread %04X: too many references (%d)!!!\n", prefix, threadId, pThread->cRefCount);
        return 0;
    }

    const bool isAttached = pProc->cRefCount > 0;
    if ((!isAttached && pThread->cRefCount <= 0) || force == 1) {
        pThread->dwOutputFlags = outputFlags;
        if (outputFlags & QVOUT_FILE) {
            wchar_t path[MAX_PATH] = L"";
            if (logPath && *logPath)
                QVFormat(path, MAX_PATH, L"%ls", logPath);
            else
                QVDefaultLogPath(path, MAX_PATH);
            CopyPath(pThread->szLogPath, path);
            if (rotate == 1)
                QVRotateLogs(pThread->szLogPath);
        }
    }
    ++pThread->cRefCount;
    ++pProc->cRefCount;
    if (alreadyAttached)
        *alreadyAttached = isAttached ? 1 : 0;
    return 1;
}

int TraceTerminateThread(unsigned threadId, int freeSlot) {
    wchar_t prefix[64];
    QVFormat(prefix, 64, L"%04X-%04X %ls()", static_cast<unsigned>(GetCurrentProcessId()),
             static_cast<unsigned>(GetCurrentThreadId()), L"TraceTerminateThread");

    CQVAttachLock lock;
    tagQVPROCESSCACHE* pCache = QVCacheGet();
    if (!pCache)
        return 0;
    tagQVPROCINFO* pProc = QVCacheFindProcess(pCache, GetCurrentProcessId());
    if (!pProc || pProc->cRefCount <= 0) {
        QVDiagnostic(L"%ls", kNotAttached);
        return 0;
    }
    // A record without references holds none of the process's count either.
    tagQVTHREADINFO* pThread = QVCacheFindThread(pProc, threadId);
    if (!pThread || pThread->cRefCount <= 0) {
        ReportThreadNotFound(prefix, L"WARNING: ", *pProc, threadId);
        return 0;
    }

    const int nOldProcess = pProc->cRefCount;
    const int nOldThread = pThread->cRefCount;
    --pProc->cRefCount;
    --pThread->cRefCount;
    const int nNewProcess = pProc->cRefCount;
    const int nNewThread = pThread->cRefCount;
    if (nOldThread == 1 && freeSlot == 1)
        QVCacheResetThread(pThread);
    QVDiagnostic(L"%ls Reference count - Process %d -> %d / Thread  %d -> %d %ls\n", prefix, nOldProcess, nNewProcess,
                 nOldThread, nNewThread, nNewThread == 0 ? L"/ LAST THREAD REF released" : L"");
    if (nNewProcess > 0)
        return 1;

    QVCacheReleaseProcess(pProc);
    QVDiagnostic(L"%ls Last reference for this process was removed!\n", prefix);
    if (QVCacheAnyProcessAttached(pCache))
        return 1;
    QVDiagnostic(L"%ls Last process was removed!\n", prefix);
    QVCacheClose();
    return 1;
}

int TraceSetVerboseLevel(int level) {
    QVDiagnostic(L"%ls(%d)\n", L"TraceSetVerboseLevel", level);
    tagQVPROCINFO* pProc = AttachedProcess();
    if (!pProc)
        return 0;
    for (tagQVTHREADINFO& thread : pProc->aThreads) {
        if (thread.dwThreadId != 0)
            thread.nVerboseLevel = level;
    }
    return 1;
}

int TraceSetDetails(int details) {
    QVDiagnostic(L"%ls(%d)\n", L"TraceSetDetails", details);
    tagQVPROCINFO* pProc = AttachedProcess();
    if (!pProc)
        return 0;
    for (tagQVTHREADINFO& thread : pProc->aThreads) {
        if (thread.dwThreadId != 0)
            thread.dwDetails = static_cast<std::uint32_t>(details);
    }
    return 1;
}

int TraceSetContextFlags(unsigned flags) {
    tagQVTHREADINFO* pThread = CurrentThread();
    if (!pThread)
        return 0;
    pThread->dwContextFlags = flags;
    return 1;
}

int TraceGetVerboseLevel() {
    const tagQVTHREADINFO* pThread = CurrentThread();
    return pThread ? pThread->nVerboseLevel : 0;
}

int TraceGetDetails() {
    const tagQVTHREADINFO* pThread = CurrentThread();
    return pThread ? static_cast<int>(pThread->dwDetails) : 0;
}

int TraceReleaseGlobalMemory() {
    tagQVPROCESSCACHE* pCache = QVCacheGetExisting();
    if (!pCache)
        return 0;
    QVDiagnostic(L"TraceReleaseGlobalMemory() - Release global memory");
    std::memset(pCache, 0, sizeof(*pCache));
    QVCacheClose();
    return 1;
}

unsigned TraceCurrentThreadId() { return GetCurrentThreadId(); }

bool TracePasses(int level, unsigned contextMask) { return PassingThread(level, contextMask) != nullptr; }

void TracePrint(int level, unsigned contextMask, const wchar_t* format, ...) {
    tagQVTHREADINFO* pThread = PassingThread(level, contextMask);
    if (!pThread)
        return;
    va_list args;
    va_start(args, format);
    WriteFormatted(pThread, level, QVMARK_TEXT, format, args);
    va_end(args);
}

void TraceEnter(int level, unsigned contextMask, const wchar_t* format, ...) {
    tagQVTHREADINFO* pThread = PassingThread(level, contextMask);
    if (!pThread)
        return;
    va_list args;
    va_start(args, format);
    WriteFormatted(pThread, level, QVMARK_ENTER, format, args);
    va_end(args);
    QVIndentEnter(pThread->szIndent, QVCACHE_INDENT_UNITS);
}

void TraceLeave(int level, unsigned contextMask, const wchar_t* format, ...) {
    tagQVTHREADINFO* pThread = PassingThread(level, contextMask);
    if (!pThread)
        return;
    QVIndentLeave(pThread->szIndent, QVCACHE_INDENT_UNITS);
    va_list args;
    va_start(args, format);
    WriteFormatted(pThread, level, QVMARK_LEAVE, format, args);
    va_end(args);
}

void TraceResult(int level, unsigned contextMask, const wchar_t* text, long result) {
    tagQVTHREADINFO* pThread = PassingThread(level, contextMask);
    if (!pThread)
        return;
    wchar_t first[QVLINE_UNITS];
    const bool explain = QVFormatResult(first, QVLINE_UNITS, text, result);
    QVWriteLine(pThread, level, QVMARK_TEXT, first);
    if (!explain)
        return;
    wchar_t error[QVLINE_UNITS];
    TraceFormatError(error, static_cast<DWORD>(result), QVLINE_UNITS, FALSE);
    WriteLine(pThread, level, L"-> %ls\n", error);
}

void TraceHexDump(const void* data, std::uintptr_t baseAddress, std::size_t firstOffset, std::size_t byteCount) {
    tagQVTHREADINFO* pThread = PassingThread(QVL_INFO, QVC_ALL);
    if (!pThread || !data || byteCount == 0)
        return;
    const auto* pBytes = static_cast<const unsigned char*>(data);
    const std::size_t end = byteCount > SIZE_MAX - firstOffset ? SIZE_MAX : firstOffset + byteCount;
    for (std::size_t row = firstOffset & ~static_cast<std::size_t>(15); row < end; row += 16) {
        wchar_t text[QVLINE_UNITS];
        wchar_t cell[8];
        QVFormat(text, QVLINE_UNITS, L"%08x:", static_cast<unsigned>(baseAddress + row));
        for (std::size_t i = row; i < row + 16; ++i) {
            if (i >= firstOffset && i < end)
                QVFormat(cell, 8, L" %02x", pBytes[i]);
            else
                QVFormat(cell, 8, L"   ");
            QVAppend(text, QVLINE_UNITS, cell);
        }
        QVAppend(text, QVLINE_UNITS, L"  |");
        for (std::size_t i = row; i < row + 16; ++i) {
            wchar_t ch = L' ';
            if (i >= firstOffset && i < end)
                ch = (pBytes[i] >= 32 && pBytes[i] <= 126) ? static_cast<wchar_t>(pBytes[i]) : L'.';
            const wchar_t chars[2] = {ch, L'\0'};
            QVAppend(text, QVLINE_UNITS, chars);
        }
        QVAppend(text, QVLINE_UNITS, L"\n");

        const std::uint32_t dwDetails = pThread->dwDetails;
        pThread->dwDetails = 1;
        QVWriteLine(pThread, QVL_INFO, QVMARK_TEXT, text);
        pThread->dwDetails = dwDetails;
        if (row > SIZE_MAX - 16)
            break;
    }
}

void TraceWindowMessage(int level, unsigned contextMask, UINT message, const wchar_t* caption) {
    tagQVTHREADINFO* pThread = PassingThread(level, contextMask);
    if (!pThread)
        return;
    wchar_t name[64];
    TraceMessageName(message, name, 64);
    wchar_t text[QVLINE_UNITS];
    QVFormat(text, QVLINE_UNITS, L"%ls[0x%08X] %ls\n", caption ? caption : L"", message, name);
    QVWriteLine(pThread, level, QVMARK_NONE, text);
}

void TraceMsgStruct(const wchar_t* caption, const MSG* pMsg, int level, unsigned contextMask) {
    if (!pMsg || !TracePasses(level, contextMask))
        return;
    wchar_t text[QVLINE_UNITS];
    QVFormat(text, QVLINE_UNITS, L"%-16ls: lParam=0x%08x wParam=0x%08x hwnd=0x%08x", caption ? caption : L"",
             static_cast<unsigned>(pMsg->lParam), static_cast<unsigned>(pMsg->wParam),
             static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(pMsg->hwnd)));
    TraceWindowMessage(level, contextMask, pMsg->message, text);
}

void TraceGuid(int level, unsigned contextMask, const GUID& guid, const wchar_t* caption) {
    tagQVTHREADINFO* pThread = PassingThread(level, contextMask);
    if (!pThread)
        return;
    wchar_t digits[40];
    wchar_t name[40] = L"";
    const wchar_t* pszName = TraceGuidName(guid);
    if (*pszName)
        QVFormat(name, 40, L"%-33ls", pszName);
    wchar_t text[QVLINE_UNITS];
    QVFormat(text, QVLINE_UNITS, L"%ls GUID {%ls} %ls\n", caption ? caption : L"", TraceFormatGuid(guid, digits, 40),
             name);
    QVWriteLine(pThread, level, QVMARK_NONE, text);
}

const wchar_t* TraceFormatError(wchar_t* buffer, DWORD errorCode, std::size_t units, BOOL multiLine) {
    if (!buffer || units == 0)
        return buffer;
    wchar_t message[2048];
    DWORD cch = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errorCode,
                               MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), message, 2048, nullptr);
    if (cch >= 2048)
        cch = 2047;
    message[cch] = L'\0';
    if (cch > 0 && message[cch - 1] == L'\n')
        message[--cch] = L'\0';
    if (cch > 0 && message[cch - 1] == L'\r')
        message[--cch] = L'\0';
    if (cch == 0)
        QVFormat(buffer, units, L"Error 0x%08X", static_cast<unsigned>(errorCode));
    else
        QVFormat(buffer, units, multiLine ? L"Error 0x%08X:\n%ls" : L"Error 0x%08X: %ls",
                 static_cast<unsigned>(errorCode), message);
    return buffer;
}

std::wstring TraceFormatError(DWORD errorCode, BOOL multiLine) {
    wchar_t text[2048 + 32];
    return TraceFormatError(text, errorCode, sizeof(text) / sizeof(text[0]), multiLine);
}

CQVTraceScope::CQVTraceScope(int level, unsigned contextMask, const wchar_t* functionName, const wchar_t* argumentText)
    : m_level(level), m_contextMask(contextMask) {
    if (!TracePasses(level, contextMask))
        return;
    m_active = 1;
    QVFormat(m_functionName, sizeof(m_functionName) / sizeof(m_functionName[0]), L"%ls",
             functionName ? functionName : L"");
    m_startTime = timeGetTime();
    TraceEnter(level, contextMask, L"%ls(%ls)\n", m_functionName, argumentText ? argumentText : L"");
}

CQVTraceScope::~CQVTraceScope() {
    if (m_active)
        TraceLeave(m_level, m_contextMask, L"%ls() (%.3f sec)\n", m_functionName,
                   static_cast<double>(timeGetTime() - m_startTime) / 1000.0);
}

CQVTraceInit::CQVTraceInit(unsigned outputFlags, const wchar_t* logPath, int rotate, int level, unsigned contextFlags) {
    TraceInitEx(outputFlags, logPath, rotate, level, contextFlags);
}

CQVTraceInit::~CQVTraceInit() { TraceTerminateThread(GetCurrentThreadId(), m_freeSlot); }
