#pragma once
// Where the library meets the capture drivers and the system. Everything
// above this interface is plain logic and runs without Windows; the real
// implementation (RmtPlatformWin) and the simulated chips of the tests sit
// below it. Statuses are HRESULT-style: negative means failure.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace irbrix {

// The capture filter's kernel handle: one IOCTL_KS_PROPERTY request whose
// buffer is both input and output. Returns 0 or 0x8007xxxx.
class IRmtKernelHandle {
public:
    virtual ~IRmtKernelHandle() = default;
    virtual std::uint32_t Request(std::uint8_t* buffer, std::size_t size) = 0;
};

// The capture filter's IKsControl: KsProperty with a property block and data.
class IRmtKsControl {
public:
    virtual ~IRmtKsControl() = default;
    virtual std::int32_t KsProperty(void* property, std::uint32_t propertySize, void* data,
                                    std::uint32_t dataSize) = 0;
};

class IRmtPlatform {
public:
    virtual ~IRmtPlatform() = default;
    // The first hardware-id string of every present device, as the system reports it.
    virtual std::vector<std::string> HardwareIds() = 0;
    // Friendly names (ANSI) of the video-input capture devices.
    virtual std::vector<std::string> VideoInputNames() = 0;
    // Kernel handle of the video-input device whose friendly name contains
    // nameUpper (names compared upper-cased); null when there is none.
    virtual std::unique_ptr<IRmtKernelHandle> OpenKernelHandle(const std::string& nameUpper) = 0;
    // IKsControl of the capture filter so named in the kernel-streaming
    // capture category, added to a filter graph first; null when none.
    virtual std::unique_ptr<IRmtKsControl> OpenKsControl(const std::string& nameUpper) = 0;
    // Ownerless OK box; blocks until dismissed.
    virtual void ShowMessage(const char* text, const char* caption) = 0;
};

}  // namespace irbrix
