#include "commands/ProcessNames.h"

#include "commands/ProcessNameTable.h"
#include "support/ScopedWin.h"

#include <cstdint>

namespace {

CQVCriticalSection& TableLock() {
    static CQVCriticalSection lock;
    return lock;
}

CProcessNameTable& Table() {
    static CProcessNameTable table;
    return table;
}

}  // namespace

std::wstring GetProcessExecutablePath(DWORD processId) {
    if (!processId)
        return std::wstring();
    // Limited query rights: enough for the name and the times, and granted
    // for more processes than the module list needs.
    CQVHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return std::wstring();
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    if (!GetProcessTimes(process.Get(), &created, &exited, &kernel, &user))
        return std::wstring();
    const std::uint64_t createdAt = (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    {
        CQVLock lock(TableLock());
        if (const std::wstring* path = Table().Find(processId, createdAt))
            return *path;
    }
    wchar_t path[1024] = {};
    DWORD size = 1024;
    if (!QueryFullProcessImageNameW(process.Get(), 0, path, &size))
        return std::wstring();
    const std::wstring result(path, size);
    CQVLock lock(TableLock());
    Table().Store(processId, createdAt, result);
    return result;
}
