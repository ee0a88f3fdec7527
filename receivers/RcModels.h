#pragma once
// Remote-control models the editor offers, each with its RC type, in the
// order the editor lists them.

#include "receivers/RcKeys.h"

struct tagRCMODEL {
    int nRcType;
    const wchar_t* szName;
};

constexpr int RC_MODEL_COUNT = 25;

// The whole table (RC_MODEL_COUNT rows), and one row or null when out of range.
const tagRCMODEL* GetRcModels();
const tagRCMODEL* GetRcModel(int row);
