// Line text of the trace log. Fixed buffers only: this is on the output path,
// which must not allocate.
#include "support/QVDebugFormat.h"

#include <cwchar>

const wchar_t* QVLevelTag(int level) {
    switch (level) {
    case QVL_MSG: return L"MSG ";
    case QVL_ERR: return L"ERR ";
    case QVL_WRN: return L"WRN ";
    case QVL_USR: return L"USR ";
    case QVL_IO: return L"I_O ";
    default: return L"    ";
    }
}

void QVAppend(wchar_t* buffer, std::size_t units, const wchar_t* text) {
    if (units == 0 || !text)
        return;
    std::size_t length = wcsnlen(buffer, units - 1);
    while (*text && length < units - 1)
        buffer[length++] = *text++;
    buffer[length] = L'\0';
}

void QVFormatLinePrefix(wchar_t* buffer, std::size_t units, std::uint32_t dwDetails, const tagQVLINESTAMP& stamp) {
    if (units == 0)
        return;
    // Formatted in full first: swprintf leaves an unspecified buffer when the
    // text does not fit, and a short buffer must still get the cut prefix.
    wchar_t prefix[96] = L"";
    switch (dwDetails) {
    case 1:
        break;
    case 2:
        std::swprintf(prefix, 96, L"%ls 0x???: ", stamp.szTime);
        break;
    default:
        if (stamp.nDifferenceKB != 0)
            std::swprintf(prefix, 96, L"%ls %7dK(%+9d) %04X-%04X: ", stamp.szTime,
                          static_cast<int>(stamp.dwWorkingSetKB), static_cast<int>(stamp.nDifferenceKB),
                          static_cast<unsigned>(stamp.dwProcessId), static_cast<unsigned>(stamp.dwThreadId));
        else  // the memory columns as blanks, so that lines stay aligned
            std::swprintf(prefix, 96, L"%ls                     %04X-%04X: ", stamp.szTime,
                          static_cast<unsigned>(stamp.dwProcessId), static_cast<unsigned>(stamp.dwThreadId));
        break;
    }
    buffer[0] = L'\0';
    QVAppend(buffer, units, prefix);
}

void QVAssembleLine(wchar_t* line, std::size_t units, const wchar_t* prefix, int level, const wchar_t* indent,
                    const wchar_t* marker, const wchar_t* text) {
    if (units == 0)
        return;
    line[0] = L'\0';
    QVAppend(line, units, prefix);
    QVAppend(line, units, QVLevelTag(level));
    QVAppend(line, units, indent);
    QVAppend(line, units, marker);
    QVAppend(line, units, text);
}

void QVIndentEnter(wchar_t* indent, std::size_t units) { QVAppend(indent, units, L"|"); }

void QVIndentLeave(wchar_t* indent, std::size_t units) {
    if (units == 0)
        return;
    const std::size_t length = wcsnlen(indent, units - 1);
    indent[length > 0 ? length - 1 : 0] = L'\0';
}

bool QVFormatResult(wchar_t* buffer, std::size_t units, const wchar_t* text, long result) {
    wchar_t head[128] = L"";
    QVAppend(head, 128, text);
    std::size_t length = std::wcslen(head);
    if (length > 0 && head[length - 1] == L'\n')
        head[--length] = L'\0';
    if (length > 0 && head[length - 1] == L'\r')
        head[--length] = L'\0';

    // The code as the 32 bits it has on Windows, where long is that wide.
    const std::int32_t code = static_cast<std::int32_t>(result);
    const wchar_t* outcome = L"";
    if (code == 0)
        outcome = L" -> S_OK";
    else if (code == 1)
        outcome = L" -> S_FALSE";
    else if (code < 0)
        outcome = L" -> FAILED";
    if (units > 0)
        buffer[0] = L'\0';
    QVAppend(buffer, units, head);
    QVAppend(buffer, units, outcome);
    QVAppend(buffer, units, L"\n");
    return code != 0 && code != 1;
}
