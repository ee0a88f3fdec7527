// The HID receiver: its device table, and the device search and report read
// over Wine's own HID devices. Wine's devices are a mouse and a keyboard on
// the generic desktop page, so the accept path and the reports go through a
// scripted IHidAccess; enumeration, opening and (in the last test) a real
// overlapped read that never completes are the system's.

#include "receivers/SrcHid.h"
#include "support/ScopedWin.h"
#include "tests/receivers/KeyEventLog.h"

#include <gtest/gtest.h>

#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using keylog::CKeyEventLog;

// A HID device whose answers the test scripts. Reads without a queued report
// stay pending until Deliver or a cancellation ends them.
class CScriptedHid : public IHidAccess {
public:
    struct tagDEVICE {
        std::uint16_t vid, pid, usagePage;
    };
    void AddDevice(tagDEVICE device) { m_devices.push_back(device); }

    bool GetAttributes(HANDLE, std::uint16_t* vid, std::uint16_t* pid) override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_devices.empty())
            return false;
        m_current = m_devices.front();
        m_devices.pop_front();
        *vid = m_current.vid;
        *pid = m_current.pid;
        return true;
    }
    bool GetTopLevelUsage(HANDLE, std::uint16_t* usagePage, std::uint16_t* usage, std::uint16_t* reportBytes) override {
        std::lock_guard<std::mutex> lock(m_lock);
        ++m_usageQueries;
        *usagePage = m_current.usagePage;
        *usage = 1;
        *reportBytes = 8;
        return true;
    }
    BOOL StartRead(HANDLE, void* buffer, DWORD bytes, OVERLAPPED* overlapped) override {
        std::lock_guard<std::mutex> lock(m_lock);
        ++m_reads;
        if (m_pending) {
            m_overlappingStart = true;  // a second read on the same record
            return FALSE;
        }
        m_buffer = static_cast<std::uint8_t*>(buffer);
        m_bytes = bytes;
        m_overlapped = overlapped;
        m_pending = true;
        m_changed.notify_all();
        SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }
    void CancelRead(HANDLE, OVERLAPPED* overlapped) override {
        std::lock_guard<std::mutex> lock(m_lock);
        ++m_cancels;
        if (m_pending && overlapped == m_overlapped) {
            m_cancelled = true;
            SetEvent(overlapped->hEvent);
        }
    }
    BOOL GetReadResult(HANDLE, OVERLAPPED* overlapped, DWORD* bytes, BOOL) override {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_pending || overlapped != m_overlapped)
            return FALSE;
        m_pending = false;
        if (m_cancelled) {
            m_cancelled = false;
            SetLastError(ERROR_OPERATION_ABORTED);
            return FALSE;
        }
        *bytes = m_bytes;
        return TRUE;
    }

    // Completes the pending read with the report, as the driver would.
    bool Deliver(std::vector<std::uint8_t> report) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_pending || m_cancelled)
            return false;
        report.resize(m_bytes);
        std::memcpy(m_buffer, report.data(), m_bytes);
        SetEvent(m_overlapped->hEvent);
        return true;
    }
    bool WaitForReads(int count) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::seconds(5), [&] { return m_reads >= count && m_pending; });
    }
    int Reads() { return Locked(m_reads); }
    int Cancels() { return Locked(m_cancels); }
    bool Pending() { return Locked(m_pending); }
    int UsageQueries() { return Locked(m_usageQueries); }
    bool OverlappingStart() { return Locked(m_overlappingStart); }

private:
    template <class T>
    T Locked(const T& field) {
        std::lock_guard<std::mutex> lock(m_lock);
        return field;
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<tagDEVICE> m_devices;
    tagDEVICE m_current = {};
    std::uint8_t* m_buffer = nullptr;
    DWORD m_bytes = 0;
    OVERLAPPED* m_overlapped = nullptr;
    bool m_pending = false;
    bool m_cancelled = false;
    bool m_overlappingStart = false;
    int m_reads = 0;
    int m_cancels = 0;
    int m_usageQueries = 0;
};

