#include "cmdsets/KnownCmdSets.h"

CKnownCmdSets& CKnownCmdSets::Instance() {
    static CKnownCmdSets instance;
    return instance;
}

void CKnownCmdSets::SetStale() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_fStale = true;
}

bool CKnownCmdSets::IsStale() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_fStale;
}

bool CKnownCmdSets::RebuildIfStale(const std::function<void(SetMap&, AppList&)>& fill) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_fStale)
            return false;
        // Cleared before the rebuild: a write during the rebuild marks it stale again.
        m_fStale = false;
    }
    SetMap setMap;
    AppList appList;
    setMap.emplace(L"---", tagPRGINFO());
    if (fill)
        fill(setMap, appList);
    std::lock_guard<std::mutex> guard(m_lock);
    m_setMap.swap(setMap);
    m_appList.swap(appList);
    return true;
}

bool CKnownCmdSets::LookupSet(const std::wstring& name, tagPRGINFO& info) const {
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_setMap.find(name);
    if (it == m_setMap.end())
        return false;
    info = it->second;
    return true;
}

void CKnownCmdSets::RemoveSet(const std::wstring& name) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_setMap.erase(name);
}

CKnownCmdSets::SetMap CKnownCmdSets::GetSetMap() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_setMap;
}

CKnownCmdSets::AppList CKnownCmdSets::GetAppList() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_appList;
}

void CKnownCmdSets::Clear() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_setMap.clear();
    m_appList.clear();
    // Another administrator still uses the collections: the next look rebuilds them.
    m_fStale = true;
}
