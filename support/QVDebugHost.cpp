// Native stand-in for the trace facility: same filter rules per thread, lines
// kept in memory instead of a shared-memory cache and the debugger.
#include "support/QVDebug.h"
#include "support/QVDebugHost.h"

#include <chrono>
#include <cstdarg>
#include <cwchar>
#include <mutex>
#include <thread>

namespace {

struct ThreadState {
    int refs = 0;
    int level = 0;
    int details = 3;
    unsigned contexts = 0;
    unsigned outputs = 0;
    std::wstring indent;
};

thread_local ThreadState t_state;
std::mutex g_linesLock;
std::vector<std::wstring> g_lines;

const wchar_t* Tag(int level) {
    switch (level) {
    case QVL_MSG: return L"MSG ";
    case QVL_ERR: return L"ERR ";
    case QVL_WRN: return L"WRN ";
    case QVL_USR: return L"USR ";
    case QVL_IO: return L"I_O ";
    default: return L"    ";
    }
}

void Emit(int level, const wchar_t* marker, const wchar_t* format, va_list args) {
    wchar_t text[QVDEBUG_MAX_LINE + 1];
    std::vswprintf(text, QVDEBUG_MAX_LINE + 1, format, args);
    std::wstring line = Tag(level);
    line += t_state.indent;
    line += marker;
    line += text;
    std::lock_guard<std::mutex> lock(g_linesLock);
    g_lines.push_back(line.substr(0, QVDEBUG_MAX_LINE));
}

std::uint32_t NowMs() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

std::vector<std::wstring> TraceHostTakeLines() {
    std::lock_guard<std::mutex> lock(g_linesLock);
    std::vector<std::wstring> lines;
    lines.swap(g_lines);
    return lines;
}

int TraceInitEx(unsigned outputFlags, const wchar_t*, int, int level, unsigned contextFlags) {
    if (t_state.refs++ == 0) {
        t_state.outputs = outputFlags;
        t_state.level = level;
        t_state.contexts = contextFlags;
    }
    return 1;
}

int TraceInitInternal(unsigned, const wchar_t* logPath, unsigned, unsigned outputFlags, int rotate, int,
                      int* alreadyAttached) {
    if (alreadyAttached)
        *alreadyAttached = t_state.refs > 0;
    return TraceInitEx(outputFlags, logPath, rotate, t_state.level, t_state.contexts);
}

int TraceTerminateThread(unsigned, int) {
    if (t_state.refs <= 0)
        return 0;
    if (--t_state.refs == 0)
        t_state = ThreadState{};
    return 1;
}

int TraceSetVerboseLevel(int level) { t_state.level = level; return 1; }
int TraceSetDetails(int details) { t_state.details = details; return 1; }
int TraceSetContextFlags(unsigned flags) { t_state.contexts = flags; return 1; }
int TraceGetVerboseLevel() { return t_state.refs > 0 ? t_state.level : 0; }
int TraceGetDetails() { return t_state.refs > 0 ? t_state.details : 0; }
int TraceReleaseGlobalMemory() { return 1; }

unsigned TraceCurrentThreadId() {
    return static_cast<unsigned>(std::hash<std::thread::id>{}(std::this_thread::get_id()));
}

bool TracePasses(int level, unsigned contextMask) {
    return t_state.refs > 0 && t_state.level >= level && (contextMask & t_state.contexts) != 0 &&
           t_state.outputs != 0 && t_state.details != 0;
}

void TracePrint(int level, unsigned contextMask, const wchar_t* format, ...) {
    if (!TracePasses(level, contextMask))
        return;
    va_list args;
    va_start(args, format);
    Emit(level, L" ", format, args);
    va_end(args);
}

void TraceEnter(int level, unsigned contextMask, const wchar_t* format, ...) {
    if (!TracePasses(level, contextMask))
        return;
    va_list args;
    va_start(args, format);
    Emit(level, L"\\ ", format, args);
    va_end(args);
    t_state.indent += L'|';
}

void TraceLeave(int level, unsigned contextMask, const wchar_t* format, ...) {
    if (!TracePasses(level, contextMask))
        return;
    if (!t_state.indent.empty())
        t_state.indent.pop_back();
    va_list args;
    va_start(args, format);
    Emit(level, L"/ ", format, args);
    va_end(args);
}

void TraceResult(int level, unsigned contextMask, const wchar_t* text, long result) {
    TracePrint(level, contextMask, L"%ls -> 0x%08lX\n", text, static_cast<unsigned long>(result));
}

void TraceHexDump(const void*, std::uintptr_t, std::size_t, std::size_t) {}

CQVTraceScope::CQVTraceScope(int level, unsigned contextMask, const wchar_t* functionName, const wchar_t* argumentText)
    : m_level(level), m_contextMask(contextMask) {
    if (!TracePasses(level, contextMask))
        return;
    m_active = 1;
    std::swprintf(m_functionName, 512, L"%ls", functionName);
    m_startTime = NowMs();
    TraceEnter(level, contextMask, L"%ls(%ls)\n", functionName, argumentText ? argumentText : L"");
}

CQVTraceScope::~CQVTraceScope() {
    if (m_active)
        TraceLeave(m_level, m_contextMask, L"%ls() (%.3f sec)\n", m_functionName, (NowMs() - m_startTime) / 1000.0);
}

CQVTraceInit::CQVTraceInit(unsigned outputFlags, const wchar_t* logPath, int rotate, int level, unsigned contextFlags) {
    TraceInitEx(outputFlags, logPath, rotate, level, contextFlags);
}

CQVTraceInit::~CQVTraceInit() { TraceTerminateThread(TraceCurrentThreadId(), m_freeSlot); }
