#pragma once
// A capture filter of the test's own, registered for real: an in-process COM
// class (CoRegisterClassObject plus its HKCR key) listed by the system device
// enumerator under a category with a friendly name and a device path. The
// filter answers IKsPropertySet::Get with a scripted sequence of 4-byte values
// and then an idle value, or hands every request to a simulated chip;
// IBaseFilter is stubs. Registrations are prefix-wide: names carry the
// process id, and the destructor unregisters.

#include <windows.h>
#include <strmif.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace simfilter {

// The chip behind a filter: answers every property request (get and set,
// whatever their size) and may offer interfaces of its own (a vendor
// interface, IKsControl). Runs on the caller's thread.
class ISimChip {
public:
    virtual ~ISimChip() = default;
    virtual HRESULT Property(bool set, const GUID& propertySet, DWORD id, void* instance, DWORD instanceBytes,
                             void* data, DWORD dataBytes, DWORD* returned) = 0;
    virtual HRESULT QueryExtra(REFIID, void** ppv) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
};

struct tagANSWER {
    HRESULT hr;
    std::uint8_t bytes[4];
};

// What the filter answers, shared by every instance the class creates.
class CScript {
public:
    void Push(HRESULT hr, std::uint32_t littleEndianValue);
    void PushValue(std::uint32_t littleEndianValue) { Push(S_OK, littleEndianValue); }
    void SetIdle(HRESULT hr, std::uint32_t littleEndianValue);
    // Drops the answers not yet read and the read count.
    void Clear();
    tagANSWER Next();
    int Reads() const;
    // Waits until every scripted answer has been read; false after timeoutMs.
    bool WaitUntilConsumed(DWORD timeoutMs);
    // With a chip set, the chip answers instead of the scripted values.
    void SetChip(std::shared_ptr<ISimChip> chip);
    std::shared_ptr<ISimChip> Chip() const;

private:
    std::shared_ptr<ISimChip> m_chip;
    mutable std::mutex m_lock;
    std::condition_variable m_consumed;
    std::deque<tagANSWER> m_answers;
    tagANSWER m_idle = {S_OK, {0, 0, 0, 0xFF}};
    int m_reads = 0;
};

class CRegisteredFilter {
public:
    // Registers "<name>" (exactly as given) under the category.
    // Further texts of the moniker's property bag go in extraValues.
    CRegisteredFilter(const std::wstring& friendlyName, const GUID& category, const std::wstring& devicePath,
                      const std::vector<std::pair<std::wstring, std::wstring>>& extraValues = {});
    ~CRegisteredFilter();
    CRegisteredFilter(const CRegisteredFilter&) = delete;
    CRegisteredFilter& operator=(const CRegisteredFilter&) = delete;

    bool IsRegistered() const { return m_registered; }
    CScript& Script() { return *m_script; }
    // Instances alive (bound and not yet released by everyone).
    static LONG LiveInstances();

private:
    std::shared_ptr<CScript> m_script;
    std::shared_ptr<IClassFactory> m_factory;
    CLSID m_clsid = {};
    GUID m_category = {};
    std::wstring m_instanceName;
    DWORD m_cookie = 0;
    bool m_registered = false;
};

// "<text> <process id>": a name no other test process uses at the same time.
std::wstring UniqueName(const wchar_t* text);

}  // namespace simfilter
