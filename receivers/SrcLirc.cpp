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

// The attempt to connect the socket; true once connected.
bool ConnectSocket(SOCKET socket, const ADDRINFOW& address, HANDLE stop, const std::wstring& device) {
    CQVHandle network(WSACreateEvent());
    // Non-blocking for the attempt, so that it waits together with the stop event.
    if (!network || WSAEventSelect(socket, network.Get(), FD_CONNECT) == SOCKET_ERROR) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED with socket error %d\n", kRunName, WSAGetLastError());
        return false;
    }
    if (connect(socket, address.ai_addr, static_cast<int>(address.ai_addrlen)) == SOCKET_ERROR &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls() - %ls: connect failed (%d)\n", kRunName, device.c_str(),
                   WSAGetLastError());
        return false;
    }
    const HANDLE handles[2] = {stop, network.Get()};
    const DWORD woke = WaitForMultipleObjects(2, handles, FALSE, CSrcLirc::kConnectTimeoutMs);
    if (woke == WAIT_TIMEOUT)
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls() - %ls: no answer\n", kRunName, device.c_str());
    WSANETWORKEVENTS events = {};
    if (woke != WAIT_OBJECT_0 + 1 || WSAEnumNetworkEvents(socket, network.Get(), &events) == SOCKET_ERROR ||
        !(events.lNetworkEvents & FD_CONNECT))
        return false;
    if (events.iErrorCode[FD_CONNECT_BIT] != 0) {
        TracePrint(QVL_DETAIL, QVC_DEVICE, L"%ls() - %ls: connect failed (%d)\n", kRunName, device.c_str(),
                   events.iErrorCode[FD_CONNECT_BIT]);
        return false;
    }
    // The reads are overlapped: the socket's event would only cost a call per line.
    return WSAEventSelect(socket, nullptr, 0) != SOCKET_ERROR;
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
    CQVSocket socket(WSASocketW(address.Get()->ai_family, address.Get()->ai_socktype, address.Get()->ai_protocol,
                                nullptr, 0, WSA_FLAG_OVERLAPPED));
    if (!socket) {
        TracePrint(QVL_ERR, QVC_DEVICE, L"%ls() FAILED with socket error %d\n", kRunName, WSAGetLastError());
        return false;
    }
    if (!ConnectSocket(socket.Get(), *address.Get(), stop, m_deviceName))
        return false;
    m_reader.Reset();
    m_refusedLines = 0;
    m_connected = true;
    ++m_connections;
    TracePrint(QVL_INFO, QVC_DEVICE, L"%ls() - connected to %ls\n", kRunName, m_deviceName.c_str());
    Tell(LircState::Connected);

    // One read is always under way; the thread wakes when its bytes are in
    // the buffer, with nothing more to ask of the socket.
    CQVHandle received(WSACreateEvent());
    char buffer[1024];
    WSAOVERLAPPED overlapped = {};
    overlapped.hEvent = received.Get();
    bool pending = false;
    for (;;) {
        DWORD got = 0;
        if (!pending) {
            WSABUF slice = {sizeof(buffer), buffer};
            DWORD flags = 0;
            if (WSARecv(socket.Get(), &slice, 1, &got, &flags, &overlapped, nullptr) == SOCKET_ERROR) {
                if (WSAGetLastError() != WSA_IO_PENDING) {
                    TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - %ls: read failed (%d)\n", kRunName,
                               m_deviceName.c_str(), WSAGetLastError());
                    break;
                }
                pending = true;
            }
        }
        if (pending) {
            const bool held = m_scheduler.LastCode() != NEC_CODE_IDLE;
            const HANDLE handles[2] = {stop, received.Get()};
            const DWORD woke = WaitForMultipleObjects(2, handles, FALSE, held ? kReleaseTickMs : INFINITE);
            if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED)
                break;
            if (woke == WAIT_TIMEOUT) {
                CheckRelease();
                continue;
            }
            DWORD flags = 0;
            pending = false;
            if (!WSAGetOverlappedResult(socket.Get(), &overlapped, &got, FALSE, &flags)) {
                TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - %ls: read failed (%d)\n", kRunName, m_deviceName.c_str(),
                           WSAGetLastError());
                break;
            }
        }
        if (got == 0) {
            TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - %ls: the server closed the connection\n", kRunName,
                       m_deviceName.c_str());
            break;
        }
        m_reader.Feed(buffer, got, *this);
        if (m_refusedLines >= kMaxRefusedLines) {
            TracePrint(QVL_WRN, QVC_DEVICE, L"%ls() - %ls: no LIRC server, dropped\n", kRunName, m_deviceName.c_str());
            break;
        }
        CheckRelease();
    }
    if (pending) {
        // The buffer must outlive the read that fills it.
        DWORD got = 0, flags = 0;
        CancelIoEx(reinterpret_cast<HANDLE>(socket.Get()), &overlapped);
        WSAGetOverlappedResult(socket.Get(), &overlapped, &got, TRUE, &flags);
    }
    EndOfKey();
    m_connected = false;
    Tell(LircState::Disconnected);
    return true;
}

void CSrcLirc::CheckRelease() {
    // Repeat lines that stop are the release: a key held without a line
    // for the scheduler's release time is gone.
    if (m_scheduler.LastCode() != NEC_CODE_IDLE &&
        SystemClock().NowMs() - m_lastLineMs >= CNecKeyScheduler::kReleaseMs) {
        HandleIrEvent(NEC_CODE_IDLE);
        if (m_scheduler.LastCode() == NEC_CODE_IDLE)
            Tell(LircState::Released);
    }
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
