#pragma once
// The power actions of the power commands, behind one interface so that a
// test can record them instead: a test must never suspend, hibernate or
// switch anything off. The program uses CSystemPowerControl.

#include <windows.h>

class IPowerControl {
public:
    virtual ~IPowerControl() = default;
    // Posts the screen-saver system command to the desktop window.
    virtual void StartScreenSaver() = 0;
    // Runs the shutdown warning; 2 = the user cancelled, anything else proceeds.
    virtual INT_PTR RunShutdownWarning() = 0;
    // Enables the shutdown privilege of the process token.
    virtual BOOL EnableShutdownPrivilege() = 0;
    // Standby (hibernate FALSE) or hibernate, not forced.
    virtual BOOL Suspend(BOOL hibernate) = 0;
    // Powers the machine off through the exit-Windows call.
    virtual BOOL PowerOff() = 0;
    // Tells the user that a power action failed.
    virtual void ReportFailure(const wchar_t* text) = 0;
};

class CSystemPowerControl : public IPowerControl {
public:
    void StartScreenSaver() override;
    INT_PTR RunShutdownWarning() override;
    BOOL EnableShutdownPrivilege() override;
    BOOL Suspend(BOOL hibernate) override;
    BOOL PowerOff() override;
    // A topmost error message box.
    void ReportFailure(const wchar_t* text) override;
};
