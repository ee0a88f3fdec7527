#pragma once
// Small helpers of the command suites: command and set records aimed at the
// target program, and a barrier that proves the target has handled what was
// posted to it before.

#include "cmdsets/PrgInfo.h"
#include "cmdsets/WinCmd.h"
#include "tests/commands/target/TargetClient.h"

#include <gtest/gtest.h>

namespace cmdtest {

inline tagWINCMD Cmd(int type, int subType, int value = 0, int param = 0) {
    tagWINCMD command;
    command.nType = type;
    command.nSubType = subType;
    command.nValue = value;
    command.nParam = param;
    return command;
}

// The command set of the target program (caption and executable).
inline tagPRGINFO TargetSet(const wchar_t* caption = KANZO_TARGET_CAPTION) {
    tagPRGINFO set;
    CopyFixedText(set.szName, PRGINFO_TEXT_LEN, L"Kanzo Target");
    CopyFixedText(set.szExecutable, PRGINFO_TEXT_LEN, KANZO_TARGET_EXE);
    CopyFixedText(set.szWindowCaption, PRGINFO_TEXT_LEN, caption);
    return set;
}

// Posts a menu command and waits for its line: everything posted to the
// window before it has been handled. Returns the index after that line.
inline std::size_t Barrier(const CTargetRecord& record, HWND window, std::size_t from) {
    PostMessageW(window, WM_COMMAND, TARGET_ID_MENU_TWO, 0);
    const int at = record.WaitFor(L"MENU 40002", from);
    EXPECT_GE(at, 0) << "the target did not answer";
    return at < 0 ? record.Count() : static_cast<std::size_t>(at) + 1;
}

// The lines between from and the barrier's own line.
inline std::vector<std::wstring> LinesUntilBarrier(const CTargetRecord& record, HWND window, std::size_t from) {
    const std::size_t end = Barrier(record, window, from);
    std::vector<std::wstring> lines = record.Lines();
    if (end - 1 > lines.size())
        return {};
    return std::vector<std::wstring>(lines.begin() + static_cast<std::ptrdiff_t>(from),
                                     lines.begin() + static_cast<std::ptrdiff_t>(end - 1));
}

// Puts the mouse pointer at p and waits until the cursor is there.
inline bool MovePointer(POINT p) {
    SetCursorPos(p.x, p.y);
    return PumpUntil(
        [&] {
            POINT at = {};
            return GetCursorPos(&at) && at.x == p.x && at.y == p.y;
        },
        2000);
}

// A corner of the screen away from the target's window (unless it is
// maximised). Under Wine a window that appears under the pointer, or that
// the pointer is warped across, hears of it late and then puts the cursor
// back where the pointer was; with the pointer here nothing hears of its moves.
inline POINT OpenScreenCorner() {
    return POINT{GetSystemMetrics(SM_CXSCREEN) - 40, GetSystemMetrics(SM_CYSCREEN) - 40};
}

// A fixture with KanzoTarget.exe running (started with m_options, which a
// derived fixture sets in its constructor) and the target's command set.
class CTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        EXPECT_TRUE(MovePointer(PointerAtStart()));
        StartTarget();
        m_set = TargetSet();
    }
    // Where the pointer is while the target's window appears.
    virtual POINT PointerAtStart() const { return OpenScreenCorner(); }
    void StartTarget() {
        ASSERT_TRUE(m_target.Start(m_options)) << "KanzoTarget.exe did not start: " << m_target.Failure();
        m_from = m_record.Count();
    }
    HWND Window() const { return m_target.Window(); }

    std::wstring m_options;
    CTargetRecord m_record;
    CTargetProcess m_target{m_record};
    tagPRGINFO m_set;
    std::size_t m_from = 0;  // the first record line of the test itself
};

}  // namespace cmdtest
