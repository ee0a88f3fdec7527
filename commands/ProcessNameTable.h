#pragma once
// The executable paths of processes, remembered between target-window
// lookups. A process is known by its id together with its creation time, so
// an id the system has given to a new process never yields the old one's path.
//
// Pure logic: no Windows header.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CProcessNameTable {
public:
    explicit CProcessNameTable(std::size_t capacity = 256) : m_capacity(capacity ? capacity : 1) {}

    // The path stored for this process, null when unknown.
    const std::wstring* Find(std::uint32_t processId, std::uint64_t created) const;
    // Replaces what is stored for the id (its old process has ended when the
    // creation time differs); when full, the oldest entry goes.
    void Store(std::uint32_t processId, std::uint64_t created, const std::wstring& path);
    std::size_t GetCount() const { return m_entries.size(); }

private:
    struct tagENTRY {
        std::uint32_t processId;
        std::uint64_t created;
        std::wstring path;
    };
    std::size_t m_capacity;
    std::vector<tagENTRY> m_entries;  // oldest first
};

// The file name of a path: what follows its last backslash or slash.
std::wstring ExecutableFileName(const std::wstring& path);
