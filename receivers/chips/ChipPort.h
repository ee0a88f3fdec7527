#pragma once
// Where the chip receivers meet their drivers outside COM: I/O codes on an
// opened device file, and requests on a capture filter's kernel handle. The
// system's port opens the real devices; tests put simulated drivers here.
//
// Windows-only.

#include <windows.h>
#include <strmif.h>

#include <memory>
#include <string>

// One opened device. Control is DeviceIoControl: ERROR_SUCCESS, or
// ERROR_IO_PENDING when an overlapped request was queued (its event is set
// when it completes), or the failure's error code.
class IChipDevice {
public:
    virtual ~IChipDevice() = default;
    virtual DWORD Control(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD* returned,
                          OVERLAPPED* overlapped) = 0;
    // Cancels the pending requests this thread issued.
    virtual void CancelIo() = 0;
};

class IChipDriverPort {
public:
    virtual ~IChipDriverPort() = default;
    // Opens a device file for reading and writing (shared); null on failure.
    virtual std::unique_ptr<IChipDevice> Open(const std::wstring& path, DWORD access, bool overlapped) = 0;
    // The kernel handle of a capture filter; requests go through
    // KsSynchronousDeviceControl. Null when the filter has none.
    virtual std::unique_ptr<IChipDevice> OpenFilterHandle(IBaseFilter* filter) = 0;
};

// The port in use: the system's unless a test installed another.
IChipDriverPort& ChipDriverPort();
// Null restores the system's port. Not for use while receivers are alive.
void SetChipDriverPort(IChipDriverPort* port);

// IKsPropertySet requests whose instance data is the data block itself, as
// the chips' drivers expect.
HRESULT GetChipProperty(IKsPropertySet* set, const GUID& propertySet, DWORD id, void* data, DWORD bytes);
HRESULT SetChipProperty(IKsPropertySet* set, const GUID& propertySet, DWORD id, void* data, DWORD bytes);

// A text in the ANSI code page, for the drivers' 8-bit interfaces.
std::string ToAnsiText(const std::wstring& text);

// The filter of the first category that lists the model name exactly.
HRESULT FindChipFilter(const wchar_t* modelName, const GUID* const* categories, int count, IBaseFilter** filter);
