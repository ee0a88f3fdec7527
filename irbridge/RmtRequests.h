#pragma once
// The request layouts of the two capture drivers and the decoding of what
// their chips answer. No system headers: the simulated chips of the tests
// read the same layouts.

#include <cstddef>
#include <cstdint>

namespace irbrix {

struct tagRMTGUID {
    std::uint32_t nData1;
    std::uint16_t nData2;
    std::uint16_t nData3;
    std::uint8_t abData4[8];
};
bool operator==(const tagRMTGUID& a, const tagRMTGUID& b);

// The head of every kernel-streaming property (KSPROPERTY).
struct tagRMTKSPROPERTY {
    tagRMTGUID set;
    std::uint32_t nId;
    std::uint32_t nFlags;
};
static_assert(sizeof(tagRMTKSPROPERTY) == 24, "KSPROPERTY layout");

constexpr std::uint32_t kKsGet = 1;
constexpr std::uint32_t kKsSet = 2;

// --- CX2388x: one buffer, in and out, on the filter's kernel handle ---
extern const tagRMTGUID kCxPropertySet;
constexpr std::uint32_t kCxPropRegister = 6;
constexpr std::uint32_t kCxPropI2c = 4;
constexpr std::size_t kCxRegisterRequestSize = 40;
constexpr std::size_t kCxI2cRequestSize = 120;
constexpr std::size_t kCxOffCommand = 24;
constexpr std::size_t kCxOffRegister = 28;
constexpr std::size_t kCxOffValue = 32;
constexpr std::size_t kCxOffI2cAddress = 48;
constexpr std::size_t kCxOffI2cData = 50;

enum : std::uint32_t {
    kCxRegSelect = 0x30000001,
    kCxRegRead = 0x30000003,
    kCxI2cApplyBus = 0x11000001,
    kCxI2cBus100k = 0x11000002,
    kCxI2cBus200k = 0x11000003,
    kCxI2cStart = 0x1100000B,
    kCxI2cSetReadAddress = 0x11000018,
    kCxI2cWriteByte = 0x1100000E,
    kCxI2cReadByte = 0x1100000D,
    kCxI2cAck = 0x1100000F,
    kCxI2cNack = 0x11000010,
    kCxI2cStop = 0x1100000C,
};

struct tagCXREQUEST {
    std::uint8_t abBuffer[kCxI2cRequestSize];
    std::size_t nSize;
};
tagCXREQUEST MakeCxRequest(std::uint32_t propertyId, std::uint32_t flags, std::uint32_t command);
void PutLe32(std::uint8_t* at, std::uint32_t value);
std::uint32_t GetLe32(const std::uint8_t* at);

constexpr std::uint32_t kCxGpioRegisterBase = 0x350010;
constexpr std::uint32_t CxGpioRegister(int bit) { return kCxGpioRegisterBase + 4u * static_cast<std::uint32_t>(bit / 8); }
constexpr std::uint32_t CxGpioMask(int bit) { return 1u << (bit % 8); }
// The scan code a GPIO-wired receiver leaves in the register: six code bits
// and bit 7 moved to bit 6.
constexpr int CxGpioScanCode(std::uint32_t value) { return static_cast<int>((value & 0x3F) + ((value & 0x80) ? 0x40 : 0)); }

// --- SAA713x: properties through IKsControl ---
extern const tagRMTGUID kSaaGpioSet;
extern const tagRMTGUID kSaaI2cSet;

struct tagSAAGPIOPROPERTY {
    tagRMTKSPROPERTY property;
    std::uint8_t nPin;
    std::uint8_t abZero[7];
};
static_assert(sizeof(tagSAAGPIOPROPERTY) == 32, "GPIO property layout");

// The driver's own structure: its pointer fields are pointer-sized, which is
// the 48-byte layout with 4-byte pointers on 32-bit Windows.
struct tagSAAI2CPROPERTY {
    tagRMTKSPROPERTY property;
    std::uint8_t nAddress;
    std::uint8_t abZero[3];
    std::uint8_t* pSubAddress;
    std::uint32_t nSubAddressSize;
    std::uint8_t* pData;
    std::uint32_t nDataSize;
    std::uint32_t nReserved;
};
static_assert(sizeof(void*) != 4 || sizeof(tagSAAI2CPROPERTY) == 48, "I2C property layout");

// Pins read from 7 down to 0, most significant first; a pin that could not
// be read adds no bit.
class CSaaPinByte {
public:
    void Add(bool read, int level) {
        if (read)
            m_value = static_cast<std::uint8_t>((m_value << 1) | (level ? 1 : 0));
    }
    std::uint8_t Value() const { return m_value; }

private:
    std::uint8_t m_value = 0;
};

// Whether a card's I2C receiver delivers its codes one bit to the left:
// decided once from the pins against the first key code.
constexpr std::uint8_t kShiftUnknown = 0xFF;
constexpr std::uint8_t SaaShiftDecision(std::uint8_t pins, std::uint8_t code) {
    return pins == 0x40 ? 0 : (pins != code ? 1 : 0);
}

// I2C bus addresses (8-bit form) of the remote's receiver.
constexpr std::uint8_t kIrI2cAddress = 0x60;
constexpr std::uint8_t kIrI2cReadAddress = 0x61;

}  // namespace irbrix
