// The setup as an administrator and Add/Remove Programs use it: a silent
// install, the installed program started and quit, and the silent uninstall,
// after which only the user's own data is left.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <map>
#include <string>
#include <vector>

#include "app/demo/KanzoProcess.h"
#include "support/ScopedWin.h"
#include "tests/app/process/KanzoTestUser.h"
#include "tests/support/RegistryRead.h"

using namespace kanzoctl;
using namespace kanzotest;

namespace {

constexpr DWORD SETUP_MS = 60000;
constexpr DWORD START_MS = 30000;
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kanzo";
const wchar_t kDllOverridesKey[] = L"Software\\Wine\\DllOverrides";
const wchar_t kMenuBuilder[] = L"winemenubuilder.exe";
const char kUserSets[] = "[Settings]\r\nRC Layout Version=4\r\n";

bool KeyExists(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

DWORD ReadDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD missing) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(root, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return missing;
    return value;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Folder(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

std::wstring UserDataFolder() { return Folder(CSIDL_APPDATA) + L"\\Vemtra\\Remote"; }
std::wstring StartMenuFolder() { return Folder(CSIDL_COMMON_PROGRAMS) + L"\\Kanzo"; }

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    CQVHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char chunk[4096];
    DWORD read = 0;
    while (file.IsValid() && ReadFile(file.Get(), chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    return bytes;
}

// The user's data folder, file by file.
std::map<std::wstring, std::string> UserData() {
    std::map<std::wstring, std::string> files;
    WIN32_FIND_DATAW found = {};
    CQVFindHandle find(FindFirstFileW((UserDataFolder() + L"\\*").c_str(), &found));
    if (!find.IsValid())
        return files;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[found.cFileName] = ReadAll(UserDataFolder() + L"\\" + found.cFileName);
    while (FindNextFileW(find.Get(), &found));
    return files;
}

bool WaitForEnd(HANDLE process, int* exitCode) {
    DWORD code = 0;
    if (WaitForSingleObject(process, SETUP_MS) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code))
        return false;
    *exitCode = static_cast<int>(code);
    return true;
}

// The programs a process has started and that still run, opened to wait for.
std::vector<CQVHandle> OpenChildren(DWORD parent) {
    std::vector<CQVHandle> children;
    CQVHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ParentProcessID != parent)
            continue;
        CQVHandle child(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (child.IsValid())
            children.push_back(std::move(child));
    }
    return children;
}

std::wstring ImagePath(HANDLE process) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!QueryFullProcessImageNameW(process, 0, path, &length))
        return std::wstring();
    return path;
}

// Runs a command line and whatever it starts to their end: the first exit
// code, or -1. The uninstaller hands its work to a copy of itself in a
// temporary folder and returns at once; that copy is removed here, as
// nothing else would before a restart.
int RunToEnd(std::wstring line) {
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    CloseHandle(info.hThread);
    CQVHandle process(info.hProcess);
    int code = -1;
    if (!WaitForEnd(process.Get(), &code))
        return -1;
    for (CQVHandle& child : OpenChildren(info.dwProcessId)) {
        const std::wstring image = ImagePath(child.Get());
        int childCode = -1;
        if (!WaitForEnd(child.Get(), &childCode))
            return -1;
        if (!image.empty() && DeleteFileW(image.c_str()))
            RemoveDirectoryW(image.substr(0, image.find_last_of(L'\\')).c_str());
    }
    return code;
}

struct tagSHORTCUT {
    std::wstring path;
    std::wstring arguments;
};

