#include "cmdsets/AutoFindApps.h"

#include <string>
#include <utility>
#include <vector>

#include "cmdsets/AppPaths.h"
#include "cmdsets/CmdSetAdmin.h"
#include "cmdsets/KnownCmdSets.h"
#include "support/QVDebug.h"

BOOL AutoFindApps(CCmdSetAdmin& admin) {
    CQVTraceScope scope(QVL_IO, QVC_ONE, L"CRemoteApp::AutoFindApps");
    admin.LoadAppList();

    std::vector<std::wstring> slots{L"Windows (Standard)"};
    for (const auto& entry : CKnownCmdSets::Instance().GetSetMap()) {
        if (slots.size() >= CMDSET_MENU_SLOTS)
            break;
        if (entry.first != slots[0] && IsExistingFile(entry.second.szAppPath))
            slots.push_back(entry.first);
    }
    // Neighbour swaps until none happens; case-sensitive order by name.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (std::size_t i = 1; i + 1 < slots.size(); ++i) {
            if (wcscmp(slots[i].c_str(), slots[i + 1].c_str()) > 0) {
                std::swap(slots[i], slots[i + 1]);
                swapped = true;
            }
        }
    }
    slots.resize(CMDSET_MENU_SLOTS, L"---");
    for (int n = 0; n < CMDSET_MENU_SLOTS; ++n) {
        TracePrint(QVL_INFO, QVC_DEVICE, L"%d: %s\n", n, slots[n].c_str());
        admin.SetMenuEntry(n, slots[n].c_str());
    }
    return TRUE;
}
