#include "app/replay/ReplayDispatch.h"

#include <windows.h>

#include <cstdio>
#include <thread>

#include "app/KeyEventWorker.h"
#include "app/replay/ReplayReceiver.h"
#include "cmdsets/KeyNames.h"
#include "commands/CmdSetHandler.h"
#include "osd/OsdDlg.h"
#include "support/ComApartment.h"

namespace {

constexpr DWORD IDLE_POLL_MS = 50;
constexpr DWORD LAST_DISPLAY_MS = 2500;  // the last announcement stays readable

struct tagREPLAYSTATE {
    CSrcReplay* pSource = nullptr;
    CKeyEventWorker* pWorker = nullptr;
    int nEvents = 0;
};

int KANZO_STDCALL ForwardEvent(void* owner, CSrc* source, int keyId, int noAutoRepeat) {
    auto* state = static_cast<tagREPLAYSTATE*>(owner);
    std::wprintf(L"%6u ms  key %3d  %-22ls\n", state->pSource->Now(), keyId, GetEnglishKeyName(keyId));
    std::fflush(stdout);
    ++state->nEvents;
    return CKeyEventWorker::IrEventCallback(state->pWorker, source, keyId, noAutoRepeat);
}

void PrintOutcome(void*, int keyId, const tagWINCMD* cmd, BOOL found, int result) {
    if (!found || !cmd) {
        std::wprintf(L"           key %3d: no command in the current set\n", keyId);
    } else {
        std::wprintf(L"           key %3d: %-4ls \"%ls\" -> %ls\n", keyId, GetCommandTypeName(cmd->nType, true),
                     cmd->szText, result ? L"done" : L"nothing done");
    }
    std::fflush(stdout);
}

struct tagWINDOWSEARCH {
    const std::wstring* part;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<tagWINDOWSEARCH*>(param);
    wchar_t title[256] = {};
    GetWindowTextW(hwnd, title, 256);
    if (IsWindowVisible(hwnd) && wcsstr(title, search->part->c_str())) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The text of the first edit control of the window with this caption part.
std::wstring ReadEditOf(const std::wstring& captionPart) {
    tagWINDOWSEARCH search{&captionPart, nullptr};
    EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return L"(no window \"" + captionPart + L"\")";
    HWND edit = FindWindowExW(search.found, nullptr, L"Edit", nullptr);
    if (!edit)
        return L"(no edit field)";
    wchar_t text[1024] = {};
    SendMessageTimeoutW(edit, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

}  // namespace

int RunDispatchReplay(const std::vector<tagCAPTUREFRAME>& frames, int rcType, const std::wstring& checkWindow) {
    CQVComApartment com;
    // Kanzo's own preset beside this tool and Kanzo's user file.
    CCmdSetHandler handler(CCmdSetPaths::ForProgram(L"Kanzo"), CAppPathSources::System());
    handler.UpgradeLayout();
    std::wprintf(L"Command sets: %ls and %ls\n", handler.GetPresetFile().c_str(), handler.GetUserFile().c_str());

    COsdDlg display(nullptr);
    if (!display.Create())
        std::fwprintf(stderr, L"KanzoReplay: the on-screen display could not be created\n");
    handler.SetDisplay(&display);
    CKeyEventWorker worker(handler, &display);
    worker.SetObserver(PrintOutcome, nullptr);

    CSrcReplay receiver(frames, rcType, true);
    tagREPLAYSTATE state;
    state.pSource = &receiver;
    state.pWorker = &worker;
    receiver.Init(&state, ForwardEvent);

    const DWORD uiThread = GetCurrentThreadId();
    std::thread feeder([&] {
        receiver.Run();
        // Let the last event finish (a multi-tap character waits for its time-out).
        while (worker.IsBusy())
            Sleep(IDLE_POLL_MS);
        Sleep(LAST_DISPLAY_MS);
        PostThreadMessageW(uiThread, WM_QUIT, 0, 0);
    });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    feeder.join();
    worker.Stop(5000);
    std::wprintf(L"%d key events\n", state.nEvents);
    if (!checkWindow.empty())
        std::wprintf(L"%ls holds: \"%ls\"\n", checkWindow.c_str(), ReadEditOf(checkWindow).c_str());
    display.Destroy();
    return 0;
}
