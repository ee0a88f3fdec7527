#include "tests/receivers/lirc/LircdControl.h"

#include <windows.h>

#include <chrono>
#include <fstream>

#include "support/ScopedWin.h"

namespace lirctest {

namespace {

struct CChangeTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindCloseChangeNotification(h); }
};
using CChangeNotification = CQVScoped<CChangeTraits>;

std::wstring WindowsPath(const std::wstring& unixPath) {
    std::wstring path = L"Z:" + unixPath;
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    return path;
}

// Runs the control script with its working folder dir (a Unix path) and
// returns its exit code. Wine starts the script but cannot wait for it, so
// the script leaves its code in a file of dir, and the folder's change
// notification says when.
int Control(const std::wstring& dir, const std::wstring& arguments) {
    static LONG s_calls = 0;
    const std::wstring result = dir + L"/result." + std::to_wstring(InterlockedIncrement(&s_calls));
    const std::wstring folder = WindowsPath(dir);
    CreateDirectoryW(WindowsPath(Env(L"KANZO_LIRC_DIR")).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    SetEnvironmentVariableW(L"LIRCCTL_RESULT", result.c_str());
    std::wstring line = L"\"" + WindowsPath(Env(L"KANZO_LIRCCTL")) + L"\" " + arguments;
    CChangeNotification changes(FindFirstChangeNotificationW(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!changes || !CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                    &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream file(WindowsPath(result).c_str());
        int code = -3;
        if (file >> code) {
            file.close();
            DeleteFileW(WindowsPath(result).c_str());
            return code;
        }
        // The guard time only covers a notification that came before the look.
        if (WaitForSingleObject(changes.Get(), 500) == WAIT_OBJECT_0)
            FindNextChangeNotification(changes.Get());
    }
    return -2;
}

}  // namespace

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? value : L"";
}

unsigned FreePort(int type) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 0;
    SOCKET s = socket(AF_INET, type, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    unsigned port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    closesocket(s);
    WSACleanup();
    return port;
}

CLircd::CLircd(const std::wstring& name)
    : m_dir(Env(L"KANZO_LIRC_DIR") + L"/" + std::to_wstring(GetCurrentProcessId()) + L"-" + name) {}

bool CLircd::Start(unsigned tcpPort, unsigned udpPort) {
    return Control(m_dir, L"start " + m_dir + L" " + std::to_wstring(tcpPort) + L" " + std::to_wstring(udpPort)) == 0;
}

void CLircd::Stop() { Control(m_dir, L"stop " + m_dir); }

bool CLircd::Send(const wchar_t* button, const wchar_t* repeats) {
    return Control(m_dir, L"send " + m_dir + L" " + button + L" " + repeats) == 0;
}

bool CLircd::Hold(const wchar_t* button, unsigned ms) {
    return Control(m_dir, L"hold " + m_dir + L" " + button + L" " + std::to_wstring(ms)) == 0;
}

}  // namespace lirctest
