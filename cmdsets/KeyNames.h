#pragma once
// Display names of the key ids and the rule which ids are keys.
//
// Pure logic: no Windows header.
#include <string>

#include "cmdsets/CmdSetText.h"
#include "receivers/RcKeys.h"

constexpr int KEYNAME_COUNT = KEYID_COUNT;  // index = key id
constexpr int KEYNAME_LEN = 128;    // units per name, terminator included

// One table of names in one language, built from a string lookup.
class CKeyNameTable {
public:
    // Fills all KEYNAME_COUNT names; traces each name of the ids above KEYID_MIDI_LAST.
    void Build(const CmdSetStringLookup& lookup);
    // Only the low 24 bits of the id select the entry; never null.
    const wchar_t* Get(int keyId) const;

private:
    wchar_t m_names[KEYNAME_COUNT][KEYNAME_LEN] = {};
};

// Process-wide tables (English and UI language), built together once on the
// first request from the installed string source (CmdSetText.h).
const wchar_t* GetKeyName(int keyId, bool fEnglish);
// True when the English name of the id is not empty.
bool IsValidKey(int keyId);
