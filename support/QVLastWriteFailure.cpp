#include "support/QVLastWriteFailure.h"

#include <mutex>

#include "support/QVDebug.h"

namespace {

std::mutex g_lock;
tagLASTWRITEFAILURE g_failure;

}  // namespace

void CQVLastWriteFailure::Record(const wchar_t* operation, const std::wstring& target, std::uint32_t error) {
    if (!operation)
        operation = L"";
    TracePrint(QVL_ERR, QVC_ALL, L"%ls() FAILED for %ls with error %u\n", operation, target.c_str(),
               static_cast<unsigned>(error));
    std::lock_guard<std::mutex> lock(g_lock);
    g_failure.szOperation = operation;
    g_failure.szTarget = target;
    g_failure.dwError = error;
    ++g_failure.nCount;
}

bool CQVLastWriteFailure::Get(tagLASTWRITEFAILURE& failure) {
    std::lock_guard<std::mutex> lock(g_lock);
    failure = g_failure;
    return g_failure.nCount != 0;
}

void CQVLastWriteFailure::Clear() {
    std::lock_guard<std::mutex> lock(g_lock);
    g_failure = tagLASTWRITEFAILURE();
}
