#pragma once
// The system below the library: SetupAPI for the present devices, the system
// device enumerator for capture devices, the capture filter's kernel handle
// and IKsControl for the driver's properties.

#include "irbridge/RmtPort.h"

namespace irbrix {

class CRmtPlatformWin : public IRmtPlatform {
public:
    std::vector<std::string> HardwareIds() override;
    std::vector<std::string> VideoInputNames() override;
    std::unique_ptr<IRmtKernelHandle> OpenKernelHandle(const std::string& nameUpper) override;
    std::unique_ptr<IRmtKsControl> OpenKsControl(const std::string& nameUpper) override;
    void ShowMessage(const char* text, const char* caption) override;
};

}  // namespace irbrix
