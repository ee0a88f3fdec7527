#include "irbridge/RmtDevice.h"

#include <cstring>

namespace irbrix {
namespace {

constexpr std::size_t kDeviceNameChars = 513;
constexpr std::uint32_t kBusSlow = 100000;
constexpr std::uint32_t kBusFast = 200000;
const char kI2cCaption[] = "I2CSWRead";

bool Failed(std::uint32_t status) { return status != 0; }
bool Failed(std::int32_t status) { return status < 0; }

}  // namespace

// --- base ---

CRmtDeviceBase::CRmtDeviceBase(IRmtPlatform& platform, const tagRMTIDS& ids, const std::string& name, int readMode,
                               int activityBit)
    : m_platform(platform), m_ids(ids), m_nameUpper(ToUpper(name.substr(0, kDeviceNameChars))),
      m_readMode(readMode), m_activityBit(activityBit) {
    bool present = false;
    for (const std::string& hardwareId : m_platform.HardwareIds()) {
        tagRMTIDS candidate = m_ids;
        if (MatchHardwareId(hardwareId, candidate)) {
            m_ids = candidate;
            present = true;
            break;
        }
    }
    if (!present || m_nameUpper.empty())
        return;
    for (const std::string& friendlyName : m_platform.VideoInputNames()) {
        if (FriendlyNameMatches(friendlyName, m_nameUpper)) {
            m_found = true;
            return;
        }
    }
}

int CRmtDeviceBase::Open() {
    m_handle = m_platform.OpenKernelHandle(m_nameUpper);
    return m_handle ? 1 : 0;
}

int CRmtDeviceBase::Close() {
    m_handle.reset();
    return 1;
}

// --- CX2388x: property requests on the kernel handle ---

CRmtCx2388x::CRmtCx2388x(IRmtPlatform& platform, const tagRMTIDS& ids, const std::string& name, int readMode,
                         int activityBit)
    : CRmtDeviceBase(platform, ids, name, readMode, activityBit), m_register(CxGpioRegister(activityBit)),
      m_mask(CxGpioMask(activityBit)) {}

int CRmtCx2388x::Start() {
    if (!m_handle)
        Open();
    return 1;
}

std::uint32_t CRmtCx2388x::Send(std::uint32_t propertyId, std::uint32_t flags, std::uint32_t command,
                                std::uint32_t value, std::uint8_t byte, std::uint8_t* byteOut) {
    tagCXREQUEST request = MakeCxRequest(propertyId, flags, command);
    if (propertyId == kCxPropRegister) {
        PutLe32(request.abBuffer + kCxOffRegister, m_register);
    } else {
        PutLe32(request.abBuffer + kCxOffValue, value);
        if (command == kCxI2cSetReadAddress)
            request.abBuffer[kCxOffI2cAddress] = byte;
        else
            request.abBuffer[kCxOffI2cData] = byte;
    }
    const std::uint32_t status = m_handle->Request(request.abBuffer, request.nSize);
    if (!Failed(status) && byteOut)
        *byteOut = request.abBuffer[kCxOffI2cData];
    if (!Failed(status) && propertyId == kCxPropRegister && flags == kKsGet)
        m_lastValue = GetLe32(request.abBuffer + kCxOffValue);
    return status;
}

std::uint32_t CRmtCx2388x::ReadSelectedRegister(std::uint32_t& value) {
    std::uint32_t status = Send(kCxPropRegister, kKsSet, kCxRegRead);
    if (!Failed(status))
        status = Send(kCxPropRegister, kKsGet, kCxRegRead);
    if (!Failed(status))
        value = m_lastValue;
    return status;
}

std::uint32_t CRmtCx2388x::SetBus(std::uint32_t command, std::uint32_t speed) {
    const std::uint32_t status = Send(kCxPropI2c, kKsSet, command, speed);
    return Failed(status) ? status : Send(kCxPropI2c, kKsSet, kCxI2cApplyBus);
}

int CRmtCx2388x::CheckActivity() {
    if (!m_handle)
        return 0;
    if (Failed(Send(kCxPropRegister, kKsSet, kCxRegSelect)))
        return 0;
    std::uint32_t value = 0;
    if (Failed(ReadSelectedRegister(value)))
        return 0;
    // The activity line is active low.
    return (value & m_mask) == 0 ? 1 : 0;
}

int CRmtCx2388x::GetScanCode() {
    if (!m_handle)
        return -1;
    if (m_readMode == kReadModeGpio) {
        std::uint32_t value = 0;
        // A failed read is no key; decoded through the GPIO rule it would
        // turn into the code 0x7F.
        if (Failed(ReadSelectedRegister(value)))
            return 0xFF;
        return CxGpioScanCode(value);
    }
    if (m_readMode != kReadModeI2c)
        return 0xFF;
    if (Failed(SetBus(kCxI2cBus200k, kBusFast)))
        return 0xFF;
    std::uint8_t code = 0xFF;
    if (I2CSWRead(kIrI2cAddress, &code, 1) != 0)
        code = 0xFF;
    SetBus(kCxI2cBus100k, kBusSlow);
    return code;
}

int CRmtCx2388x::Fail(const char* text) {
    if (text)
        m_platform.ShowMessage(text, kI2cCaption);
    return 1;
}

int CRmtCx2388x::I2CSWRead(std::uint8_t address, std::uint8_t* buffer, int count) {
    if (!m_handle || !buffer || count <= 0)
        return 1;
    const std::uint8_t readAddress = static_cast<std::uint8_t>(address | 1);
    if (Failed(Send(kCxPropI2c, kKsSet, kCxI2cStart)))
        return Fail("Command I2C START failed!");
    if (Failed(Send(kCxPropI2c, kKsSet, kCxI2cSetReadAddress, 0, readAddress)))
        return Fail("Command I2C SET READ ADDRESS failed!");
    if (Failed(Send(kCxPropI2c, kKsSet, kCxI2cWriteByte, 0, readAddress)))
        return Fail(nullptr);
    for (int i = 0; i < count; ++i) {
        const bool last = i == count - 1;
        if (Failed(Send(kCxPropI2c, kKsGet, kCxI2cReadByte, 0, 0, &buffer[i])))
            return Fail("Command I2C READ failed!");
        if (Failed(Send(kCxPropI2c, kKsSet, last ? kCxI2cNack : kCxI2cAck)))
            return Fail(last ? "Command I2C NACK failed!" : "Command I2C ACT failed!");
    }
    const std::uint32_t stop = Send(kCxPropI2c, kKsSet, kCxI2cStop);
    SetBus(kCxI2cBus200k, kBusFast);
    return Failed(stop) ? 1 : 0;
}

// --- SAA713x: properties through IKsControl ---

CRmtSaa713x::CRmtSaa713x(IRmtPlatform& platform, const tagRMTIDS& ids, const std::string& name, int readMode,
                         int activityBit)
    : CRmtDeviceBase(platform, ids, name, readMode, activityBit) {}

int CRmtSaa713x::Close() {
    m_control.reset();
    return CRmtDeviceBase::Close();
}

int CRmtSaa713x::Start() {
    Close();
    m_control = m_platform.OpenKsControl(m_nameUpper);
    return m_control ? 1 : 0;
}

std::int32_t CRmtSaa713x::SendGpio(std::uint32_t flags, int pin, std::uint8_t* level) {
    tagSAAGPIOPROPERTY property = {};
    property.property.set = kSaaGpioSet;
    property.property.nFlags = flags;
    property.nPin = static_cast<std::uint8_t>(pin);
    return m_control->KsProperty(&property, sizeof property, level, 1);
}

std::int32_t CRmtSaa713x::SendI2c(std::uint32_t flags, std::uint8_t address, std::uint8_t subAddress,
                                  std::uint8_t* data, std::uint32_t size) {
    tagSAAI2CPROPERTY property = {};
    property.property.set = kSaaI2cSet;
    property.property.nFlags = flags;
    property.nAddress = address;
    property.pSubAddress = &subAddress;
    property.nSubAddressSize = subAddress == 0xFF ? 0 : 1;
    property.pData = data;
    property.nDataSize = size;
    return m_control->KsProperty(&property, sizeof property, data, size);
}

int CRmtSaa713x::GpioRead(int pin, std::uint8_t* level) {
    if (!level)
        return 0;
    if (m_control && !Failed(SendGpio(kKsGet, pin, level)))
        return 1;
    *level = 0xFF;
    return 0;
}

int CRmtSaa713x::GpioWrite(int pin, int level) {
    if (!m_control || (level != 0 && level != 1))
        return 0;
    std::uint8_t value = static_cast<std::uint8_t>(level);
    return Failed(SendGpio(kKsSet, pin, &value)) ? 0 : 1;
}

int CRmtSaa713x::I2CRead(std::uint8_t address, std::uint8_t subAddress, std::uint8_t* buffer, int count) {
    if (count > 8)
        return 255;
    if (!m_control || !buffer || count < 0)
        return 0;
    // Zeroed: the driver fills 4 bytes, the caller may ask for up to 8.
    std::uint8_t local[8] = {};
    if (Failed(SendI2c(kKsGet, address, subAddress, local, 4)))
        return 0;
    std::memcpy(buffer, local, static_cast<std::size_t>(count));
    return count;
}

int CRmtSaa713x::I2CWrite(std::uint8_t address, std::uint8_t subAddress, const std::uint8_t* buffer, int count) {
    if (!m_control)
        return 255;
    if (!buffer || count < 0)
        return 0;
    // The driver reads the data of a write; the property only carries a non-const pointer.
    std::uint8_t* data = const_cast<std::uint8_t*>(buffer);
    return Failed(SendI2c(kKsSet, address, subAddress, data, static_cast<std::uint32_t>(count))) ? 0 : count;
}

int CRmtSaa713x::CheckActivity() {
    std::uint8_t level = 1;
    return GpioRead(m_activityBit, &level) == 1 && level == 0 ? 1 : 0;
}

int CRmtSaa713x::GetScanCode() {
    if (m_readMode != kReadModeI2c)
        return 0xFF;
    std::uint8_t code = 0xFF;
    // A failed read is no key: neither a shift decision nor a shifted 0xFF.
    if (I2CRead(kIrI2cAddress, 0xFF, &code, 1) != 1)
        return 0xFF;
    if (code != 0 && m_shift == kShiftUnknown) {
        CSaaPinByte pins;
        for (int pin = 7; pin >= 0; --pin) {
            std::uint8_t level = 0;
            const bool read = GpioRead(pin, &level) == 1;
            pins.Add(read, level);
        }
        m_shift = SaaShiftDecision(pins.Value(), code);
    }
    return m_shift == 1 ? code >> 1 : code;
}

std::unique_ptr<CRmtDeviceBase> CreateDevice(IRmtPlatform& platform, RmtChip chip, const tagRMTIDS& ids,
                                             const std::string& name, int readMode, int activityBit) {
    if (chip == RmtChip::Cx2388x)
        return std::make_unique<CRmtCx2388x>(platform, ids, name, readMode, activityBit);
    return std::make_unique<CRmtSaa713x>(platform, ids, name, readMode, activityBit);
}

}  // namespace irbrix
