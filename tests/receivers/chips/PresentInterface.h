#pragma once
// A device made present through SetupAPI with one interface of a category,
// marked linked so that present-only enumeration lists it; removed again by
// the destructor. Opening its path is left to the driver port.

#include <windows.h>
#include <setupapi.h>

#include <string>

namespace chipkit {

class CPresentInterface {
public:
    CPresentInterface(const std::wstring& instanceId, const std::wstring& hardwareId, const GUID& category);
    ~CPresentInterface();
    CPresentInterface(const CPresentInterface&) = delete;
    CPresentInterface& operator=(const CPresentInterface&) = delete;

    bool IsReady() const { return !m_path.empty(); }
    // Gives the device a driver key naming the driver file, as an installed
    // driver has; false when it cannot be made.
    bool AddDriverKey(const wchar_t* driverFile);
    const std::wstring& Path() const { return m_path; }

private:
    HDEVINFO m_set = INVALID_HANDLE_VALUE;
    SP_DEVINFO_DATA m_data = {};
    bool m_created = false;
    std::wstring m_path;
};

}  // namespace chipkit