tagSHORTCUT ReadShortcut(const std::wstring& file) {
    tagSHORTCUT link;
    CQVComPtr<IShellLinkW> shell;
    CQVComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shell.PutVoid())) ||
        FAILED(shell.Get()->QueryInterface(IID_IPersistFile, persist.PutVoid())) ||
        FAILED(persist.Get()->Load(file.c_str(), STGM_READ)))
        return link;
    wchar_t text[MAX_PATH] = {};
    if (SUCCEEDED(shell.Get()->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
        link.path = text;
    text[0] = L'\0';
    if (SUCCEEDED(shell.Get()->GetArguments(text, MAX_PATH)))
        link.arguments = text;
    return link;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// What the build put into the setup beside the program: every language file.
std::vector<std::wstring> LanguageFiles() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    CQVFindHandle find(FindFirstFileW((std::wstring(KANZO_LANG_DIR) + L"\\*.lng").c_str(), &found));
    if (!find.IsValid())
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileW(find.Get(), &found));
    return names;
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        KeepMenusInThePrefix();
        if (std::wstring(KANZO_SETUP).empty())
            GTEST_SKIP() << "makensis is missing (tools/deps installs the nsis package): no setup was built";
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey)) << "Kanzo is installed already";
        ForgetUser();
        m_dataBefore = UserData();
        // The user's own command sets, from an earlier installation.
        const std::wstring file = UserDataFolder() + L"\\Kanzo.usr";
        SHCreateDirectoryExW(nullptr, UserDataFolder().c_str(), nullptr);
        CQVHandle out(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(out.Get(), kUserSets, sizeof(kUserSets) - 1, &written, nullptr));
    }

    void TearDown() override {
        // A failed test must not leave the prefix with Kanzo installed.
        if (KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey))
            Uninstall();
        ForgetUser();
        for (const auto& file : UserData())
            if (!m_dataBefore.count(file.first))
                DeleteFileW((UserDataFolder() + L"\\" + file.first).c_str());
        if (m_menusKept)
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kDllOverridesKey, kMenuBuilder);
        CoUninitialize();
    }

    // Wine mirrors new Start-menu links into the desktop menus of the Linux
    // user, outside the prefix, and never takes them back: not while we test.
    void KeepMenusInThePrefix() {
        if (ReadString(HKEY_CURRENT_USER, kDllOverridesKey, kMenuBuilder) != L"<missing>")
            return;
        m_menusKept = RegSetKeyValueW(HKEY_CURRENT_USER, kDllOverridesKey, kMenuBuilder, REG_SZ, L"",
                                      sizeof(wchar_t)) == ERROR_SUCCESS;
    }

    // The setup's exit code; -1 when it did not end in time.
    static int Install(const std::wstring& options) {
        return RunToEnd(L"\"" + std::wstring(KANZO_SETUP) + L"\" /S" + options);
    }

    // As Add/Remove Programs does it.
    static bool Uninstall() {
        const std::wstring line = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString");
        return RunToEnd(line) == 0 && !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
    }

    static std::wstring RunEntry() { return ReadString(HKEY_CURRENT_USER, kRunKey, kRunValue); }

    static void ExpectFilesIn(const std::wstring& folder) {
        std::vector<std::wstring> names = {L"Kanzo.exe",  L"Irbrix.dll",  L"Kanzo.ini",    L"Kanzo.txt",
                                           L"Kanzo.css",  L"SrcHid.xml",  L"License.txt", L"Uninstall.exe"};
        const std::vector<std::wstring> languages = LanguageFiles();
        EXPECT_GT(languages.size(), 20u);
        names.insert(names.end(), languages.begin(), languages.end());
        for (const std::wstring& name : names)
            EXPECT_TRUE(Exists(folder + L"\\" + name)) << "missing " << std::string(name.begin(), name.end());
    }

    // Everything of the installation gone; the user's data as it was.
    static void ExpectOnlyUserDataLeft(const std::wstring& folder, const std::map<std::wstring, std::string>& data) {
        EXPECT_FALSE(Exists(folder)) << "the installation folder stays";
        EXPECT_FALSE(Exists(StartMenuFolder())) << "the Start-menu folder stays";
        EXPECT_EQ(RunEntry(), L"<missing>");
        EXPECT_EQ(UserData(), data) << "the user's command sets are the user's";
        EXPECT_TRUE(data.count(L"Kanzo.usr"));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsKey)) << "so are the settings";
    }

    std::map<std::wstring, std::string> m_dataBefore;
    bool m_menusKept = false;
};

TEST_F(InstallerTest, SilentSetupInstallsIntoProgramFilesAndItsUninstallerLeavesOnlyTheUsersData) {
    ASSERT_EQ(Install(L""), 0);
    const std::wstring folder = Folder(CSIDL_PROGRAM_FILES) + L"\\Kanzo";
    const std::wstring program = folder + L"\\Kanzo.exe";
    ExpectFilesIn(folder);

    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Kanzo");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), KANZO_VERSION);
    EXPECT_TRUE(SamePath(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"), folder));
    EXPECT_TRUE(SamePath(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString"),
                         L"\"" + folder + L"\\Uninstall.exe\""));

    const tagSHORTCUT kanzo = ReadShortcut(StartMenuFolder() + L"\\Kanzo.lnk");
    EXPECT_TRUE(SamePath(kanzo.path, program)) << std::string(kanzo.path.begin(), kanzo.path.end());
    EXPECT_EQ(kanzo.arguments, L"");
    const tagSHORTCUT editor = ReadShortcut(StartMenuFolder() + L"\\Kanzo editor.lnk");
    EXPECT_TRUE(SamePath(editor.path, program));
    EXPECT_EQ(editor.arguments, L"-EDIT");

    // Start with Windows is on by default, written as the program writes it.
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kSettingsKey, L"Autostart", 2), 1u);
    const std::wstring runEntry = RunEntry();
    EXPECT_TRUE(SamePath(runEntry, L"\"" + program + L"\""));
    {
        CKanzoProcess installed(folder);
        ASSERT_TRUE(installed.Start(L"-EDIT"));
        EXPECT_TRUE(WaitUntil([&] { return installed.FindMainWindow() != nullptr; }, START_MS))
            << "still running: " << installed.IsRunning();
        EXPECT_GE(installed.QuitNow(), 0);
    }
    EXPECT_EQ(RunEntry(), runEntry) << "the program rewrote the setup's Run entry differently";

    const auto data = UserData();
    ASSERT_TRUE(Uninstall());
    ExpectOnlyUserDataLeft(folder, data);
}

TEST_F(InstallerTest, WithoutAutostartTheProgramDoesNotAddItAndTheUninstallerEndsARunningKanzo) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"Kanzo setup test";
    // /D= comes last and unquoted, blanks and all.
    ASSERT_EQ(Install(L" /NOAUTOSTART /D=" + folder), 0);
    ExpectFilesIn(folder);
    EXPECT_TRUE(SamePath(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"), folder));
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kSettingsKey, L"Autostart", 2), 0u);
    EXPECT_EQ(RunEntry(), L"<missing>");

    CKanzoProcess running(folder);
    ASSERT_TRUE(running.Start());
    ASSERT_TRUE(WaitUntil([&] { return running.FindMainWindow() != nullptr; }, START_MS));
    EXPECT_EQ(RunEntry(), L"<missing>") << "the first start turned the start with Windows on";

    const auto data = UserData();
    ASSERT_TRUE(Uninstall());
    EXPECT_GE(running.WaitExit(START_MS), 0) << "the uninstaller left Kanzo running";
    ExpectOnlyUserDataLeft(folder, data);
}

}  // namespace
