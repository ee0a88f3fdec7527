#pragma once
// A receiver that is a client of a LIRC or WinLIRC server: it connects to the
// server's TCP port, reads its key lines on a thread of its own and maps each
// (remote, button) to a Kanzo key through the map file "lirc.xml" beside the
// program and the built-in names of the common remotes. When the server goes
// away or restarts the receiver stays and connects again, after a pause that
// grows up to a cap. A key counts as released when its repeat lines stop.
//
// Windows-only.

#include "receivers/LircKeyMap.h"
#include "receivers/LircLine.h"
#include "receivers/Src.h"
#include "support/QVThread.h"

#include <atomic>
#include <functional>
#include <string>

constexpr unsigned LIRC_DEFAULT_PORT = 8765;
constexpr const wchar_t* LIRC_DEFAULT_HOST = L"127.0.0.1";
constexpr const wchar_t* LIRC_MAP_FILE = L"lirc.xml";

// Reads a map file into the map (replacing its entries). Returns the entries
// read, or -1 when the file is missing or no map. COM must be initialised.
int LoadLircKeyMap(const wchar_t* path, CLircKeyMap& map);

enum class LircState { Connected, Disconnected, Released };

class CSrcLirc final : public CSrc, private CLircLineReader::ISink {
public:
    // Told on the receiver's thread; for status displays and tests.
    using StateObserver = std::function<void(LircState)>;

    // While a key is held the thread looks this often whether it was released.
    static constexpr DWORD kReleaseTickMs = 50;
    // A connection attempt that takes longer has failed.
    static constexpr DWORD kConnectTimeoutMs = 3000;
    // A peer that sends this many refused lines on one connection is no
    // LIRC server: it is dropped like a server that went away.
    static constexpr int kMaxRefusedLines = 16;

    // mapPath empty: LIRC_MAP_FILE in the program's folder.
    CSrcLirc(std::wstring host, unsigned port, std::wstring mapPath = std::wstring());
    ~CSrcLirc() override;

    // Loads the map and starts the thread; succeeds whether or not the server
    // is up yet.
    int Init(void* owner, PFNIREVENTCALLBACK callback) override;
    // Before Init only.
    void SetStateObserver(StateObserver observer) { m_observer = std::move(observer); }

    bool IsConnected() const { return m_connected.load(); }
    // Connections made so far (a reconnection counts again).
    unsigned GetConnectionCount() const { return m_connections.load(); }

private:
    static DWORD WINAPI ThreadProc(void* self);
    void Run();
    // One connection from the attempt to its end. True when it was made.
    bool RunConnection(HANDLE stop);
    // A held key whose repeat lines stopped is released.
    void CheckRelease();
    void EndOfKey();
    void Tell(LircState state) {
        if (m_observer)
            m_observer(state);
    }

    void OnLircEvent(const tagLIRCEVENT& event) override;
    void OnLircRefused(const std::string& text) override;

    std::wstring m_host;
    unsigned m_port;
    std::wstring m_mapPath;
    CLircKeyMap m_map;          // written before the thread starts, then only read
    CLircLineReader m_reader;   // the thread's own
    int m_refusedLines = 0;     // on this connection
    std::uint32_t m_lastLineMs = 0;  // the last mapped key line
    StateObserver m_observer;
    std::atomic<bool> m_connected{false};
    std::atomic<unsigned> m_connections{0};
    CQVThread m_thread;
};
