#pragma once
// The last write that failed behind the user's back: a profile write, the
// byte-order mark of a new file, a data folder, injected input. The calls
// keep their own return values; this record is what the editor shows so a
// user learns that a change was not stored or a key was not sent.
//
// Pure logic: no Windows header.
#include <cstdint>
#include <string>

struct tagLASTWRITEFAILURE {
    std::wstring szOperation;   // what was attempted ("WritePrivateProfileString", "SendInput", ...)
    std::wstring szTarget;      // the file, folder or window concerned
    std::uint32_t dwError = 0;  // the system's error code, 0 when none was given
    std::uint32_t nCount = 0;   // failures since the last Clear
};

class CQVLastWriteFailure {
public:
    // Records and traces (level 2) one failure.
    static void Record(const wchar_t* operation, const std::wstring& target, std::uint32_t error);
    // False when nothing failed since the last Clear.
    static bool Get(tagLASTWRITEFAILURE& failure);
    static void Clear();
};