// The system's HID calls, except that the device claims the vendor page.
class CVendorPageHid : public IHidAccess {
public:
    bool GetAttributes(HANDLE d, std::uint16_t* vid, std::uint16_t* pid) override {
        return SystemHidAccess().GetAttributes(d, vid, pid);
    }
    bool GetTopLevelUsage(HANDLE d, std::uint16_t* usagePage, std::uint16_t* usage, std::uint16_t* reportBytes) override {
        if (!SystemHidAccess().GetTopLevelUsage(d, usagePage, usage, reportBytes))
            return false;
        *usagePage = HID_USAGE_PAGE_VEMTRA;
        return true;
    }
    BOOL StartRead(HANDLE d, void* b, DWORD n, OVERLAPPED* o) override { return SystemHidAccess().StartRead(d, b, n, o); }
    void CancelRead(HANDLE d, OVERLAPPED* o) override {
        ++m_cancels;
        SystemHidAccess().CancelRead(d, o);
    }
    BOOL GetReadResult(HANDLE d, OVERLAPPED* o, DWORD* n, BOOL w) override {
        return SystemHidAccess().GetReadResult(d, o, n, w);
    }
    int m_cancels = 0;
};

class CHidProbe : public CSrcHid {
public:
    using CSrcHid::CSrcHid;
    void StopPollingNow() { StopPolling(); }
};

std::string Source(const char* name, int hidType, const char* vid, const char* pid, const char* extra = "") {
    char line[256];
    std::snprintf(line, sizeof(line), "<HidSource Name=\"%s\" HidType=\"%d\" Vid=\"%s\" Pid=\"%s\" %s/>", name,
                  hidType, vid, pid, extra);
    return line;
}

