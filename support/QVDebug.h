#pragma once
// QVDEBUG, the trace log every part of the program writes through.
//
// This header includes no Windows header so that pure-logic code (schedulers,
// tables, parsers) can trace and still build natively. The Windows build links
// the real facility (shared-memory process cache, debugger/console/file output);
// the native build links a small in-process sink instead (QVDebugHost.cpp).
//
// Formats follow the C printf conventions in UTF-16 on Windows, where "%s" takes
// a wide string. Code that is also built natively writes "%ls" for wide strings:
// it prints the same on both builds.

#include <cstddef>
#include <cstdint>

// Message levels; the tag written in front of each message's text.
enum QVTraceLevel : int {
    QVL_MSG = 1,     // "MSG "
    QVL_ERR = 2,     // "ERR "
    QVL_WRN = 3,     // "WRN "
    QVL_USR = 4,     // "USR "
    QVL_INFO = 5,    // four blanks
    QVL_IO = 6,      // "I_O " function entry and exit
    QVL_DETAIL = 7,  // four blanks
};

// Context masks used by the program.
constexpr unsigned QVC_ONE = 1;
constexpr unsigned QVC_KEYNAMES = 2;
constexpr unsigned QVC_DEVICE = 4;     // receivers, devices, media graph, application core
constexpr unsigned QVC_COMMAND = 16;   // command sets, command execution, HTML overview
constexpr unsigned QVC_ALL = 0xFFFFFFFFu;

// Output flags of a thread record.
constexpr unsigned QVOUT_DEBUGGER = 1;
constexpr unsigned QVOUT_CONSOLE = 2;
constexpr unsigned QVOUT_FILE = 4;

constexpr int QVDEBUG_VERSION = 2;
constexpr int QVDEBUG_MAX_LINE = 511;

// Attachment and settings. All return 1 on success and 0 on failure.
int TraceInitEx(unsigned outputFlags, const wchar_t* logPath, int rotate, int level, unsigned contextFlags);
int TraceInitInternal(unsigned processId, const wchar_t* logPath, unsigned threadId, unsigned outputFlags,
                      int rotate, int force, int* alreadyAttached);
int TraceTerminateThread(unsigned threadId, int freeSlot);
int TraceSetVerboseLevel(int level);
int TraceSetDetails(int details);
int TraceSetContextFlags(unsigned flags);
int TraceGetVerboseLevel();
int TraceGetDetails();
int TraceReleaseGlobalMemory();
unsigned TraceCurrentThreadId();

// Output. The calling thread must be attached, else nothing is written.
void TracePrint(int level, unsigned contextMask, const wchar_t* format, ...);
void TraceEnter(int level, unsigned contextMask, const wchar_t* format, ...);
void TraceLeave(int level, unsigned contextMask, const wchar_t* format, ...);
void TraceResult(int level, unsigned contextMask, const wchar_t* text, long result);
void TraceHexDump(const void* data, std::uintptr_t baseAddress, std::size_t firstOffset, std::size_t byteCount);
// True when a message of this level and mask would be written by the calling thread.
bool TracePasses(int level, unsigned contextMask);

// Function-scope timer: "\ name(args)" on entry, "/ name() (0.123 sec)" on exit.
class CQVTraceScope {
public:
    CQVTraceScope(int level, unsigned contextMask, const wchar_t* functionName, const wchar_t* argumentText = nullptr);
    ~CQVTraceScope();
    CQVTraceScope(const CQVTraceScope&) = delete;
    CQVTraceScope& operator=(const CQVTraceScope&) = delete;

private:
    int m_active = 0;
    int m_level = 0;
    unsigned m_contextMask = 0;
    wchar_t m_functionName[512] = {};
    std::uint32_t m_startTime = 0;
};

// Attaches the constructing thread; detaches it again when destroyed.
//
// The program keeps one global instance, defined once in the application's
// sources with the default settings:
//     CQVTraceInit g_traceInit;   // debugger only, no file, rotate, level 3, all contexts
// It may be constructed before any other static object: the Windows facility
// needs no dynamic initialisation of its own. Thread procedures that log keep
// one on their stack the same way.
class CQVTraceInit {
public:
    CQVTraceInit() : CQVTraceInit(QVOUT_DEBUGGER, nullptr, 1, QVL_WRN, QVC_ALL) {}
    CQVTraceInit(unsigned outputFlags, const wchar_t* logPath, int rotate, int level, unsigned contextFlags);
    virtual ~CQVTraceInit();
    CQVTraceInit(const CQVTraceInit&) = delete;
    CQVTraceInit& operator=(const CQVTraceInit&) = delete;

private:
    int m_freeSlot = 1;
};
