#pragma once
// The receiver manager's view of this machine: the receivers that exist in
// this build, the MIDI input ports of winmm, the settings store and the end
// of the program. Also the translation of WM_DEVICECHANGE for the manager.
#include <windows.h>

#include <functional>

#include "app/ReceiverManager.h"

class CReceiverEnvironment : public IReceiverEnvironment {
public:
    using SaveFunction = std::function<void()>;
    using OptionFunction = std::function<unsigned()>;

    // save: writes the settings block (the application's SettingsSave);
    // disableKey0: the "Disable key 0" setting the SAA713x receivers take.
    explicit CReceiverEnvironment(SaveFunction save, OptionFunction disableKey0 = nullptr)
        : m_save(std::move(save)), m_disableKey0(std::move(disableKey0)) {}

    std::unique_ptr<CSrc> CreateReceiver(int slot) override;
    std::unique_ptr<CSrc> CreateMidiReceiver(const std::wstring& portName, std::uint8_t channel) override;
    std::unique_ptr<CSrc> CreateLircReceiver(const std::wstring& host, unsigned port) override;
    int GetMidiInputCount() override;
    void SaveSettings() override;
    // PostQuitMessage and the end of the process, both with the code.
    void ExitProgram(int code) override;

private:
    SaveFunction m_save;
    OptionFunction m_disableKey0;
};

// WM_DEVICECHANGE for the manager: the event and the broadcast header of the
// message's parameters. Returns TRUE, as the window procedure must.
BOOL HandleDeviceChangeMessage(CReceiverManager& manager, WPARAM event, LPARAM data);
