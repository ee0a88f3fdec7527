// The real endpoint and mixer paths read the master volume in a child process
// that sees an ALSA null device. Wine's audio driver reads ALSA_CONFIG_PATH
// from the Unix environment, which a Windows process cannot change for its
// children; the suite's environment carries it (see CMakeLists.txt) and the
// child inherits it. Writes are left to the fakes: there is no audio output
// to change here.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

namespace {

std::map<std::string, std::string> RunProbe() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder = folder.substr(0, folder.rfind(L'\\'));
    std::wstring commandLine = L"\"" + folder + L"\\volume_probe.exe\"";

    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info = {};
    const BOOL started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &info);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        // Not until end of file: Wine's helper processes that the child starts
        // inherit the pipe and keep it open long after the child has ended.
        WaitForSingleObject(info.hProcess, 30000);
        char buffer[512];
        DWORD available = 0, got = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available &&
               ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got)
            output.append(buffer, got);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(readEnd);
    std::map<std::string, std::string> values;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

TEST(AudioPaths, RealEndpointAndMixerReadTheNullDevice) {
    std::map<std::string, std::string> probe = RunProbe();
    ASSERT_FALSE(probe.empty()) << "volume_probe.exe did not run";
    if (probe["waveout"] == "0" && probe["endpoint"] == "0")
        GTEST_SKIP() << "no ALSA null device appeared (ALSA_CONFIG_PATH=" << KANZO_ALSA_NULL_CONF << ")";

    EXPECT_EQ("1", probe["use_endpoint"]) << "Wine reports a system with the endpoint interfaces";
    ASSERT_EQ("1", probe["endpoint"]);
    EXPECT_EQ("0x00000000", probe["endpoint_level_hr"]);
    const double level = std::atof(probe["endpoint_level"].c_str());
    EXPECT_GE(level, 0.0);
    EXPECT_LE(level, 1.0);
    EXPECT_EQ("0x00000000", probe["endpoint_mute_hr"]);
    EXPECT_TRUE(probe["endpoint_mute"] == "0" || probe["endpoint_mute"] == "1");

    // Setting the level fails with E_NOTIMPL on this driver; the commands
    // leave the volume unchanged then (tested with the fakes).
    EXPECT_FALSE(probe["endpoint_set_hr"].empty());
}

TEST(AudioPaths, LegacyMixerReadsTheSpeakerLine) {
    std::map<std::string, std::string> probe = RunProbe();
    ASSERT_FALSE(probe.empty()) << "volume_probe.exe did not run";
    if (probe["mixer"] != "1")
        GTEST_SKIP() << "no mixer: the ALSA control device (card 0) is missing here";
    EXPECT_EQ("1", probe["mixer_volume_read"]);
    const unsigned long maximum = std::strtoul(probe["mixer_max"].c_str(), nullptr, 10);
    EXPECT_GT(maximum, 0ul);
    ASSERT_FALSE(probe["mixer_volume_0"].empty());
    EXPECT_LE(std::strtoul(probe["mixer_volume_0"].c_str(), nullptr, 10), maximum);
}

}  // namespace
