#pragma once
// The table of registered cards behind the six exports, and the active entry
// that the queries address.

#include "irbridge/RmtDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace irbrix {

constexpr std::size_t kMaxDevices = 10;

class CRmtLibrary {
public:
    explicit CRmtLibrary(IRmtPlatform& platform) : m_platform(platform) {}

    int Initialization(std::uint32_t vendor, std::uint32_t subsystem, const char* name);
    int CheckAct();
    int GetScanCode();
    int GetActiveDevice(std::uint32_t* vendor, std::uint32_t* subsystem) const;
    int SetActiveDevice(const std::uint32_t* vendor, const std::uint32_t* subsystem);
    int GetDevice(const std::uint32_t* vendor, const std::uint32_t* subsystem) const;

    std::size_t Count() const { return m_entries.size(); }

private:
    struct tagENTRY {
        std::uint32_t nVendor;
        std::uint32_t nSubsystem;
        std::string szName;
        std::unique_ptr<CRmtDeviceBase> device;
    };
    int Find(std::uint32_t vendor, std::uint32_t subsystem) const;

    IRmtPlatform& m_platform;
    std::vector<tagENTRY> m_entries;
    int m_active = -1;
};

}  // namespace irbrix
