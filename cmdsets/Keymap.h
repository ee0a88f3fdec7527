#pragma once
// Key id to command: one command set's bindings.
//
// Pure logic: no Windows header.
#include <unordered_map>

#include "cmdsets/WinCmd.h"

class CKeymap {
public:
    using Map = std::unordered_map<int, tagWINCMD>;

    // Copies the record out when the key is bound.
    bool Lookup(int keyId, tagWINCMD& cmd) const;
    void SetAt(int keyId, const tagWINCMD& cmd);
    void RemoveKey(int keyId) { m_map.erase(keyId); }
    void RemoveAll() { m_map.clear(); }
    // Replaces the content with a copy of other; a copy onto itself changes nothing.
    void Copy(const CKeymap& other);
    // Same number of entries and, per key, equal records (IsEqualWinCmd).
    bool IsEqual(const CKeymap& other) const;
    int GetCount() const { return static_cast<int>(m_map.size()); }
    // Iteration order is unspecified.
    Map::const_iterator begin() const { return m_map.begin(); }
    Map::const_iterator end() const { return m_map.end(); }

    // Empties the map and enters the built-in default set; texts in the UI language.
    bool LoadDefaults();

private:
    Map m_map;
};

// Adds the TV application's built-in bindings (the map is not emptied first).
bool LoadTvSpecialKeymap(CKeymap& keymap);
