// The native build's trace stand-in writes the lines of the Windows facility.
#include "support/QVDebug.h"
#include "support/QVDebugHost.h"
#include "tests/support/TraceLineScenario.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

class TraceHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(1, TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, QVL_DETAIL, QVC_ALL));
        TraceSetDetails(1);
        TraceHostTakeLines();
    }
    void TearDown() override {
        while (TraceTerminateThread(TraceCurrentThreadId(), 1)) {
        }
        TraceHostTakeLines();
    }
};

TEST_F(TraceHost, SameLinesAsTheWindowsFacility) {
    tracescenario::WriteScopesAndTags();
    EXPECT_EQ(tracescenario::ScopesAndTagsLines(), TraceHostTakeLines());
}

TEST_F(TraceHost, ScopesAndResultsOfFailedCodes) {
    {
        CQVTraceScope scope(QVL_IO, QVC_ALL, L"CSrc::Init", L"index=1");
        TraceResult(QVL_ERR, QVC_ALL, L"Start", static_cast<long>(static_cast<std::int32_t>(0x80004005u)));
        TraceResult(QVL_ERR, QVC_ALL, L"Read", 2);
    }
    const std::vector<std::wstring> lines = TraceHostTakeLines();
    ASSERT_EQ(6u, lines.size());
    EXPECT_EQ(L"I_O \\ CSrc::Init(index=1)\n", lines[0]);
    // No system texts natively: the code as Windows writes one it has no text for.
    EXPECT_EQ(L"ERR | Start -> FAILED\n", lines[1]);
    EXPECT_EQ(L"ERR | -> Error 0x80004005\n", lines[2]);
    EXPECT_EQ(L"ERR | Read\n", lines[3]);
    EXPECT_EQ(L"ERR | -> Error 0x00000002\n", lines[4]);
    EXPECT_EQ(0u, lines[5].rfind(L"I_O / CSrc::Init() (", 0)) << lines[5];
}

}  // namespace
