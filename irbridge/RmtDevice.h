#pragma once
// The device object of one card: presence check at construction, a control
// path to its capture driver after Start, then activity and scan-code queries.

#include "irbridge/RmtIds.h"
#include "irbridge/RmtPort.h"
#include "irbridge/RmtRequests.h"

#include <cstdint>
#include <memory>
#include <string>

namespace irbrix {

class CRmtDeviceBase {
public:
    // Looks for the card (hardware id and capture device); Found() tells.
    CRmtDeviceBase(IRmtPlatform& platform, const tagRMTIDS& ids, const std::string& name, int readMode,
                   int activityBit);
    virtual ~CRmtDeviceBase() = default;
    CRmtDeviceBase(const CRmtDeviceBase&) = delete;
    CRmtDeviceBase& operator=(const CRmtDeviceBase&) = delete;

    bool Found() const { return m_found; }
    const tagRMTIDS& Ids() const { return m_ids; }

    virtual int Open();
    virtual int Close();
    virtual int Start() { return 1; }
    virtual int CheckActivity() { return 0; }
    virtual int GetScanCode() { return 0xFF; }
    virtual int I2CRead(std::uint8_t, std::uint8_t, std::uint8_t*, int) { return 0; }
    virtual int I2CWrite(std::uint8_t, std::uint8_t, const std::uint8_t*, int) { return 0; }
    virtual int GpioRead(int, std::uint8_t*) { return 0; }
    virtual int GpioWrite(int, int) { return 0; }

protected:
    IRmtPlatform& m_platform;
    tagRMTIDS m_ids;
    std::string m_nameUpper;
    std::unique_ptr<IRmtKernelHandle> m_handle;
    int m_readMode;
    int m_activityBit;

private:
    bool m_found = false;
};

class CRmtCx2388x : public CRmtDeviceBase {
public:
    CRmtCx2388x(IRmtPlatform& platform, const tagRMTIDS& ids, const std::string& name, int readMode, int activityBit);

    int Start() override;
    int CheckActivity() override;
    int GetScanCode() override;
    // 0 when count bytes were read from the device at address, else non-zero.
    int I2CSWRead(std::uint8_t address, std::uint8_t* buffer, int count);

private:
    std::uint32_t Send(std::uint32_t propertyId, std::uint32_t flags, std::uint32_t command,
                       std::uint32_t value = 0, std::uint8_t byte = 0, std::uint8_t* byteOut = nullptr);
    std::uint32_t ReadSelectedRegister(std::uint32_t& value);
    std::uint32_t SetBus(std::uint32_t command, std::uint32_t speed);
    int Fail(const char* text);

    std::uint32_t m_register;
    std::uint32_t m_mask;
    std::uint32_t m_lastValue = 0;
};

class CRmtSaa713x : public CRmtDeviceBase {
public:
    CRmtSaa713x(IRmtPlatform& platform, const tagRMTIDS& ids, const std::string& name, int readMode, int activityBit);

    int Close() override;
    int Start() override;
    int CheckActivity() override;
    int GetScanCode() override;
    int I2CRead(std::uint8_t address, std::uint8_t subAddress, std::uint8_t* buffer, int count) override;
    int I2CWrite(std::uint8_t address, std::uint8_t subAddress, const std::uint8_t* buffer, int count) override;
    int GpioRead(int pin, std::uint8_t* level) override;
    int GpioWrite(int pin, int level) override;

private:
    std::int32_t SendI2c(std::uint32_t flags, std::uint8_t address, std::uint8_t subAddress, std::uint8_t* data,
                         std::uint32_t size);
    std::int32_t SendGpio(std::uint32_t flags, int pin, std::uint8_t* level);

    std::unique_ptr<IRmtKsControl> m_control;
    std::uint8_t m_shift = kShiftUnknown;
};

std::unique_ptr<CRmtDeviceBase> CreateDevice(IRmtPlatform& platform, RmtChip chip, const tagRMTIDS& ids,
                                             const std::string& name, int readMode, int activityBit);

}  // namespace irbrix
