#pragma once
// Owner of one open registry key: closed when the owner goes, never copied.

#include <windows.h>

class CQVRegKey {
public:
    CQVRegKey() = default;
    explicit CQVRegKey(HKEY key) : m_key(key) {}
    ~CQVRegKey() { Close(); }
    CQVRegKey(const CQVRegKey&) = delete;
    CQVRegKey& operator=(const CQVRegKey&) = delete;
    CQVRegKey(CQVRegKey&& other) noexcept : m_key(other.Take()) {}
    CQVRegKey& operator=(CQVRegKey&& other) noexcept {
        if (this != &other) {
            Close();
            m_key = other.Take();
        }
        return *this;
    }

    HKEY Get() const { return m_key; }
    bool IsValid() const { return m_key != nullptr; }
    // For the out parameter of RegOpenKeyExW and friends; closes a key held so far.
    HKEY* Put() {
        Close();
        return &m_key;
    }
    [[nodiscard]] HKEY Take() {
        HKEY key = m_key;
        m_key = nullptr;
        return key;
    }
    void Close() {
        if (m_key)
            RegCloseKey(m_key);
        m_key = nullptr;
    }

private:
    HKEY m_key = nullptr;
};
