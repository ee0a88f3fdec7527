#pragma once
// The trace log's operations on Windows types: window messages, GUIDs and
// system error texts. Windows-only; the pure API is in support/QVDebug.h.

#include "support/QVDebug.h"

#include <windows.h>

#include <cstddef>
#include <string>

// Writes indentation, caption, "[0x%08X] " with the message number and the
// message's name (TraceMessageName) as one line.
void TraceWindowMessage(int level, unsigned contextMask, UINT message, const wchar_t* caption);
// "%-16s: lParam=0x%08x wParam=0x%08x hwnd=0x%08x" with caption and the record's
// fields, then as TraceWindowMessage for its message. Nothing for a null record.
void TraceMsgStruct(const wchar_t* caption, const MSG* pMsg, int level, unsigned contextMask);
// Writes indentation, caption, " GUID {...}" and the GUID's symbolic name padded
// to 33 characters (nothing when unknown) as one line.
void TraceGuid(int level, unsigned contextMask, const GUID& guid, const wchar_t* caption);

// The system's text for an error code (neutral language, no inserts, one
// trailing line break removed) as "Error 0x%08X: text", with a line break
// instead of the blank when multiLine, or "Error 0x%08X" when the system has no
// text. Cut to fit units (with terminator); returns buffer.
const wchar_t* TraceFormatError(wchar_t* buffer, DWORD errorCode, std::size_t units, BOOL multiLine);
std::wstring TraceFormatError(DWORD errorCode, BOOL multiLine = FALSE);

// The SDK identifier of a window message, list-view message or notification
// code ("WM_CREATE", "LVM_GETITEMCOUNT", "NM_CLICK", ...); "" when unknown.
const wchar_t* TraceLookupMessageName(UINT message);
// The name as TraceWindowMessage prints it: numbers from WM_USER to 0x7FFF as
// "WM_USER: %d 0x%04X" and from WM_APP to 0xBFFF as "WM_APP: %d 0x%04X" (the
// distance from the range's start), others as TraceLookupMessageName. Returns buffer.
const wchar_t* TraceMessageName(UINT message, wchar_t* buffer, std::size_t units);

// "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X"; returns buffer.
const wchar_t* TraceFormatGuid(const GUID& guid, wchar_t* buffer, std::size_t units);
// The symbolic name of the device categories and media subtypes the program
// meets ("KSCATEGORY_CAPTURE (audio & video)", "MEDIASUBTYPE_YUY2", ...), not
// padded; "" when unknown.
const wchar_t* TraceGuidName(const GUID& guid);
