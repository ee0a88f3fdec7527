#pragma once
// Simulated capture cards below the library's driver seam. The chips read the
// request layouts byte by byte as their drivers would, so a wrong offset,
// command or order fails here. A remote's receiver is either an I2C device at
// 0x60 that answers the code of the key held (0 when none) or GPIO pins.

#include "irbridge/RmtPort.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace simchips {

// The remote's receiver on the card's I2C bus.
struct tagSIMREMOTE {
    bool fPresent = true;  // false: nobody acknowledges the address
    std::uint8_t nAddress = 0x60;
    std::uint8_t nHeld = 0;  // code of the key held, 0 when none
    void Press(std::uint8_t code) { nHeld = code; }
    void Release() { nHeld = 0; }
};

constexpr std::uint32_t kDeviceError = 0x8007001F;  // ERROR_GEN_FAILURE as the drivers report it

// CX2388x driver: property requests on its kernel handle.
class CSimCx2388x {
public:
    std::uint32_t Request(std::uint8_t* buffer, std::size_t size);

    tagSIMREMOTE remote;
    std::map<std::uint32_t, std::uint32_t> registers;
    std::vector<std::uint32_t> commands;  // every command in order
    std::uint32_t failCommand = 0;        // this command fails (0: none)
    std::uint32_t busSpeed = 0;           // the setting last applied

private:
    std::uint32_t m_selected = 0;
    std::uint32_t m_pendingSpeed = 0;
    std::uint8_t m_readAddress = 0;
    bool m_started = false;
    bool m_acknowledged = false;
};

// SAA713x driver: GPIO and I2C properties through IKsControl.
class CSimSaa713x {
public:
    std::int32_t KsProperty(void* property, std::uint32_t propertySize, void* data, std::uint32_t dataSize);

    tagSIMREMOTE remote;
    std::uint8_t pins = 0xFF;  // levels of GPIO pins 7..0
    int failPin = -1;          // this pin cannot be read
    int i2cRequests = 0;
    int gpioRequests = 0;
};

// The system as the library sees it: present hardware, capture devices and
// the drivers behind them; message boxes are recorded, never shown.
class CSimPlatform : public irbrix::IRmtPlatform {
public:
    std::vector<std::string> HardwareIds() override { return hardwareIds; }
    std::vector<std::string> VideoInputNames() override { return videoInputNames; }
    std::unique_ptr<irbrix::IRmtKernelHandle> OpenKernelHandle(const std::string& nameUpper) override;
    std::unique_ptr<irbrix::IRmtKsControl> OpenKsControl(const std::string& nameUpper) override;
    void ShowMessage(const char* text, const char* caption) override;

    // A card: its hardware id and its capture device under both categories.
    void AddCard(const std::string& hardwareId, const std::string& captureName);

    std::vector<std::string> hardwareIds;
    std::vector<std::string> videoInputNames;
    std::vector<std::string> ksCaptureNames;
    // The drivers that answer; null = the device opens but has no control path.
    std::shared_ptr<CSimCx2388x> cx;
    std::shared_ptr<CSimSaa713x> saa;
    std::vector<std::string> messages;  // "caption: text"
};

}  // namespace simchips
