// Winsock 2 before anything that pulls in windows.h (and with it Winsock 1).
#include <winsock2.h>
#include <ws2tcpip.h>

#include "receivers/SrcLirc.h"

#include "support/ProgramPath.h"
#include "support/QVDebug.h"
#include "support/QVXml.h"

#include <cwchar>

namespace {

constexpr const wchar_t* kRunName = L"CSrcLirc::Run";

struct CQVSocketTraits {
    using Handle = SOCKET;
    static Handle Invalid() { return INVALID_SOCKET; }
    static bool IsValid(Handle h) { return h != INVALID_SOCKET; }
    static void Close(Handle h) { closesocket(h); }
};
using CQVSocket = CQVScoped<CQVSocketTraits>;

struct CQVAddrInfoTraits {
    using Handle = ADDRINFOW*;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { FreeAddrInfoW(h); }
};
using CQVAddrInfo = CQVScoped<CQVAddrInfoTraits>;

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

std::wstring Attribute(CQVXml& xml, IXMLDOMElement* element, const wchar_t* name) {
    wchar_t buffer[128] = {};
    xml.GetPropString(element, name, buffer, 128);
    return buffer;
}

// The element at index of a node list; empty for a node that is no element.
CQVXmlElement ElementAt(IXMLDOMNodeList* list, long index) {
    CQVXmlNode node;
    CQVXmlElement element;
    if (FAILED(list->get_item(index, node.Put())) || !node ||
        FAILED(node->QueryInterface(IID_IXMLDOMElement, element.PutVoid())))
        element.Release();
    return element;
}

}  // namespace

int LoadLircKeyMap(const wchar_t* path, CLircKeyMap& map) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"LoadLircKeyMap", path);
    map.Clear();
    CQVXml xml;
    CQVXmlDocument doc = xml.OpenXmlFile(path, nullptr, 0, L"LircMap");
    if (!doc)
        return -1;
    CQVXmlElement root = xml.SelectElement(doc.Get(), L"LircMap");
    map.SetUseDefaults(!root || xml.GetPropInt(root.Get(), L"Defaults", 1) != 0);
    CQVXmlNodeList remotes = xml.SelectNodes(doc.Get(), L"LircMap/Remote");
    long remoteCount = 0;
    if (!remotes || FAILED(remotes->get_length(&remoteCount)))
        return 0;
    for (long r = 0; r < remoteCount; ++r) {
        CQVXmlElement remote = ElementAt(remotes.Get(), r);
        if (!remote)
            continue;
        const std::wstring remoteName = Attribute(xml, remote.Get(), L"Name");
        CQVXmlNodeList buttons = xml.SelectNodes(remote.Get(), L"Button");
        long buttonCount = 0;
        if (!buttons || FAILED(buttons->get_length(&buttonCount)))
            continue;
        for (long b = 0; b < buttonCount; ++b) {
            CQVXmlElement button = ElementAt(buttons.Get(), b);
            if (!button)
                continue;
            const std::wstring buttonName = Attribute(xml, button.Get(), L"Name");
            const std::wstring key = Attribute(xml, button.Get(), L"Key");
            if (!map.Add(Narrow(remoteName), Narrow(buttonName), LircKeyIdFromText(key)))
                TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - %ls: button \"%ls\" key \"%ls\" ignored\n",
                           L"LoadLircKeyMap", path, buttonName.c_str(), key.c_str());
        }
    }
    return static_cast<int>(map.Size());
}

CSrcLirc::CSrcLirc(std::wstring host, unsigned port, std::wstring mapPath)
    : m_host(std::move(host)), m_port(port), m_mapPath(std::move(mapPath)) {
    m_kindName = L"LIRC";
    m_rcType = RCTYPE_LIRC;
    if (m_host.empty())
        m_host = LIRC_DEFAULT_HOST;
    if (m_port == 0 || m_port > 0xFFFF)
        m_port = LIRC_DEFAULT_PORT;
    m_deviceName = L"LIRC " + m_host + L":" + std::to_wstring(m_port);
}

CSrcLirc::~CSrcLirc() {
    m_thread.SignalStop();
    m_thread.StopThread(QVTHREAD_STOP_TIMEOUT);
}

int CSrcLirc::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcLirc::Init", m_deviceName.c_str());
    if (!CSrc::Init(owner, callback))
        return 0;
    const std::wstring path = m_mapPath.empty() ? GetProgramFolder() + L"\\" + LIRC_MAP_FILE : m_mapPath;
    const int entries = LoadLircKeyMap(path.c_str(), m_map);
    TracePrint(QVL_INFO, QVC_DEVICE, L"%ls() - %ls: %d entries\n", L"CSrcLirc::Init", path.c_str(), entries);
    if (!m_thread.StartThread(L"LIRC client", &CSrcLirc::ThreadProc, this, -1, 0, THREAD_PRIORITY_ABOVE_NORMAL,
                              1)) {
        m_initialized = 0;
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED to start its thread\n", L"CSrcLirc::Init");
        return 0;
    }
    return 1;
}

DWORD WINAPI CSrcLirc::ThreadProc(void* self) {
    static_cast<CSrcLirc*>(self)->Run();
    return 0;
}

void CSrcLirc::Run() {
    WSADATA data = {};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED: no Winsock 2.2\n", kRunName);
        return;
    }
    const HANDLE stop = m_thread.GetStopEvent();
    CLircBackoff backoff;
    while (WaitForSingleObject(stop, 0) != WAIT_OBJECT_0) {
        if (RunConnection(stop))
            backoff.Reset();
        const DWORD pause = backoff.Next();
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls() - %ls: next attempt in %lu ms\n", kRunName, m_deviceName.c_str(),
                   static_cast<unsigned long>(pause));
        if (WaitForSingleObject(stop, pause) == WAIT_OBJECT_0)
            break;
    }
    WSACleanup();
}

