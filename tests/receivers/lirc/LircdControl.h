#pragma once
// A private lircd for the tests under Wine, run through lircctl.sh (the
// script's path in KANZO_LIRCCTL, its working folders under KANZO_LIRC_DIR;
// CTest sets both). Wine starts the script as the Unix program it is.
#include <winsock2.h>

#include <string>

namespace lirctest {

// A variable of this process's environment; empty when unset or too long.
std::wstring Env(const wchar_t* name);

// A free port of the loopback interface, of the given socket type
// (SOCK_STREAM or SOCK_DGRAM); 0 when none was found.
unsigned FreePort(int type);

// One lircd per object, in a folder of its own, stopped by its PID whatever happens.
class CLircd {
public:
    // name: tells the folders of two servers of one process apart.
    explicit CLircd(const std::wstring& name = L"lircd");
    ~CLircd() { Stop(); }
    CLircd(const CLircd&) = delete;
    CLircd& operator=(const CLircd&) = delete;

    // Starts it on the ports and waits until it listens.
    bool Start(unsigned tcpPort, unsigned udpPort);
    void Stop();
    // One frame per repeat count, irsend after irsend without a pause.
    bool Send(const wchar_t* button, const wchar_t* repeats = L"00");
    // A button held for ms: a frame of a rising repeat count every few
    // tens of milliseconds, as a remote sends while a key is down. Returns
    // after the last frame.
    bool Hold(const wchar_t* button, unsigned ms);

private:
    std::wstring m_dir;
};

}  // namespace lirctest
