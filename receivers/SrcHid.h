#pragma once
// CSrcHid: infrared receivers that present themselves as HID devices with the
// vendor usage page. Which devices they are, how their reports encode the
// key, their remote's RC type and how long a read waits come from the device
// table "SrcHid.xml" beside the program. A polling receiver whose read waits
// for one input report at a time.
//
// Windows-only.

#include "receivers/HidReport.h"
#include "receivers/SrcPoll.h"
#include "support/ScopedWin.h"

#include <windows.h>

#include <string>
#include <vector>

// The HID calls the receiver makes on an open device. The system's are the
// default; tests script a device where the platform offers none.
class IHidAccess {
public:
    virtual ~IHidAccess() = default;
    virtual bool GetAttributes(HANDLE device, std::uint16_t* vendorId, std::uint16_t* productId) = 0;
    // Top-level usage page, usage and input report length; false when the
    // preparsed data cannot be had.
    virtual bool GetTopLevelUsage(HANDLE device, std::uint16_t* usagePage, std::uint16_t* usage,
                                  std::uint16_t* inputReportBytes) = 0;
    // An overlapped ReadFile: TRUE when done at once, FALSE with
    // ERROR_IO_PENDING while it runs, FALSE otherwise when it failed.
    virtual BOOL StartRead(HANDLE device, void* buffer, DWORD bytes, OVERLAPPED* overlapped) = 0;
    virtual void CancelRead(HANDLE device, OVERLAPPED* overlapped) = 0;
    // GetOverlappedResult; wait TRUE blocks until the read has ended.
    virtual BOOL GetReadResult(HANDLE device, OVERLAPPED* overlapped, DWORD* bytes, BOOL wait) = 0;
};
IHidAccess& SystemHidAccess();

class CSrcHid : public CSrcPoll {
public:
    explicit CSrcHid(IHidAccess& hid = SystemHidAccess(), IClock& clock = SystemClock());
    ~CSrcHid() override;

    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    // Waits up to the record's timeout for one report; 0xFF when none came.
    std::uint8_t GetCurrentKeyCode() override;
    int PollForIrEvent(unsigned argument) override;

    // Loads the table from TablePath(); false when it cannot be read.
    bool LoadHidDeviceConfigFromXml();
    // "<program folder>\SrcHid.xml" unless a test chose another file.
    std::wstring TablePath() const;
    void SetTablePath(const std::wstring& path) { m_tablePath = path; }
    const tagHIDSOURCE& GetSource() const { return m_source; }
    int GetTableSize() const { return m_tableSize; }
    const tagHIDSOURCE& GetTableRecord(int index) const { return m_table[index]; }

private:
    // Whether the device at the path is one of the table's; opens it for reading when so.
    bool TryDevice(const wchar_t* path);
    // Ends a read still running, so its buffer and record can go.
    void EndPendingRead();

    IHidAccess& m_hid;
    CQVHandle m_queryDevice;  // opened for the capability query
    CQVHandle m_readDevice;   // opened for overlapped reads
    CQVHandle m_readEvent;
    // A read left running by a timeout goes on writing into these; they stay
    // until it ends, and no new read starts on them before.
    OVERLAPPED m_overlapped = {};
    // The driver takes only reads of a whole report; the formats use its first 8 bytes.
    std::vector<std::uint8_t> m_report = std::vector<std::uint8_t>(HID_REPORT_BYTES);
    bool m_readPending = false;
    tagHIDSOURCE m_source = {};
    tagHIDSOURCE m_table[HIDSOURCE_TABLE_SIZE] = {};
    int m_tableSize = 0;
    std::wstring m_tablePath;
};
