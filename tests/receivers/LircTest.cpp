// The LIRC receiver against a real lircd (Debian's, started by
// tests/receivers/lirc/lircctl.sh on private ports and paths; Wine starts the
// script as the Unix program it is) and against a peer of the test's own
// that sends what no LIRC server sends.

#include <winsock2.h>
#include <ws2tcpip.h>

#include "receivers/SrcLirc.h"
#include "tests/receivers/KeyEventLog.h"
#include "tests/receivers/lirc/LircdControl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using lirctest::Env;
using lirctest::FreePort;

// Long enough for the back-off's first steps and a restart of lircd.
constexpr auto kStateTimeout = std::chrono::seconds(20);

// What the receiver's thread tells, in order.
class CStateLog {
public:
    CSrcLirc::StateObserver Observer() {
        return [this](LircState state) {
            std::lock_guard<std::mutex> lock(m_lock);
            m_states.push_back(state);
            m_changed.notify_all();
        };
    }
    // Waits for the count-th appearance of the state.
    bool WaitFor(LircState state, int count = 1) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, kStateTimeout, [&] {
            int seen = 0;
            for (LircState s : m_states)
                seen += s == state;
            return seen >= count;
        });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<LircState> m_states;
};

class LircTest : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_mapPath = std::wstring(temp) + L"kanzo-lirc-test.xml";
        std::ofstream map(m_mapPath.c_str());
        map << "<LircMap><Remote Name=\"kanzo-test\"><Button Name=\"KEY_HOME\" Key=\"Teletext\"/>"
               "<Button Name=\"KEY_OK\" Key=\"263\"/></Remote>"
               "<Remote Name=\"*\"><Button Name=\"KEY_HOME\" Key=\"Menu\"/></Remote></LircMap>\n";
    }
    void TearDown() override {
        m_receiver.reset();
        DeleteFileW(m_mapPath.c_str());
        WSACleanup();
    }

    void StartReceiver(unsigned port) {
        m_receiver = std::make_unique<CSrcLirc>(L"127.0.0.1", port, m_mapPath);
        m_receiver->SetStateObserver(m_states.Observer());
        ASSERT_EQ(m_receiver->Init(&m_keys, &keylog::CKeyEventLog::Record), 1);
    }

    std::wstring m_mapPath;
    keylog::CKeyEventLog m_keys;
    CStateLog m_states;
    std::unique_ptr<CSrcLirc> m_receiver;
};

TEST_F(LircTest, KeysOfARealServerArriveMappedAndTheReceiverComesBackAfterARestart) {
    ASSERT_FALSE(Env(L"KANZO_LIRCCTL").empty()) << "run through CTest, which names the control script";
    const unsigned port = FreePort(SOCK_STREAM);
    const unsigned udp = FreePort(SOCK_DGRAM);
    lirctest::CLircd lircd;
    // The receiver is there first: it keeps trying until the server is up.
    StartReceiver(port);
    ASSERT_TRUE(lircd.Start(port, udp));
    ASSERT_TRUE(m_states.WaitFor(LircState::Connected));

    // Built-in name, the remote's own entry over the "*" entry, a number.
    ASSERT_TRUE(lircd.Send(L"KEY_POWER"));
    ASSERT_TRUE(m_keys.WaitFor(1));
    EXPECT_EQ(m_keys.At(0).nKeyId, KEYID_POWER);
    EXPECT_EQ(m_keys.At(0).nRcType, RCTYPE_LIRC);
    EXPECT_NE(m_keys.At(0).dwThreadId, GetCurrentThreadId());
    ASSERT_TRUE(m_states.WaitFor(LircState::Released));
    EXPECT_EQ(m_receiver->GetKeyId(), KEYID_NONE);

    // Unmapped buttons and repeats that come too fast report nothing: the
    // next report is the next key.
    ASSERT_TRUE(lircd.Send(L"KEY_NOTMAPPED"));
    ASSERT_TRUE(lircd.Send(L"KEY_HOME", L"00 01 02"));
    ASSERT_TRUE(m_keys.WaitFor(2));
    EXPECT_EQ(m_keys.At(1).nKeyId, KEYID_TELETEXT);
    ASSERT_TRUE(m_states.WaitFor(LircState::Released, 2));
    ASSERT_TRUE(lircd.Send(L"KEY_OK"));
    ASSERT_TRUE(m_keys.WaitFor(3));
    EXPECT_EQ(m_keys.At(2).nKeyId, KEYID_RECORD);

    lircd.Stop();
    ASSERT_TRUE(m_states.WaitFor(LircState::Disconnected));
    EXPECT_EQ(m_receiver->GetKeyId(), KEYID_NONE);
    ASSERT_TRUE(lircd.Start(port, udp));
    ASSERT_TRUE(m_states.WaitFor(LircState::Connected, 2));
    EXPECT_EQ(m_receiver->GetConnectionCount(), 2u);
    ASSERT_TRUE(lircd.Send(L"KEY_VOLUMEUP"));
    ASSERT_TRUE(m_keys.WaitFor(4));
    EXPECT_EQ(m_keys.At(3).nKeyId, KEYID_VOLUME_PLUS);
}

// A listening socket of the test that sends each accepted client a script.
class CFakeServer {
public:
    explicit CFakeServer(std::vector<std::string> perConnection) : m_scripts(std::move(perConnection)) {
        m_listen = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof(address);
        bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        listen(m_listen, 4);
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~CFakeServer() {
        closesocket(m_listen);  // ends the accept
        m_thread.join();
        for (SOCKET client : m_clients)
            closesocket(client);
    }
    unsigned Port() const { return m_port; }

private:
    void Serve() {
        for (const std::string& script : m_scripts) {
            SOCKET client = accept(m_listen, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                return;
            send(client, script.data(), static_cast<int>(script.size()), 0);
            m_clients.push_back(client);  // kept open: the receiver decides
        }
    }

    std::vector<std::string> m_scripts;
    SOCKET m_listen;
    unsigned m_port = 0;
    std::vector<SOCKET> m_clients;
    std::thread m_thread;
};

TEST_F(LircTest, APeerThatSendsNoLircLinesIsDroppedAndTheNextConnectionStillWorks) {
    std::string junk = "HTTP/1.1 400 Bad Request\r\n" + std::string(5000, 'x') + "\n";
    for (int i = 0; i < CSrcLirc::kMaxRefusedLines; ++i)
        junk += "not a key line\n";
    junk += "0000000000000001 00 KEY_1 tv\n";  // after the limit: never read
    CFakeServer server({junk, "BEGIN\nSIGHUP\nEND\n00000001 00 KEY_5 tv\n"});
    StartReceiver(server.Port());
    ASSERT_TRUE(m_states.WaitFor(LircState::Disconnected));
    ASSERT_TRUE(m_states.WaitFor(LircState::Connected, 2));
    ASSERT_TRUE(m_keys.WaitFor(1));
    EXPECT_EQ(m_keys.At(0).nKeyId, KEYID_PROG_5);
}

TEST_F(LircTest, DeletingTheReceiverWhileItWaitsForTheServerReturnsAtOnce) {
    StartReceiver(FreePort(SOCK_STREAM));  // nobody listens there
    const auto start = std::chrono::steady_clock::now();
    m_receiver.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