bool CSrcLirc::RunConnection(HANDLE stop) {
    ADDRINFOW hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    CQVAddrInfo address;
    const std::wstring port = std::to_wstring(m_port);
    if (GetAddrInfoW(m_host.c_str(), port.c_str(), &hints, address.Put()) != 0 || !address) {
        TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - %ls: host unknown (%d)\n", kRunName, m_deviceName.c_str(),
                   WSAGetLastError());
        return false;
    }
    CQVSocket socket(::socket(address.Get()->ai_family, address.Get()->ai_socktype, address.Get()->ai_protocol));
    CQVHandle network(WSACreateEvent());
    // The event makes the socket non-blocking: the connection and every read
    // wait here together with the stop event.
    if (!socket || !network ||
        WSAEventSelect(socket.Get(), network.Get(), FD_CONNECT | FD_READ | FD_CLOSE) == SOCKET_ERROR) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED with socket error %d\n", kRunName, WSAGetLastError());
        return false;
    }
    if (connect(socket.Get(), address.Get()->ai_addr, static_cast<int>(address.Get()->ai_addrlen)) == SOCKET_ERROR &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls() - %ls: connect failed (%d)\n", kRunName, m_deviceName.c_str(),
                   WSAGetLastError());
        return false;
    }
    bool connected = false;
    for (;;) {
        const bool held = m_scheduler.LastCode() != NEC_CODE_IDLE;
        const DWORD timeout = !connected ? kConnectTimeoutMs : held ? kReleaseTickMs : INFINITE;
        const HANDLE handles[2] = {stop, network.Get()};
        const DWORD woke = WaitForMultipleObjects(2, handles, FALSE, timeout);
        if (woke == WAIT_OBJECT_0)
            break;
        if (woke == WAIT_TIMEOUT && !connected) {
            TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls() - %ls: no answer\n", kRunName, m_deviceName.c_str());
            break;
        }
        WSANETWORKEVENTS events = {};
        if (woke == WAIT_OBJECT_0 + 1 && WSAEnumNetworkEvents(socket.Get(), network.Get(), &events) == SOCKET_ERROR)
            break;
        if (events.lNetworkEvents & FD_CONNECT) {
            if (events.iErrorCode[FD_CONNECT_BIT] != 0) {
                TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls() - %ls: connect failed (%d)\n", kRunName,
                           m_deviceName.c_str(), events.iErrorCode[FD_CONNECT_BIT]);
                break;
            }
            connected = true;
            m_reader.Reset();
            m_refusedLines = 0;
            m_connected = true;
            ++m_connections;
            TracePrint(QVL_INFO, QVC_DEVICE, L"%ls() - connected to %ls\n", kRunName, m_deviceName.c_str());
            Tell(LircState::Connected);
        }
        bool closed = (events.lNetworkEvents & FD_CLOSE) != 0;
        // Read what is there even when the peer closed: its last lines count.
        if (events.lNetworkEvents & (FD_READ | FD_CLOSE)) {
            char buffer[1024];
            for (;;) {
                const int got = recv(socket.Get(), buffer, sizeof(buffer), 0);
                if (got > 0) {
                    m_reader.Feed(buffer, static_cast<std::size_t>(got), *this);
                    continue;
                }
                if (got == 0 || WSAGetLastError() != WSAEWOULDBLOCK)
                    closed = true;
                break;
            }
        }
        if (m_refusedLines >= kMaxRefusedLines) {
            TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - %ls: no LIRC server, dropped\n", kRunName, m_deviceName.c_str());
            break;
        }
        if (closed) {
            TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - %ls: the server closed the connection\n", kRunName,
                       m_deviceName.c_str());
            break;
        }
        // Repeat lines that stop are the release: a key held without a line
        // for the scheduler's release time is gone.
        if (m_scheduler.LastCode() != NEC_CODE_IDLE &&
            SystemClock().NowMs() - m_lastLineMs >= CNecKeyScheduler::kReleaseMs) {
            HandleIrEvent(NEC_CODE_IDLE);
            if (m_scheduler.LastCode() == NEC_CODE_IDLE)
                Tell(LircState::Released);
        }
    }
    if (connected) {
        EndOfKey();
        m_connected = false;
        Tell(LircState::Disconnected);
    }
    return connected;
}

void CSrcLirc::EndOfKey() {
    // No repeat line can come any more: a held key ends with the connection.
    m_scheduler = CNecKeyScheduler();
    m_keyId = KEYID_NONE;
}

void CSrcLirc::OnLircEvent(const tagLIRCEVENT& event) {
    // The rest of what a peer that is no server sent counts for nothing.
    if (m_refusedLines >= kMaxRefusedLines)
        return;
    const int keyId = m_map.Find(event.szRemote, event.szButton);
    if (keyId == KEYID_NONE) {
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls() - %ls %ls: not mapped\n", L"CSrcLirc::OnLircEvent",
                   Widen(event.szRemote).c_str(), Widen(event.szButton).c_str());
        return;
    }
    m_lastLineMs = SystemClock().NowMs();
    // A repeat line whose press was missed is a press: the scheduler compares
    // with the key before, not with the count.
    HandleIrEvent(static_cast<std::uint8_t>(keyId - LIRC_CODE_OFFSET));
}

void CSrcLirc::OnLircRefused(const std::string& text) {
    if (++m_refusedLines > kMaxRefusedLines)
        return;
    TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - %ls: line refused: \"%ls\"\n", L"CSrcLirc::OnLircRefused",
               m_deviceName.c_str(), Widen(text).c_str());
}
