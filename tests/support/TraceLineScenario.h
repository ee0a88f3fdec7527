#pragma once
// One run of trace calls and the lines it must give in every build. The native
// stand-in's test and the Windows facility's test both check it, so neither
// side can drift from the other. The calling thread is attached with level 7,
// all contexts and details 1 (no line prefix).

#include "support/QVDebug.h"

#include <string>
#include <vector>

namespace tracescenario {

inline void WriteScopesAndTags() {
    TraceEnter(QVL_IO, QVC_ALL, L"outer\n");
    TraceEnter(QVL_IO, QVC_ALL, L"inner %d\n", 2);
    for (int level = 0; level <= QVL_DETAIL; ++level)
        TracePrint(level, QVC_ALL, L"level %d\n", level);
    TraceLeave(QVL_IO, QVC_ALL, L"inner done\n");
    TraceLeave(QVL_IO, QVC_ALL, L"outer done\n");
    TraceLeave(QVL_IO, QVC_ALL, L"extra leave\n");
    TraceResult(QVL_ERR, QVC_ALL, L"Open\n", 0);
    TracePrint(QVL_WRN, QVC_ALL, L"%ls", std::wstring(600, L'x').c_str());  // last: it loses its line break
}

// What each call above writes, in order.
inline std::vector<std::wstring> ScopesAndTagsLines() {
    return {
        L"I_O \\ outer\n",
        L"I_O |\\ inner 2\n",
        L"    || level 0\n",
        L"MSG || level 1\n",
        L"ERR || level 2\n",
        L"WRN || level 3\n",
        L"USR || level 4\n",
        L"    || level 5\n",
        L"I_O || level 6\n",
        L"    || level 7\n",
        L"I_O |/ inner done\n",
        L"I_O / outer done\n",
        L"I_O / extra leave\n",
        L"ERR  Open -> S_OK\n",
        L"WRN  " + std::wstring(506, L'x'),  // 511 characters in all
    };
}

}  // namespace tracescenario
