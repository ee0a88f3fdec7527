#include "commands/ProcessNameTable.h"

const std::wstring* CProcessNameTable::Find(std::uint32_t processId, std::uint64_t created) const {
    for (const tagENTRY& entry : m_entries) {
        if (entry.processId == processId)
            return entry.created == created ? &entry.path : nullptr;
    }
    return nullptr;
}

void CProcessNameTable::Store(std::uint32_t processId, std::uint64_t created, const std::wstring& path) {
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->processId == processId) {
            m_entries.erase(it);
            break;
        }
    }
    if (m_entries.size() >= m_capacity)
        m_entries.erase(m_entries.begin());
    m_entries.push_back({processId, created, path});
}

std::wstring ExecutableFileName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