// The vendor and product ids of the HID interface the receiver visits first.
bool LastInterfaceIds(std::uint16_t* vid, std::uint16_t* pid) {
    GUID guid;
    HidD_GetHidGuid(&guid);
    HDEVINFO set = SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return false;
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof(data);
    DWORD count = 0;
    while (SetupDiEnumDeviceInterfaces(set, nullptr, &guid, count, &data))
        ++count;
    bool ok = false;
    if (count > 0 && SetupDiEnumDeviceInterfaces(set, nullptr, &guid, count - 1, &data)) {
        BYTE buffer[1024] = {};
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer);
        detail->cbSize = sizeof(*detail);
        if (SetupDiGetDeviceInterfaceDetailW(set, &data, detail, sizeof(buffer), nullptr, nullptr)) {
            CQVHandle device(CreateFileW(detail->DevicePath, GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
            ok = device && SystemHidAccess().GetAttributes(device.Get(), vid, pid);
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return ok;
}

int HidInterfaceCount() {
    GUID guid;
    HidD_GetHidGuid(&guid);
    HDEVINFO set = SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof(data);
    DWORD count = 0;
    while (SetupDiEnumDeviceInterfaces(set, nullptr, &guid, count, &data))
        ++count;
    SetupDiDestroyDeviceInfoList(set);
    return static_cast<int>(count);
}

class HidTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_table = std::wstring(temp) + L"kanzo_srchid_" + std::to_wstring(GetCurrentProcessId()) + L".xml";
    }
    void TearDown() override {
        DeleteFileW(m_table.c_str());
        CoUninitialize();
    }
    void WriteTable(const std::string& text) {
        FILE* file = _wfopen(m_table.c_str(), L"wb");
        ASSERT_NE(nullptr, file);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    void WriteSources(const std::string& sources) { WriteTable("<HidSourceTable>" + sources + "</HidSourceTable>"); }
    template <class T>
    void UseTable(T& receiver) {
        receiver.SetTablePath(m_table);
    }

    std::wstring m_table;
    CKeyEventLog m_events;
};

TEST_F(HidTest, TableReadsIntegersAndTextAndKeepsTheFirst128) {
    std::string sources = Source("Hex", 2, "0x2B17", "0x0058", "RcType=\"0x0800\" Timeout=\"120\" UsagePage=\"0xFFCC\"") +
                          Source("Dec", 4, "11044", "70", "RcType=\"128\"") + "<HidSource/>";
    for (int i = 3; i < 130; ++i)
        sources += Source(("Row " + std::to_string(i)).c_str(), 1, "1", std::to_string(i).c_str());
    WriteSources(sources);
    CSrcHid receiver;
    UseTable(receiver);
    ASSERT_TRUE(receiver.LoadHidDeviceConfigFromXml());
    ASSERT_EQ(HIDSOURCE_TABLE_SIZE, receiver.GetTableSize());

    const tagHIDSOURCE& hex = receiver.GetTableRecord(0);
    EXPECT_EQ(2, hex.nHidType);
    EXPECT_EQ(0x2B17, hex.wVid);
    EXPECT_EQ(0x0058, hex.wPid);
    EXPECT_EQ(0x0800, hex.nRcType);
    EXPECT_EQ(120u, hex.dwTimeout);
    EXPECT_EQ(0xFFCC, hex.wUsagePage);
    EXPECT_STREQ(L"Hex", hex.szName);
    const tagHIDSOURCE& dec = receiver.GetTableRecord(1);
    EXPECT_EQ(0x2B24, dec.wVid);
    EXPECT_EQ(70, dec.wPid);
    EXPECT_EQ(128, dec.nRcType);
    // Missing integers read as -1; a missing timeout keeps the built-in 90 ms.
    const tagHIDSOURCE& empty = receiver.GetTableRecord(2);
    EXPECT_EQ(-1, empty.nHidType);
    EXPECT_EQ(0xFFFF, empty.wVid);
    EXPECT_EQ(-1, empty.nRcType);
    EXPECT_EQ(90u, empty.dwTimeout);
    EXPECT_STREQ(L"", empty.szName);
    EXPECT_STREQ(L"Row 127", receiver.GetTableRecord(127).szName);
}

TEST_F(HidTest, MissingOrMalformedTableFailsInit) {
    CScriptedHid hid;
    CSrcHid receiver(hid);
    UseTable(receiver);
    EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record));  // no file
    const char* const bad[] = {"<HidSourceTable><HidSource", "<OtherTable/>", "not xml at all", ""};
    for (const char* text : bad) {
        WriteTable(text);
        EXPECT_FALSE(receiver.LoadHidDeviceConfigFromXml()) << text;
        EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record)) << text;
    }
    EXPECT_EQ(0, hid.UsageQueries());
    EXPECT_EQ(nullptr, receiver.GetPollThreadHandle());
}

TEST_F(HidTest, ShippedTableLoads) {
    CSrcHid receiver;
    receiver.SetTablePath(L"SrcHid.xml");
    ASSERT_TRUE(receiver.LoadHidDeviceConfigFromXml());
    EXPECT_GT(receiver.GetTableSize(), 0);
}

TEST_F(HidTest, WinesOwnDevicesAreNotReceivers) {
    ASSERT_GT(HidInterfaceCount(), 0);
    WriteSources(Source("Nobody", 3, "0x2B17", "0x0046"));
    CSrcHid receiver;
    UseTable(receiver);
    EXPECT_EQ(0, receiver.Init(&m_events, &CKeyEventLog::Record));
}

