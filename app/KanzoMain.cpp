// Kanzo.exe: the remote-control receiver and editor.
#include <windows.h>
#include <commctrl.h>

#include "app/RemoteApp.h"
#include "support/QVDebug.h"

namespace {

// The main thread is attached to the trace log before anything else runs.
CQVTraceInit g_traceInit;
CRemoteApp g_app;

}  // namespace

CRemoteApp& TheApp() { return g_app; }

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                           ICC_USEREX_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    return g_app.Run(instance, commandLine);
}
