#include "tests/receivers/midi/MidiSimClient.h"

#include "support/QVRegKey.h"

#include <mmsystem.h>

namespace {

constexpr const wchar_t* kDriverFile = L"winesim.drv";
constexpr const wchar_t* kTestsKey = L"Software\\Kanzo Tests";

std::wstring FolderOf(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\'));
}

template <class T>
bool Resolve(HMODULE module, const char* name, T* function) {
    *function = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *function != nullptr;
}

// Wine's device layer picks the audio driver once per process from
// HKCU\Software\Wine\Drivers "Audio", and winmm takes its MIDI driver from
// there. Written prefix-wide, that value would hand every program of the
// prefix a driver without sound, the sound suites that run beside this one
// included, and a crashed test would leave it behind. So HKCU of this
// process alone is pointed, for winmm's first call only, at a volatile key
// of its own that holds Software\Wine\Drivers.
bool SelectDriverForThisProcess(std::wstring* error) {
    const std::wstring root = std::wstring(kTestsKey) + L"\\MIDI " + std::to_wstring(GetCurrentProcessId());
    {
        CQVRegKey drivers;
        const std::wstring path = root + L"\\Software\\Wine\\Drivers";
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr,
                            drivers.Put(), nullptr) != ERROR_SUCCESS) {
            *error = L"cannot create HKCU\\" + path;
            return false;
        }
        static const wchar_t kSim[] = L"sim";
        RegSetValueExW(drivers.Get(), L"Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>(kSim), sizeof(kSim));
    }
    CQVRegKey user;
    LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, root.c_str(), 0, KEY_READ, user.Put());
    if (status == ERROR_SUCCESS)
        status = RegOverridePredefKey(HKEY_CURRENT_USER, user.Get());
    if (status == ERROR_SUCCESS) {
        midiInGetNumDevs();
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    } else {
        *error = L"cannot redirect HKCU, error " + std::to_wstring(status);
    }
    user.Close();
    RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestsKey);  // only once no other process uses it
    return status == ERROR_SUCCESS;
}

}  // namespace

bool CMidiSimClient::Load(const wchar_t* ports) {
    SetEnvironmentVariableW(kMidiSimPortsVariable, ports);
    if (!SelectDriverForThisProcess(&m_error))
        return false;
    HMODULE driver = GetModuleHandleW(kDriverFile);
    if (!driver)
        return Fail(L"winmm did not load " + std::wstring(kDriverFile));
    if (FolderOf(driver) != FolderOf(nullptr))
        return Fail(L"winmm loaded another " + std::wstring(kDriverFile) + L" from " + FolderOf(driver));
    if (!Resolve(driver, "SimMidiSetPortName", &m_setPortName) || !Resolve(driver, "SimMidiSetInUse", &m_setInUse) ||
        !Resolve(driver, "SimMidiGetPortState", &m_getPortState) || !Resolve(driver, "SimMidiSend", &m_send) ||
        !Resolve(driver, "SimMidiResetCounts", &m_resetCounts))
        return Fail(L"the driver lacks its test exports");
    return true;
}

tagMIDISIM_PORTSTATE CMidiSimClient::PortState(UINT port) const {
    tagMIDISIM_PORTSTATE state = {};
    m_getPortState(port, &state);
    return state;
}

bool CMidiSimClient::Fail(const std::wstring& error) {
    m_error = error;
    return false;
}