TEST_F(HidTest, MatchWithoutTheVendorPageIsPassedForTheNextInterface) {
    if (HidInterfaceCount() < 2)
        GTEST_SKIP() << "needs two HID interfaces";
    WriteSources(Source("Other", 3, "0x2B24", "0x0026", "RcType=\"0x0080\"") +
                 Source("Sim NEC", 2, "0x2B17", "0x0058", "RcType=\"0x0010\" Timeout=\"50\""));
    CScriptedHid hid;
    hid.AddDevice({0x2B17, 0x0058, 0x0001});
    hid.AddDevice({0x2B17, 0x0058, HID_USAGE_PAGE_VEMTRA});
    auto receiver = std::make_unique<CSrcHid>(hid);
    UseTable(*receiver);
    ASSERT_EQ(1, receiver->Init(&m_events, &CKeyEventLog::Record));
    EXPECT_EQ(2, hid.UsageQueries());
    EXPECT_EQ(L"Sim NEC", receiver->GetDeviceName());
    EXPECT_EQ(0x0010, receiver->GetRcType());

    // A NEC report with the address 0x4545, through the polling thread.
    ASSERT_TRUE(hid.WaitForReads(1));
    int keyId = KEYID_NONE;
    const std::uint8_t code = keylog::PlainMorvaneKey(&keyId);
    ASSERT_TRUE(hid.Deliver({0, code, 0x45, 0x45}));
    ASSERT_TRUE(m_events.WaitFor(1));
    EXPECT_EQ(keyId, m_events.At(0).nKeyId);
    EXPECT_EQ(RCTYPE_MORVANE, m_events.At(0).nRcType);

    // Destroyed while its next read is pending: the read is ended first.
    ASSERT_TRUE(hid.WaitForReads(2));
    receiver.reset();
    EXPECT_FALSE(hid.Pending());
    EXPECT_EQ(1, hid.Cancels());
    EXPECT_FALSE(hid.OverlappingStart());
}

TEST_F(HidTest, ReadThatTimesOutStaysTheOneReadAndItsReportCounts) {
    WriteSources(Source("Sim", 3, "0x2B17", "0x0046", "Timeout=\"1\""));
    CScriptedHid hid;
    for (int i = 0; i < 8; ++i)
        hid.AddDevice({0x2B17, 0x0046, HID_USAGE_PAGE_VEMTRA});
    CHidProbe receiver(hid);
    UseTable(receiver);
    ASSERT_EQ(1, receiver.Init(&m_events, &CKeyEventLog::Record));
    receiver.StopPollingNow();
    const int before = hid.Reads();
    const bool pendingBefore = hid.Pending();

    EXPECT_EQ(NEC_CODE_IDLE, receiver.GetCurrentKeyCode());
    EXPECT_EQ(NEC_CODE_IDLE, receiver.GetCurrentKeyCode());
    EXPECT_EQ(pendingBefore ? before : before + 1, hid.Reads());
    ASSERT_TRUE(hid.Deliver({0, 0x21}));
    EXPECT_EQ(0x21, receiver.GetCurrentKeyCode());
    EXPECT_EQ(NEC_CODE_IDLE, receiver.GetCurrentKeyCode());  // a fresh read, no report yet
    EXPECT_FALSE(hid.OverlappingStart());
}

TEST_F(HidTest, RealPendingReadTimesOutAndIsCancelledOnDestruction) {
    std::uint16_t vid = 0, pid = 0;
    ASSERT_TRUE(LastInterfaceIds(&vid, &pid));
    char vidText[16], pidText[16];
    std::snprintf(vidText, sizeof(vidText), "0x%04X", vid);
    std::snprintf(pidText, sizeof(pidText), "0x%04X", pid);
    // Format 0 reports nothing whatever arrives: other suites type into this prefix.
    WriteSources(Source("Wine device", 0, vidText, pidText, "Timeout=\"20\""));
    CVendorPageHid hid;
    auto receiver = std::make_unique<CHidProbe>(hid);
    UseTable(*receiver);
    ASSERT_EQ(1, receiver->Init(&m_events, &CKeyEventLog::Record));
    receiver->StopPollingNow();
    EXPECT_EQ(NEC_CODE_IDLE, receiver->GetCurrentKeyCode());
    EXPECT_EQ(NEC_CODE_IDLE, receiver->GetCurrentKeyCode());
    receiver.reset();
    EXPECT_EQ(1, hid.m_cancels);
}

}  // namespace
