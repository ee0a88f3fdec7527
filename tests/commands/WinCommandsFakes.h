#pragma once
// Recording fakes for the power and volume seams of CWinCommands, and a guard
// that installs them for one test. Nothing here touches the real system.

#include "commands/WinCommands.h"

#include <string>
#include <vector>

namespace cmdtest {

class CFakePower : public IPowerControl {
public:
    void StartScreenSaver() override { calls.push_back(L"screensaver"); }
    INT_PTR RunShutdownWarning() override {
        calls.push_back(L"warning");
        return warningResult;
    }
    BOOL EnableShutdownPrivilege() override {
        calls.push_back(L"privilege");
        return privilegeResult;
    }
    BOOL Suspend(BOOL hibernate) override {
        calls.push_back(hibernate ? L"hibernate" : L"standby");
        return actionResult;
    }
    BOOL PowerOff() override {
        calls.push_back(L"poweroff");
        return actionResult;
    }
    void ReportFailure(const wchar_t* text) override { failures.push_back(text); }

    INT_PTR warningResult = IDOK;
    BOOL privilegeResult = TRUE;
    BOOL actionResult = TRUE;
    std::vector<std::wstring> calls;
    std::vector<std::wstring> failures;
};

// What the fake endpoint and mixer hold and what was written to them.
struct tagFAKE_VOLUME {
    bool useEndpoint = true;
    bool hasDevice = true;
    float level = 0.5f;
    BOOL mute = FALSE;
    HRESULT setResult = S_OK;
    int levelWrites = 0;
    int muteWrites = 0;
    int channels = 2;
    bool perChannelReads = true;  // false: only a uniform (one-channel) read works
    std::vector<DWORD> mixerVolume = {1000, 2000};
    std::vector<DWORD> mixerMute = {0, 0};
    DWORD mixerMin = 0;
    DWORD mixerMax = 65535;
    int mixerWrites = 0;
};

class CFakeVolume : public IVolumeSystem {
public:
    bool UseEndpoint() override { return state.useEndpoint; }
    std::unique_ptr<IVolumeEndpoint> OpenEndpoint() override;
    std::unique_ptr<IVolumeMixer> OpenMixer() override;
    tagFAKE_VOLUME state;
};

// Installs the fakes for its lifetime.
class CFakeSeams {
public:
    CFakeSeams() {
        m_oldPower = CWinCommands::SetPowerControl(&power);
        m_oldVolume = CWinCommands::SetVolumeSystem(&volume);
    }
    ~CFakeSeams() {
        CWinCommands::SetPowerControl(m_oldPower);
        CWinCommands::SetVolumeSystem(m_oldVolume);
    }
    CFakeSeams(const CFakeSeams&) = delete;
    CFakeSeams& operator=(const CFakeSeams&) = delete;

    CFakePower power;
    CFakeVolume volume;

private:
    IPowerControl* m_oldPower;
    IVolumeSystem* m_oldVolume;
};

}  // namespace cmdtest
