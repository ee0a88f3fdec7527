#pragma once
// The process-wide collections of known command sets: the set map (name to
// header), the application list (installed applications in the order found)
// and the stale flag. Every command-set administrator shares them.
//
// The dispatcher's worker thread and the user-interface thread both reach
// them, so every access goes through one mutex; callers get copies, never
// references into the collections.
//
// Pure logic: no Windows header.
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <string>

#include "cmdsets/PrgInfo.h"

class CKnownCmdSets {
public:
    using SetMap = std::map<std::wstring, tagPRGINFO>;
    using AppList = std::list<tagPRGINFO>;

    static CKnownCmdSets& Instance();

    // Set by every write to a command-set file; starts set.
    void SetStale();
    bool IsStale() const;

    // When stale: clears the flag, lets fill build new collections (the set
    // map starts with "---" and the all-zero record) and installs them.
    // fill runs without the lock held. Returns true when it rebuilt.
    bool RebuildIfStale(const std::function<void(SetMap&, AppList&)>& fill);

    bool LookupSet(const std::wstring& name, tagPRGINFO& info) const;
    void RemoveSet(const std::wstring& name);
    SetMap GetSetMap() const;
    AppList GetAppList() const;
    // Empties the set map (the dispatcher does this when it goes away); the
    // next rebuild fills it again; marks the collections stale so that rebuild comes.
    void Clear();

private:
    CKnownCmdSets() = default;

    mutable std::mutex m_lock;
    SetMap m_setMap;
    AppList m_appList;
    bool m_fStale = true;
};
