#include "irbridge/RmtLibrary.h"

namespace irbrix {
namespace {
constexpr std::size_t kEntryNameChars = 255;
}

int CRmtLibrary::Initialization(std::uint32_t vendor, std::uint32_t subsystem, const char* name) {
    const tagRMTCARD* card = FindSupportedCard(vendor, subsystem);
    if (!card)
        return 0;
    // The name the entry keeps; compared in this form, so that registering a
    // card again without a name finds its entry instead of adding one.
    std::string used = name && *name ? std::string(name) : std::string(card->szDefaultName);
    used = used.substr(0, kEntryNameChars);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const tagENTRY& entry = m_entries[i];
        if (entry.nVendor == vendor && entry.nSubsystem == subsystem && EqualsNoCase(entry.szName, used)) {
            m_active = static_cast<int>(i);
            return 1;
        }
    }
    if (m_entries.size() >= kMaxDevices)
        return 0;
    tagRMTIDS ids = {"PCI", ChipVendorId(card->chip), ChipDeviceId(card->chip), Hex4(subsystem), Hex4(vendor)};
    std::unique_ptr<CRmtDeviceBase> device =
        CreateDevice(m_platform, card->chip, ids, used, card->nReadMode, card->nActivityBit);
    if (!device->Found())
        return 0;
    m_entries.push_back({vendor, subsystem, used, std::move(device)});
    m_active = static_cast<int>(m_entries.size() - 1);
    // A device whose start failed stays registered; its queries give the
    // neutral results.
    m_entries.back().device->Start();
    return 1;
}

int CRmtLibrary::CheckAct() { return m_active < 0 ? 0 : m_entries[m_active].device->CheckActivity(); }

int CRmtLibrary::GetScanCode() { return m_active < 0 ? 0xFF : m_entries[m_active].device->GetScanCode(); }

int CRmtLibrary::GetActiveDevice(std::uint32_t* vendor, std::uint32_t* subsystem) const {
    const bool any = m_active >= 0;
    if (vendor)
        *vendor = any ? m_entries[m_active].nVendor : 0;
    if (subsystem)
        *subsystem = any ? m_entries[m_active].nSubsystem : 0;
    return any ? m_active : -1;
}

int CRmtLibrary::Find(std::uint32_t vendor, std::uint32_t subsystem) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].nVendor == vendor && m_entries[i].nSubsystem == subsystem)
            return static_cast<int>(i);
    }
    return -1;
}

int CRmtLibrary::SetActiveDevice(const std::uint32_t* vendor, const std::uint32_t* subsystem) {
    if (!vendor || !subsystem)
        return -1;
    const int index = Find(*vendor, *subsystem);
    if (index >= 0)
        m_active = index;
    return index;
}

int CRmtLibrary::GetDevice(const std::uint32_t* vendor, const std::uint32_t* subsystem) const {
    return vendor && subsystem ? Find(*vendor, *subsystem) : -1;
}

}  // namespace irbrix
