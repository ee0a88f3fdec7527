#pragma once
// CRemoteApp: the program. One object per process: the localization, the
// command-set administrator, the settings, the dispatcher, the display, the
// key-event worker and the receivers. InitInstance starts them, runs the
// options sheet modally as the main window (background or editor) and shuts
// them down in order when the sheet ends.
#include <windows.h>

#include <memory>

#include "app/CommandLine.h"
#include "app/KeyEventWorker.h"
#include "app/ReceiverEnvironment.h"
#include "app/ReceiverManager.h"
#include "app/Settings.h"
#include "app/replay/ReplayPlayer.h"
#include "cmdsets/CmdSetAdmin.h"
#include "commands/CmdSetHandler.h"
#include "osd/OsdDlg.h"
#include "support/QVLocalize.h"
#include "support/QVWinApp.h"
#include "support/ScopedWin.h"

extern const wchar_t REMOTEAPP_SEMAPHORE_NAME[];  // "Vemtra RC Editor Semaphore"
constexpr DWORD REMOTEAPP_WORKER_STOP_MS = 5000;
constexpr DWORD REMOTEAPP_DESTRUCTOR_STOP_MS = 10000;

class CRemoteApp : public CQVWinApp, public CQVLocalize, public CCmdSetAdmin {
public:
    CRemoteApp();
    ~CRemoteApp() override;

    BOOL InitInstance() override;

    BOOL IsStartHidden() const { return startHidden; }
    CSettings& Settings() { return m_settings; }
    CCmdSetHandler& Handler() { return cmdHandler; }
    CReceiverManager* Receivers() { return m_receivers.get(); }
    COsdDlg* GetOsdWindow() { return osdWindow.get(); }

private:
    // Step 5: FALSE when another instance runs (it was asked to show itself
    // when this start wanted the window).
    BOOL ClaimSingleInstance();
    void CheckUserFile();
    void ReportFileStatus();
    void CreateOsdWindow();
    void StartReceivers();
    void ApplyMidiChannel();
    void RunMainWindow();
    void Shutdown();
    // The settings the key-event worker reads, after every load and save.
    void PublishSettings();

    BOOL startHidden = TRUE;
    tagCOMMANDLINE m_commandLine;
    CSettings m_settings;
    CCmdSetHandler cmdHandler;
    std::unique_ptr<COsdDlg> osdWindow;
    std::unique_ptr<CKeyEventWorker> eventThread;
    CReceiverEnvironment m_environment;
    std::unique_ptr<CReceiverManager> m_receivers;
    CReplayPlayer m_replay;
    // Held for the life of the process: its existence is the single-instance rule.
    CQVHandle m_instanceSemaphore;
};

CRemoteApp& TheApp();
