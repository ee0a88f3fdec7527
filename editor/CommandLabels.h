#pragma once
// The editor's lists of a command's codes: the subtypes of each command type
// and the values of each system-command subtype, each with the string id of
// its label. The key-assignment page fills its drop-down lists from them.
//
// Pure logic: no Windows header.
#include <vector>

struct tagCMDLABEL {
    int nCode;
    unsigned nStringId;
};

// The subtypes of a command type in list order; empty for types without
// subtypes (none and keystroke) and for unknown types.
const std::vector<tagCMDLABEL>& GetSubTypeLabels(int nType);
// The values of a system-command subtype in list order; empty for volume
// (a number, not a choice) and for unknown subtypes.
const std::vector<tagCMDLABEL>& GetSysValueLabels(int nSubType);
// The label of the value field of a control command's subtype ("Menu item ID",
// "Control ID"); 0 for unknown subtypes.
unsigned GetControlIdLabel(int nSubType);
