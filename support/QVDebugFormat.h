#pragma once
// The text of one trace line: line prefix, level tag, indentation of the open
// scopes, the operation's marker and its text, cut at QVDEBUG_MAX_LINE. No
// Windows header: the Windows facility and the native stand-in both build their
// lines here, so that a test of either one vouches for the other's format.

#include "support/QVDebug.h"

#include <cstddef>
#include <cstdint>

// Units of every text buffer on the output path (511 characters + terminator).
constexpr std::size_t QVLINE_UNITS = QVDEBUG_MAX_LINE + 1;
// Units of a thread's indentation, with terminator.
constexpr std::size_t QVINDENT_UNITS = 512;

// What stands between indentation and text.
constexpr wchar_t QVMARK_TEXT[] = L" ";     // TracePrint, TraceResult, hex dump rows
constexpr wchar_t QVMARK_ENTER[] = L"\\ ";  // TraceEnter
constexpr wchar_t QVMARK_LEAVE[] = L"/ ";   // TraceLeave
constexpr wchar_t QVMARK_NONE[] = L"";      // window messages and GUIDs: the caption follows at once

// The four-character tag of a message level ("MSG ", "ERR ", ...; blanks for
// levels without one).
const wchar_t* QVLevelTag(int level);

// Appends text to the terminated buffer, cutting silently at units - 1 characters.
void QVAppend(wchar_t* buffer, std::size_t units, const wchar_t* text);

// What the line prefix shows besides the style.
struct tagQVLINESTAMP {
    wchar_t szTime[16];          // "%d:%02d:%02d.%03d", local clock
    std::uint32_t dwWorkingSetKB;
    std::int32_t nDifferenceKB;  // to the thread's previous line
    std::uint32_t dwProcessId;
    std::uint32_t dwThreadId;
};

// The prefix for a details style: 1 none, 2 time only, otherwise time, memory
// (or blanks when the difference is 0) and the process and thread ids.
void QVFormatLinePrefix(wchar_t* buffer, std::size_t units, std::uint32_t dwDetails, const tagQVLINESTAMP& stamp);

// prefix + tag of the level + indent + marker + text, cut silently at units - 1.
void QVAssembleLine(wchar_t* line, std::size_t units, const wchar_t* prefix, int level, const wchar_t* indent,
                    const wchar_t* marker, const wchar_t* text);

// A scope opens: one '|' more, while the indentation has room for it.
void QVIndentEnter(wchar_t* indent, std::size_t units);
// A scope closes: the last character goes; an empty indentation stays empty.
void QVIndentLeave(wchar_t* indent, std::size_t units);

// The first line of TraceResult: text (at most 127 characters, one trailing
// line break removed), then " -> S_OK" (0), " -> S_FALSE" (1), " -> FAILED"
// (negative) or nothing (positive), and a line break. True when a second line,
// "-> " and the error text of the code, follows.
bool QVFormatResult(wchar_t* buffer, std::size_t units, const wchar_t* text, long result);
