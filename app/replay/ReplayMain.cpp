// KanzoReplay: plays a text capture of raw receiver frames through the key
// path and prints every key event the owner would receive.
//   KanzoReplay [--trace] [--rctype <hex>] <capture file>
// (Kanzo.exe -replay:<file> plays a capture through the whole program.)
#include "app/replay/CaptureReader.h"
#include "app/replay/ReplayReceiver.h"
#include "support/QVDebug.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct tagREPLAYOWNER {
    CSrcReplay* pSource = nullptr;
    int nEvents = 0;
};

int KANZO_STDCALL PrintEvent(void* owner, CSrc*, int keyId, int noAutoRepeat) {
    auto* state = static_cast<tagREPLAYOWNER*>(owner);
    const std::uint32_t ms = state->pSource->Now();
    std::wprintf(L"%6u ms  key %3d  %-22ls noAutoRepeat=%d\n", ms, keyId, GetEnglishKeyName(keyId), noAutoRepeat);
    std::fflush(stdout);
    ++state->nEvents;
    return 1;
}

bool ReadWholeFile(const wchar_t* path, std::string& text) {
    FILE* file = _wfopen(path, L"rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

int Usage() {
    std::fwprintf(stderr, L"usage: KanzoReplay [--trace] [--rctype <hex>] <capture file>\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool trace = false;
    int rcType = RCTYPE_NONE;
    const wchar_t* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--trace") {
            trace = true;
        } else if (arg == L"--rctype" && i + 1 < argc) {
            wchar_t* end = nullptr;
            rcType = static_cast<int>(std::wcstoul(argv[++i], &end, 16));
            if (!end || *end)
                return Usage();
        } else if (!path && arg.size() && arg[0] != L'-') {
            path = argv[i];
        } else {
            return Usage();
        }
    }
    if (!path)
        return Usage();

    std::string text;
    if (!ReadWholeFile(path, text)) {
        std::fwprintf(stderr, L"KanzoReplay: cannot read \"%ls\"\n", path);
        return 1;
    }
    std::vector<tagCAPTUREFRAME> frames;
    std::vector<tagCAPTUREERROR> errors;
    CCaptureReader::Parse(text, frames, errors);
    for (const tagCAPTUREERROR& e : errors)
        std::fwprintf(stderr, L"%ls:%d: %ls - line skipped\n", path, e.nLine, e.szMessage.c_str());

    if (trace)
        TraceInitEx(QVOUT_CONSOLE, nullptr, 0, QVL_DETAIL, QVC_ALL);

    std::wprintf(L"Replaying %zu frames from %ls\n", frames.size(), path);
    CSrcReplay receiver(frames, rcType);
    tagREPLAYOWNER owner;
    owner.pSource = &receiver;
    receiver.Init(&owner, PrintEvent);
    receiver.Run();
    std::wprintf(L"%d key events\n", owner.nEvents);

    if (trace)
        TraceTerminateThread(TraceCurrentThreadId(), 1);
    return 0;
}
