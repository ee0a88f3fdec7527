// Figures for the chip receivers over their simulated chips, on the real
// clock: key events per second while a key is held, and the CPU share of
// the polling thread while no key is. Prints one line per receiver.
#include "receivers/chips/SrcRcSonexaUniverse.h"
#include "receivers/chips/SrcRcTavora_CX2388x.h"
#include "receivers/chips/SrcRcTavora_EM28xx_BDA.h"
#include "receivers/chips/SrcRcTavora_SAA_BDA.h"
#include "receivers/chips/SrcRcTavora_SAA_HT_PCI.h"
#include "receivers/chips/SrcRcTavora_SAA_WDM.h"
#include "receivers/chips/SrcRcTavora_S_USB.h"
#include "receivers/chips/SrcYuan.h"
#include "tests/receivers/chips/PresentInterface.h"
#include "tests/receivers/chips/SimDrivers.h"
#include "tests/receivers/chips/SimEventChips.h"
#include "tests/receivers/chips/SimKsChips.h"

#include "support/GraphBase.h"

#include <uuids.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

std::atomic<int> g_events{0};

int KANZO_STDCALL Count(void*, CSrc*, int, int) {
    ++g_events;
    return 1;
}

std::uint64_t CpuTime100ns(HANDLE thread) {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user))
        return 0;
    const auto value = [](const FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

std::uint64_t ProcessCpuTime100ns() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    const auto value = [](const FILETIME& t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

// Held for the period, then idle for the same period; cpu gives the CPU time
// counted as the receiver's.
void Measure(const char* name, CSrc& receiver, const std::function<void(bool)>& hold,
             const std::function<std::uint64_t()>& cpu, DWORD ms) {
    if (receiver.Init(nullptr, &Count) != 1) {
        std::printf("%-22s did not start\n", name);
        return;
    }
    g_events = 0;
    hold(true);
    Sleep(ms);  // the measured wall period, nothing waited for
    const int held = g_events.exchange(0);
    hold(false);
    Sleep(300);
    const std::uint64_t before = cpu();
    const DWORD wallBefore = GetTickCount();
    Sleep(ms);
    const double cpuMs = (cpu() - before) / 10000.0;
    const DWORD wall = GetTickCount() - wallBefore;
    std::printf("%-22s held: %5.2f events/s   idle: %.3f %% of one core (%.1f ms CPU in %lu ms)\n", name,
                held * 1000.0 / ms, 100.0 * cpuMs / wall, cpuMs, wall);
}

// Polling receivers: the CPU of the polling thread.
void Measure(const char* name, CSrcPoll& receiver, chipkit::CSimRemote& remote, std::uint8_t code, DWORD ms) {
    Measure(
        name, receiver, [&](bool down) { down ? remote.Press(code) : remote.Release(); },
        [&] { return CpuTime100ns(receiver.GetPollThreadHandle()); }, ms);
}

// Event receivers: their threads and the simulated driver's, that is the
// whole process, which does nothing else meanwhile.
void Measure(const char* name, CSrc& receiver, simevent::CSimFrameSource& chip, std::uint8_t code, DWORD ms) {
    Measure(
        name, receiver, [&](bool down) { down ? chip.Press(code) : chip.Release(); }, &ProcessCpuTime100ns, ms);
}

std::unique_ptr<CBDA2800> g_nextStick;
std::unique_ptr<CBDA2800> TakeStick() { return std::move(g_nextStick); }

// Frames of the remote at 0x04EB, unchanged while held.
class CBenchStick : public CBDA2800 {
public:
    explicit CBenchStick(chipkit::CSimRemote& remote) : m_remote(remote) {}
    BOOL OpenInterface(const char*) override { return TRUE; }
    void CloseInterface() override {}
    BOOL GetDeviceVIDPID(WORD* v, WORD* p) override {
        *v = 0xEB1A;
        *p = 0x2800;
        return TRUE;
    }
    BOOL DetectI2CEx(BYTE, DWORD*) override { return FALSE; }
    BOOL GetI2C(BYTE, BYTE, BYTE*) override { return FALSE; }
    BOOL GetIRDataEx(BYTE* frame) override {
        const BYTE bytes[5] = {BYTE(m_remote.IsHeld() ? 1 : 0), 0x04, 0xEB, m_remote.Held(), 0};
        std::copy(bytes, bytes + 5, frame);
        return TRUE;
    }
    BOOL GetIRData3(DWORD*) override { return FALSE; }

private:
    chipkit::CSimRemote& m_remote;
};

}  // namespace

int main(int argc, char** argv) {
    const DWORD ms = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) * 1000 : 5000;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int keyId = 0;
    {
        auto chip = std::make_shared<simks::CSimCx2388x>();
        simfilter::CRegisteredFilter filter(CSrcRcTavora_CX2388x::kModelName, CLSID_VideoInputDeviceCategory, L"");
        filter.Script().SetChip(chip);
        CSrcRcTavora_CX2388x receiver;
        Measure("CX2388x (property)", receiver, chip->remote, keylog::PlainKey(RCTYPE_NEC_04EB, &keyId), ms);
    }
    {
        auto chip = std::make_shared<simks::CSimYuan>();
        simfilter::CRegisteredFilter filter(kYuanModels[1].szModel, *kYuanModels[1].pCategory, L"");
        filter.Script().SetChip(chip);
        CSrcYuan receiver;
        Measure("Yuan (property, 10 ms)", receiver, chip->remote, keylog::PlainKey(RCTYPE_NEC_1400, &keyId), ms);
    }
    simdrv::CSimPort port;
    {
        auto driver = std::make_shared<simdrv::CSimSonexa>();
        port.Add(L"\\\\.\\QVP9Cntrl", driver);
        CSrcRcSonexaUniverse receiver;
        Measure("Universe (driver wait)", receiver, driver->remote, keylog::PlainKey(RCTYPE_NEC_866B, &keyId), ms);
    }
    {
        auto driver = std::make_shared<simdrv::CSimSUsb>();
        port.filterDriver = driver;
        simfilter::CRegisteredFilter filter(CSrcRcTavora_S_USB::kModelText, kCategoryBdaReceiverComponent, L"");
        CSrcRcTavora_S_USB receiver;
        Measure("S USB (kernel handle)", receiver, driver->remote, keylog::PlainKey(RCTYPE_NEC_1400, &keyId), ms);
    }
    {
        auto driver = std::make_shared<simdrv::CSimSaaRegisters>();
        const std::wstring path = L"\\\\?\\pci#bench713x";
        port.Add(path, driver);
        simfilter::CRegisteredFilter filter(simfilter::UniqueName(L"Bench 713X"), kCategoryKsCapture, path,
                                            {{L"VampType", L"1"}});
        CSrcRcTavora_SAA_BDA receiver;
        Measure("SAA713x BDA (GPIO)", receiver, driver->remote, keylog::PlainKey(RCTYPE_NEC_866B, &keyId, 3), ms);
    }
    {
        chipkit::CSimRemote remote;
        const std::wstring path = L"\\\\?\\usb#vid_eb1a&pid_2800#bench#{fd0a5af4-b41d-11d2-9c95-00c04f7971e0}";
        simfilter::CRegisteredFilter filter(simfilter::UniqueName(L"Bench EM2800"), kCategoryBdaReceiverComponent,
                                            path);
        g_nextStick = std::make_unique<CBenchStick>(remote);
        SetBDA2800Factory(&TakeStick);
        CSrcRcTavora_EM28xx_BDA receiver;
        Measure("EM28xx (frames)", receiver, remote, keylog::PlainKey(RCTYPE_NEC_04EB_ALT, &keyId), ms);
        SetBDA2800Factory(nullptr);
    }
    {
        // NEC frames of a held key come every 108 ms.
        simevent::CSimSaaWdm card(108);
        CSrcRcTavora_SAA_WDM receiver;
        Measure("SAA713x WDM (event)", receiver, card, keylog::PlainKey(RCTYPE_NEC_866B, &keyId, 3), ms);
    }
    {
        const std::wstring hardwareId = L"PCI\\VEN_1131&DEV_7133&SUBSYS_11641E4A&REV_D1";
        chipkit::CPresentInterface device(hardwareId + L"\\4&bench" + std::to_wstring(GetTickCount()) + L"&0&00E8",
                                          hardwareId, CLSID_VideoInputDeviceCategory);
        device.AddDriverKey(L"simht.sys");
        auto chip = std::make_shared<simevent::CSimHtPci>(108);
        simfilter::CRegisteredFilter filter(simfilter::UniqueName(CSrcRcTavora_SAA_HT_PCI::kModelName),
                                            CLSID_VideoInputDeviceCategory, device.Path());
        filter.Script().SetChip(chip);
        CSrcRcTavora_SAA_HT_PCI receiver;
        Measure("SAA713x HT PCI (event)", receiver, *chip, keylog::PlainKey(RCTYPE_NEC_866B, &keyId, 3), ms);
    }
    CoUninitialize();
    return 0;
}
