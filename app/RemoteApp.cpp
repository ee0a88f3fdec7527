#include "app/RemoteApp.h"

#include <objbase.h>

#include "commands/QVFindWindow.h"

#include "editor/PropSheetOptions.h"
#include "receivers/SrcMidi.h"
#include "resources/StringIds.h"
#include "support/QVDebug.h"
#include "support/QVSystemInfo.h"

const wchar_t REMOTEAPP_SEMAPHORE_NAME[] = L"Vemtra RC Editor Semaphore";

namespace {

tagKEYEVENTSETTINGS KeyEventSettingsOf(const tagSETTINGS& block) {
    tagKEYEVENTSETTINGS settings;
    settings.disableSound = block.disableSound ? TRUE : FALSE;
    settings.hidden = block.hidden ? TRUE : FALSE;
    settings.osdOn = block.osdOn ? TRUE : FALSE;
    settings.exclusive = block.exclusive ? TRUE : FALSE;
    settings.exclusiveApp = block.exclusiveApp;
    return settings;
}

}  // namespace

CRemoteApp::CRemoteApp()
    : m_settings(static_cast<CCmdSetAdmin&>(*this)),
      m_environment([this] { m_settings.SettingsSave(); },
                    [this] { return unsigned{m_settings.Block().disableKey0}; }) {
    m_settings.SetOnSaved([this] { PublishSettings(); });
    cmdHandler.SetMenuAdmin(this);
}

CRemoteApp::~CRemoteApp() {
    m_replay.Stop();
    if (eventThread)
        eventThread->Stop(REMOTEAPP_DESTRUCTOR_STOP_MS);
}

BOOL CRemoteApp::InitInstance() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CRemoteApp::InitInstance");
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    // The language: the stored one over the localization's own.
    SetLanguage(static_cast<LANGID>(m_settings.GetLanguage(GetLanguage())));

    m_commandLine = ParseCommandLine(GetCommandLineText());
    startHidden = m_commandLine.fStartHidden ? TRUE : FALSE;

    if (ClaimSingleInstance()) {
        if (CQVSystemInfo::IsAdministrator() == 1)
            CheckUserFile();
        UpgradeLayout();
        ReportFileStatus();
        m_settings.SettingsLoad();
        CreateOsdWindow();
        StartReceivers();
        ApplyMidiChannel();
        RunMainWindow();
        Shutdown();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return FALSE;
}

BOOL CRemoteApp::ClaimSingleInstance() {
    m_instanceSemaphore.Reset(CreateSemaphoreW(nullptr, 0, 1, REMOTEAPP_SEMAPHORE_NAME));
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return TRUE;
    TracePrint(QVL_INFO, QVC_DEVICE, L"Another instance runs\n");
    if (!startHidden) {
        HWND running = CQVFindWindow::FindWindow(SHEET_WINDOW_TITLE, nullptr, TRUE);
        if (running) {
            if (IsWindowVisible(running))
                ShowWindow(running, SW_HIDE);
            PostMessageW(running, WM_COMMAND, SHEET_CMD_SHOW, 0);
        }
    }
    return FALSE;
}

void CRemoteApp::CheckUserFile() {
    if (CanWriteUserFile())
        return;
    TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED: \"%ls\" is write protected\n", L"CRemoteApp::InitInstance",
               GetUserFile().c_str());
    ShowMessage(nullptr, FormatString(IDS_MSG_WRITE_PROTECTED, GetUserFile().c_str()).c_str(), QVMSG_WARNING);
}

// What the administrator found wrong with the command-set files, told once.
void CRemoteApp::ReportFileStatus() {
    const tagCMDSETFILESTATUS& status = GetFileStatus();
    if (status.fPresetMissing)
        ShowMessage(nullptr, FormatString(IDS_MSG_PRESET_MISSING, GetPresetFile().c_str()).c_str(), QVMSG_ERROR);
    if (status.szUnreadableUserFile.empty())
        return;
    if (!status.szUnreadableMovedTo.empty())
        ShowMessage(nullptr,
                    FormatString(IDS_MSG_USER_FILE_SET_ASIDE, status.szUnreadableUserFile.c_str(),
                                 status.szUnreadableMovedTo.c_str()).c_str(),
                    QVMSG_WARNING);
    else
        ShowMessage(nullptr,
                    FormatString(IDS_MSG_USER_FILE_UNREADABLE, status.szUnreadableUserFile.c_str()).c_str(),
                    QVMSG_ERROR);
}

void CRemoteApp::CreateOsdWindow() {
    const tagOSDSETTINGS osd = OsdSettingsOf(m_settings.Block());
    auto window = std::make_unique<COsdDlg>(&osd);
    window->SetLanguage(GetLanguage());
    if (!window->Create(nullptr))
        return;  // logged; every user checks for null
    osdWindow = std::move(window);
    cmdHandler.SetDisplay(osdWindow.get());
}

void CRemoteApp::StartReceivers() {
    eventThread = std::make_unique<CKeyEventWorker>(cmdHandler, osdWindow.get());
    PublishSettings();
    m_receivers = std::make_unique<CReceiverManager>(m_environment, *eventThread, m_settings.Block());
    if (!m_receivers->InitReceivers())
        TracePrint(QVL_WRN, QVC_DEVICE, L"%ls(): no receiver active\n", L"CRemoteApp::InitInstance");
    if (m_commandLine.szReplayFile.empty())
        return;
    if (m_replay.Load(m_commandLine.szReplayFile))
        m_replay.Start(*m_receivers, *eventThread);
}

void CRemoteApp::ApplyMidiChannel() {
    m_receivers->SetMidiChannel(RECEIVER_MIDI_CHANNEL_NONE);
    const std::uint8_t channel = m_commandLine.nMidiChannel;
    if (channel == COMMANDLINE_NO_MIDI_CHANNEL)
        return;
    m_receivers->SetMidiChannel(channel);
    for (int slot : {RECEIVER_SLOT_MIDI, RECEIVER_SLOT_FIREWIRE}) {
        if (auto* midi = dynamic_cast<CSrcMidi*>(m_receivers->GetReceiver(slot).get()))
            midi->SetChannel(channel);
    }
}

void CRemoteApp::RunMainWindow() {
    tagEDITORCONTEXT context;
    context.pLocalize = this;
    context.pAdmin = this;
    context.pHandler = &cmdHandler;
    context.pSettings = &m_settings;
    context.pReceivers = m_receivers.get();
    context.pOsd = osdWindow.get();
    CPropSheetOptions sheet(context, startHidden);
    const int code = sheet.Run();
    SetExitCode(code);
    SetMainWindow(nullptr);
}

void CRemoteApp::Shutdown() {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CRemoteApp::Shutdown");
    // No new key events while the last one drains.
    m_replay.Stop();
    m_receivers->FreeReceivers();
    eventThread->Stop(REMOTEAPP_WORKER_STOP_MS);
    cmdHandler.SetDisplay(nullptr);
    if (osdWindow) {
        EndDialog(osdWindow->GetHwnd(), 0xFFFF);
        osdWindow->Destroy();
        osdWindow.reset();
    }
}

void CRemoteApp::PublishSettings() {
    if (eventThread)
        eventThread->SetSettings(KeyEventSettingsOf(m_settings.Block()));
}
