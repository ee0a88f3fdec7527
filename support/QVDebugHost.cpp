// Native stand-in for the trace facility: same filter rules per thread, lines
// kept in memory instead of a shared-memory cache and the debugger. Their text
// is built by QVDebugFormat.cpp, as on Windows.
#include "support/QVDebug.h"
#include "support/QVDebugFormat.h"
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
    wchar_t indent[QVINDENT_UNITS] = {};
};

thread_local ThreadState t_state;
std::mutex g_linesLock;
std::vector<std::wstring> g_lines;

// The text cut as on Windows, to its first units - 1 characters. vswprintf
// leaves nothing of a text that does not fit, so the text is formatted whole
// in a buffer that grows until it does.
void FormatText(wchar_t* text, std::size_t units, const wchar_t* format, va_list args) {
    constexpr std::size_t kMostUnits = std::size_t{1} << 20;  // beyond that it is an encoding error
    std::vector<wchar_t> whole(units);
    for (;;) {
        va_list attempt;
        va_copy(attempt, args);
        const int written = std::vswprintf(whole.data(), whole.size(), format, attempt);
        va_end(attempt);
        if (written >= 0)
            break;
        if (whole.size() >= kMostUnits) {
            whole[0] = L'\0';
            break;
        }
        whole.resize(whole.size() * 4);
    }
    text[0] = L'\0';
    QVAppend(text, units, whole.data());
}

void Emit(int level, const wchar_t* marker, const wchar_t* format, va_list args) {
    wchar_t text[QVLINE_UNITS];
    FormatText(text, QVLINE_UNITS, format, args);
    // No clock or memory columns here: every line is as with details 1.
    wchar_t line[QVLINE_UNITS];
    QVAssembleLine(line, QVLINE_UNITS, L"", level, t_state.indent, marker, text);
    std::lock_guard<std::mutex> lock(g_linesLock);
    g_lines.emplace_back(line);
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
    Emit(level, QVMARK_TEXT, format, args);
    va_end(args);
}

void TraceEnter(int level, unsigned contextMask, const wchar_t* format, ...) {
    if (!TracePasses(level, contextMask))
        return;
    va_list args;
    va_start(args, format);
    Emit(level, QVMARK_ENTER, format, args);
    va_end(args);
    QVIndentEnter(t_state.indent, QVINDENT_UNITS);
}

void TraceLeave(int level, unsigned contextMask, const wchar_t* format, ...) {
    if (!TracePasses(level, contextMask))
        return;
    QVIndentLeave(t_state.indent, QVINDENT_UNITS);
    va_list args;
    va_start(args, format);
    Emit(level, QVMARK_LEAVE, format, args);
    va_end(args);
}

void TraceResult(int level, unsigned contextMask, const wchar_t* text, long result) {
    if (!TracePasses(level, contextMask))
        return;
    wchar_t first[QVLINE_UNITS];
    const bool explain = QVFormatResult(first, QVLINE_UNITS, text, result);
    TracePrint(level, contextMask, L"%ls", first);
    // No system message texts here: the code as Windows writes one without text.
    if (explain)
        TracePrint(level, contextMask, L"-> Error 0x%08X\n", static_cast<unsigned>(result));
}

void TraceHexDump(const void*, std::uintptr_t, std::size_t, std::size_t) {}

CQVTraceScope::CQVTraceScope(int level, unsigned contextMask, const wchar_t* functionName, const wchar_t* argumentText)
    : m_level(level), m_contextMask(contextMask) {
    if (!TracePasses(level, contextMask))
        return;
    m_active = 1;
    QVAppend(m_functionName, sizeof(m_functionName) / sizeof(m_functionName[0]), functionName);
    m_startTime = NowMs();
    TraceEnter(level, contextMask, L"%ls(%ls)\n", m_functionName, argumentText ? argumentText : L"");
}

CQVTraceScope::~CQVTraceScope() {
    if (m_active)
        TraceLeave(m_level, m_contextMask, L"%ls() (%.3f sec)\n", m_functionName, (NowMs() - m_startTime) / 1000.0);
}

CQVTraceInit::CQVTraceInit(unsigned outputFlags, const wchar_t* logPath, int rotate, int level, unsigned contextFlags) {
    TraceInitEx(outputFlags, logPath, rotate, level, contextFlags);
}

CQVTraceInit::~CQVTraceInit() { TraceTerminateThread(TraceCurrentThreadId(), m_freeSlot); }
