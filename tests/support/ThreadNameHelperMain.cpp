// Second process of the thread-name test: starts one named worker and exits
// with the worker's exit code, so a debugger can watch the naming.
#include "support/QVThread.h"

namespace {

DWORD WINAPI Worker(void*) { return 5; }

}  // namespace

int main() {
    CQVThread thread;
    HANDLE h = thread.StartThread(L"Helper worker", &Worker, nullptr, -1, 0, 0, 0);
    if (!h || WaitForSingleObject(h, 10000) != WAIT_OBJECT_0)
        return 1;
    DWORD code = 0;
    return thread.GetExitCode(&code) ? static_cast<int>(code) : 2;
}
