#include "tests/irbridge/SimChips.h"

#include "irbridge/RmtIds.h"
#include "irbridge/RmtRequests.h"

#include <cstring>

using namespace irbrix;

namespace simchips {
namespace {

bool HasCxHead(const std::uint8_t* b) {
    tagCXREQUEST expected = MakeCxRequest(0, 0, 0);
    return std::memcmp(b, expected.abBuffer, 16) == 0;
}

bool AllZero(const std::uint8_t* from, const std::uint8_t* to) {
    for (; from < to; ++from) {
        if (*from != 0)
            return false;
    }
    return true;
}

}  // namespace

std::uint32_t CSimCx2388x::Request(std::uint8_t* b, std::size_t size) {
    const std::uint32_t id = GetLe32(b + 16);
    const std::uint32_t flags = GetLe32(b + 20);
    const std::uint32_t command = GetLe32(b + kCxOffCommand);
    commands.push_back(command);
    const std::size_t expectedSize = id == kCxPropI2c ? kCxI2cRequestSize : kCxRegisterRequestSize;
    if (!HasCxHead(b) || size != expectedSize || (id != kCxPropI2c && id != kCxPropRegister))
        return kDeviceError;
    if (command == failCommand)
        return kDeviceError;
    const bool set = flags == kKsSet;
    const bool get = flags == kKsGet;
    if (id == kCxPropRegister) {
        if (!AllZero(b + 36, b + size))
            return kDeviceError;
        if (command == kCxRegSelect && set) {
            m_selected = GetLe32(b + kCxOffRegister);
            return 0;
        }
        if (command == kCxRegRead && (set || get)) {
            if (get)
                PutLe32(b + kCxOffValue, registers.count(m_selected) ? registers[m_selected] : 0xFFFFFFFF);
            return 0;
        }
        return kDeviceError;
    }
    switch (command) {
    case kCxI2cBus100k:
    case kCxI2cBus200k:
        m_pendingSpeed = GetLe32(b + kCxOffValue);
        return set && m_pendingSpeed == (command == kCxI2cBus100k ? 100000u : 200000u) ? 0 : kDeviceError;
    case kCxI2cApplyBus:
        busSpeed = m_pendingSpeed;
        return set ? 0 : kDeviceError;
    case kCxI2cStart:
        m_started = set;
        m_acknowledged = false;
        return set ? 0 : kDeviceError;
    case kCxI2cSetReadAddress:
        m_readAddress = b[kCxOffI2cAddress];
        return set && m_started ? 0 : kDeviceError;
    case kCxI2cWriteByte:
        // The address byte goes out; only a present device at it acknowledges.
        m_acknowledged = set && m_started && b[kCxOffI2cData] == m_readAddress && remote.fPresent &&
                         m_readAddress == (remote.nAddress | 1);
        return m_acknowledged ? 0 : kDeviceError;
    case kCxI2cReadByte:
        if (!get || !m_acknowledged)
            return kDeviceError;
        b[kCxOffI2cData] = remote.nHeld;
        return 0;
    case kCxI2cAck:
    case kCxI2cNack:
        return set && m_acknowledged ? 0 : kDeviceError;
    case kCxI2cStop:
        m_started = false;
        m_acknowledged = false;
        return set ? 0 : kDeviceError;
    default:
        return kDeviceError;
    }
}

std::int32_t CSimSaa713x::KsProperty(void* property, std::uint32_t propertySize, void* data, std::uint32_t dataSize) {
    const auto* head = static_cast<const tagRMTKSPROPERTY*>(property);
    const std::int32_t error = static_cast<std::int32_t>(kDeviceError);
    if (head->set == kSaaGpioSet) {
        ++gpioRequests;
        const auto* gpio = static_cast<const tagSAAGPIOPROPERTY*>(property);
        if (propertySize != sizeof *gpio || dataSize != 1 || head->nId != 0 || gpio->nPin > 7 ||
            gpio->nPin == failPin)
            return error;
        const std::uint8_t mask = static_cast<std::uint8_t>(1u << gpio->nPin);
        std::uint8_t* level = static_cast<std::uint8_t*>(data);
        if (head->nFlags == kKsGet) {
            *level = (pins & mask) ? 1 : 0;
            return 0;
        }
        if (head->nFlags != kKsSet)
            return error;
        pins = static_cast<std::uint8_t>(*level ? pins | mask : pins & ~mask);
        return 0;
    }
    if (!(head->set == kSaaI2cSet) || propertySize != sizeof(tagSAAI2CPROPERTY))
        return error;
    ++i2cRequests;
    const auto* i2c = static_cast<const tagSAAI2CPROPERTY*>(property);
    if (!remote.fPresent || i2c->nAddress != remote.nAddress || i2c->pData != data || i2c->nDataSize != dataSize)
        return error;
    if (head->nFlags == kKsGet) {
        // The receiver has no registers: a read carries no sub-address and 4 bytes.
        if (i2c->nSubAddressSize != 0 || dataSize != 4)
            return error;
        std::memset(data, 0, dataSize);
        static_cast<std::uint8_t*>(data)[0] = remote.nHeld;
        return 0;
    }
    return head->nFlags == kKsSet ? 0 : error;
}

namespace {

class CCxHandle : public IRmtKernelHandle {
public:
    explicit CCxHandle(std::shared_ptr<CSimCx2388x> chip) : m_chip(std::move(chip)) {}
    std::uint32_t Request(std::uint8_t* buffer, std::size_t size) override { return m_chip->Request(buffer, size); }

private:
    std::shared_ptr<CSimCx2388x> m_chip;
};

class CSaaControl : public IRmtKsControl {
public:
    explicit CSaaControl(std::shared_ptr<CSimSaa713x> chip) : m_chip(std::move(chip)) {}
    std::int32_t KsProperty(void* property, std::uint32_t propertySize, void* data, std::uint32_t dataSize) override {
        return m_chip->KsProperty(property, propertySize, data, dataSize);
    }

private:
    std::shared_ptr<CSimSaa713x> m_chip;
};

bool Listed(const std::vector<std::string>& names, const std::string& nameUpper) {
    for (const std::string& name : names) {
        if (FriendlyNameMatches(name, nameUpper))
            return true;
    }
    return false;
}

}  // namespace

std::unique_ptr<IRmtKernelHandle> CSimPlatform::OpenKernelHandle(const std::string& nameUpper) {
    if (!cx || !Listed(videoInputNames, nameUpper))
        return nullptr;
    return std::make_unique<CCxHandle>(cx);
}

std::unique_ptr<IRmtKsControl> CSimPlatform::OpenKsControl(const std::string& nameUpper) {
    if (!saa || !Listed(ksCaptureNames, nameUpper))
        return nullptr;
    return std::make_unique<CSaaControl>(saa);
}

void CSimPlatform::ShowMessage(const char* text, const char* caption) {
    messages.push_back(std::string(caption) + ": " + text);
}

void CSimPlatform::AddCard(const std::string& hardwareId, const std::string& captureName) {
    hardwareIds.push_back(hardwareId);
    videoInputNames.push_back(captureName);
    ksCaptureNames.push_back(captureName);
}

}  // namespace simchips
