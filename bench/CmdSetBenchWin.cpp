// cmdset_bench: what the command-set files cost under the platform's profile
// functions. Loads and saves a set that binds every valid key id, and scans
// the installed applications (done at every administrator construction).
// Prints figures only; asserts nothing.
#include <windows.h>

#include "bench/BenchUtilWin.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cmdsets/CmdSetAdmin.h"
#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "cmdsets/KnownCmdSets.h"

namespace {

template <typename Fn>
void Report(const char* what, int rounds, Fn fn) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        double start = BenchNowMs();
        fn(i);
        times.push_back(BenchNowMs() - start);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %8.2f ms, max %8.2f ms (%d rounds)\n", what, times[times.size() / 2], times.back(),
                rounds);
}

tagWINCMD Command(int keyId, int variant) {
    tagWINCMD cmd;
    cmd.nType = CMD_KEY;
    cmd.nSubType = 65 + (keyId + variant) % 26;
    cmd.nValue = variant % 8;
    cmd.fRepeat = keyId % 2;
    std::wstring text = L"Key " + std::to_wstring(keyId) + L" variant " + std::to_wstring(variant);
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, text.c_str());
    return cmd;
}

}  // namespace

int main() {
    const CCmdSetPaths paths = BenchCmdSetPaths(L"kanzo_cmdset_bench");

    // The preset binds every valid key id of one set.
    std::vector<int> keys;
    for (int keyId = 0; keyId <= CMDSET_LAST_KEY; ++keyId)
        if (IsValidKey(keyId))
            keys.push_back(keyId);
    WritePrivateProfileStringW(L"Settings", L"RC Layout Version", L"4", paths.presetFile.c_str());
    WritePrivateProfileStringW(L"Bench", L"Executable", L"bench.exe", paths.presetFile.c_str());
    for (int keyId : keys) {
        wchar_t name[8];
        swprintf(name, 8, L"%3d", keyId);
        WritePrivateProfileStringW(L"Bench", name,
                                   FormatKeyLine(keyId, Command(keyId, 0), GetKeyName(keyId, true)).c_str(),
                                   paths.presetFile.c_str());
    }
    std::printf("a set binding all %zu valid key ids (the id range holds no more)\n", keys.size());

    CAppPathSources noApps;
    CCmdSetAdmin admin(paths, noApps);
    tagPRGINFO info;
    admin.GetPrgInfo(L"Bench", info, FALSE);
    CKeymap keymap;

    Report("LoadKeymap, preset only", 50, [&](int) { admin.LoadKeymap(L"Bench", keymap, TRUE); });
    Report("SaveKeymap, every key changed", 20, [&](int round) {
        for (int keyId : keys)
            keymap.SetAt(keyId, Command(keyId, round + 1));
        admin.SaveKeymap(keymap, &info);
    });
    Report("LoadKeymap, user file over preset", 50, [&](int) { admin.LoadKeymap(L"Bench", keymap, FALSE); });
    Report("SaveKeymap, nothing changed", 20, [&](int) { admin.SaveKeymap(keymap, &info); });

    AppPathTable table;
    CAppPathSources system = CAppPathSources::System();
    Report("App Paths scan (registry, system folders)", 10, [&](int) { LoadAppPathsFrom(system, table); });
    std::printf("App Paths table: %zu executables\n", table.size());
    Report("CCmdSetAdmin construction (system sources)", 5, [&](int) {
        CKnownCmdSets::Instance().SetStale();
        CCmdSetAdmin full(paths, system);
    });

    BenchRemoveFiles(paths);
    return 0;
}
