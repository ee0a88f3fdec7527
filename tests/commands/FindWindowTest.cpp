// CQVFindWindow and CEnumWinModules on real windows: KanzoTarget.exe, a second
// window of its process, and this test's own windows. Trace lines are read
// back from a log file.

#include "commands/EnumWinModules.h"
#include "commands/FindWindowRules.h"
#include "commands/QVFindWindow.h"
#include "support/ScopedWin.h"
#include "tests/commands/CommandTestUtil.h"
#include "tests/support/TraceTestUtil.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

using tracetest::AfterPrefix;
using tracetest::ReadLines;

class FindWindowOnTarget : public cmdtest::CTargetTest {
protected:
    void SetUp() override {
        cmdtest::CTargetTest::SetUp();
        if (HasFatalFailure())
            return;
        m_log = tracetest::CurrentTestLogPath();
        DeleteFileW(m_log.c_str());
        ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, m_log.c_str(), 0, QVL_DETAIL, QVC_ALL));
    }
    void TearDown() override {
        tracetest::DetachCurrentThread();
        DeleteFileW(m_log.c_str());
    }
    // The trace texts written so far.
    std::vector<std::wstring> Trace() const {
        std::vector<std::wstring> texts;
        for (const std::wstring& line : ReadLines(m_log))
            texts.push_back(AfterPrefix(line));
        return texts;
    }
    bool Traced(const std::wstring& part) const {
        for (const std::wstring& text : Trace()) {
            if (text.find(part) != std::wstring::npos)
                return true;
        }
        return false;
    }

    std::wstring m_log;
};

class FindWindowTwoWindows : public FindWindowOnTarget {
protected:
    FindWindowTwoWindows() { m_options = L"--second"; }
};

TEST_F(FindWindowOnTarget, ExactCaptionAloneFindsTheWindowInAnyCase) {
    EXPECT_EQ(m_target.Window(), CQVFindWindow::FindWindow(KANZO_TARGET_CAPTION, nullptr));
    EXPECT_TRUE(Traced(L"CQVFindWindow::FindWindowW(Kanzo Command Target,,FALSE)"));
    EXPECT_TRUE(Traced(L"CQVFindWindow::FindWindowW() - found by caption"));
    EXPECT_EQ(m_target.Window(), CQVFindWindow::FindWindow(L"KANZO COMMAND target", L""));
}

TEST_F(FindWindowOnTarget, CaptionThatIsOnlyContainedNeedsAnExecutable) {
    EXPECT_EQ(nullptr, CQVFindWindow::FindWindow(L"Command Target", nullptr));
    EXPECT_TRUE(Traced(L"CQVFindWindow::FindWindow() - Not a valid file name"));
    EXPECT_EQ(m_target.Window(), CQVFindWindow::FindWindow(L"Command Target", KANZO_TARGET_EXE));
    EXPECT_TRUE(Traced(L"CQVFindWindow::FindWindow() - FindWindowNT"));
}

TEST_F(FindWindowOnTarget, ShortExecutableWithACaptionGivesNull) {
    EXPECT_EQ(nullptr, CQVFindWindow::FindWindow(L"Command Target", L"abc"));
    EXPECT_EQ(nullptr, CQVFindWindow::FindWindow(L"Command Target", L"t.ex"));
    EXPECT_TRUE(Traced(L"Not a valid file name"));
}

TEST_F(FindWindowOnTarget, ExecutableAloneFindsTheProcessWindow) {
    EXPECT_EQ(m_target.Window(), CQVFindWindow::FindWindow(nullptr, L"KANZOTARGET.EXE"));
    EXPECT_EQ(m_target.Window(), CQVFindWindow::FindWindow(nullptr, L"kanzotarget"))
        << "the executable is a part of the path";
    EXPECT_EQ(nullptr, CQVFindWindow::FindWindow(nullptr, L"NoSuchProgram.exe"));
    EXPECT_TRUE(Traced(L"CQVFindWindow::FindWindow() - NULL"));
}

TEST_F(FindWindowOnTarget, NothingToSearchForIsAnError) {
    EXPECT_EQ(nullptr, CQVFindWindow::FindWindow(nullptr, nullptr));
    EXPECT_EQ(nullptr, CQVFindWindow::FindWindow(L"", L""));
    EXPECT_TRUE(Traced(L"CQVFindWindow::FindWindowW() - Invalid parameters"));
}

TEST_F(FindWindowOnTarget, HiddenWindowsAreSkippedUnlessAskedFor) {
    ShowWindow(m_target.Window(), SW_HIDE);
    ASSERT_TRUE(cmdtest::PumpUntil([&] { return !IsWindowVisible(m_target.Window()); }, 5000));
    CEnumWinModules visible;
    ASSERT_TRUE(visible.Enumerate(ENUMWIN_SKIP_INVISIBLE | ENUMWIN_SKIP_CHILD));
    for (int i = 0; i < visible.GetCount(); ++i)
        EXPECT_NE(m_target.Window(), visible.GetWindow(i));
    EXPECT_EQ(m_target.Window(), CQVFindWindow::FindWindow(L"command target", KANZO_TARGET_EXE, TRUE));
}

TEST_F(FindWindowTwoWindows, OnlyTheFirstWindowOfAProcessCarriesItsPath) {
    CEnumWinModules windows;
    ASSERT_TRUE(windows.Enumerate(ENUMWIN_SKIP_INVISIBLE | ENUMWIN_SKIP_CHILD));
    int ofTarget = 0, withPath = 0, firstIndex = -1, pathIndex = -1;
    for (int i = 0; i < windows.GetCount(); ++i) {
        if (windows.GetInfo(i)->dwProcessId != m_target.ProcessId())
            continue;
        ++ofTarget;
        if (firstIndex < 0)
            firstIndex = i;
        if (*windows.GetExecutablePath(i)) {
            ++withPath;
            pathIndex = i;
        }
    }
    EXPECT_EQ(2, ofTarget);
    EXPECT_EQ(1, withPath);
    EXPECT_EQ(firstIndex, pathIndex) << "the first in z-order";
    const std::wstring path = windows.GetExecutablePath(pathIndex);
    EXPECT_NE(std::wstring::npos, path.find(KANZO_TARGET_EXE)) << std::string(path.begin(), path.end());

    // By executable only, rule 4 can only match the window with the path.
    EXPECT_EQ(windows.GetWindow(pathIndex), CQVFindWindow::FindWindow(nullptr, KANZO_TARGET_EXE));
    // The second window by its own (contained) title.
    HWND second = FindWindowW(nullptr, L"Kanzo Command Target 2");
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(second, CQVFindWindow::FindWindow(L"Command Target 2", KANZO_TARGET_EXE));
}

// The lookup's answer from the full listing: the exact title, then the rules
// over every listed window with its path.
HWND FullListingAnswer(const wchar_t* caption, const wchar_t* executable) {
    if (caption && *caption) {
        if (HWND hwnd = FindWindowW(nullptr, caption))
            return hwnd;
    }
    tagFINDWINDOW_SEARCH search;
    if (PrepareWindowSearch(caption, executable, &search) != FindWindowCheck::Search)
        return nullptr;
    CEnumWinModules all;
    all.AddExcludedClass(FINDWINDOW_EXCLUDED_CLASS);
    all.Enumerate(ENUMWIN_SKIP_INVISIBLE | ENUMWIN_SKIP_CHILD | ENUMWIN_SKIP_EXCLUDED);
    std::vector<tagWINDOW_CANDIDATE> entries;
    for (int i = 0; i < all.GetCount(); ++i)
        entries.push_back({LowerSearchText(all.GetExecutablePath(i)), LowerSearchText(all.GetWindowText(i).c_str())});
    const int hit = MatchModuleSearch(search, entries);
    return hit >= 0 ? all.GetWindow(hit) : nullptr;
}

TEST_F(FindWindowTwoWindows, TheWalkAnswersAsTheFullListing) {
    HWND second = FindWindowW(nullptr, L"Kanzo Command Target 2");
    ASSERT_NE(nullptr, second);
    const struct {
        const wchar_t* caption;
        const wchar_t* executable;
    } searches[] = {
        {nullptr, KANZO_TARGET_EXE},                     // rule 4
        {L"Command Target 2", KANZO_TARGET_EXE},         // rule 3: the second window's own title
        {L"kanzo command", KANZO_TARGET_EXE},            // rule 1: only the window with the path
        {L"target", L"kanzotarget"},                     // part of the path
        {L"Kanzo Command Target 2", L"elsewhere.exe"},   // the exact title
        {L"Kanzo Command Target 2", nullptr},
    };
    for (const auto& s : searches) {
        const HWND expected = FullListingAnswer(s.caption, s.executable);
        EXPECT_NE(nullptr, expected);
        EXPECT_EQ(expected, CQVFindWindow::FindWindow(s.caption, s.executable))
            << (s.caption ? std::string(s.caption, s.caption + wcslen(s.caption)) : "(none)");
    }

    // The first window of the process hidden: the other one carries the path.
    HWND first = FullListingAnswer(nullptr, KANZO_TARGET_EXE);
    ASSERT_NE(second, first);
    ShowWindow(first, SW_HIDE);
    ASSERT_TRUE(cmdtest::PumpUntil([&] { return !IsWindowVisible(first); }, 5000));
    EXPECT_EQ(second, FullListingAnswer(nullptr, KANZO_TARGET_EXE));
    EXPECT_EQ(second, CQVFindWindow::FindWindow(nullptr, KANZO_TARGET_EXE));
    EXPECT_EQ(second, CQVFindWindow::FindWindow(L"kanzo command", KANZO_TARGET_EXE));
}

// The program's own windows carry a reserved class that the module search skips.
class FindWindowExcludedClass : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = FINDWINDOW_EXCLUDED_CLASS;
        RegisterClassExW(&wc);
        m_owner.Reset(CreateWindowExW(0, FINDWINDOW_EXCLUDED_CLASS, L"Probe Window Of The Program",
                                      WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, wc.hInstance,
                                      nullptr));
        m_window = m_owner.Get();
        ASSERT_NE(nullptr, m_window);
    }
    CQVWindow m_owner;
    HWND m_window = nullptr;  // m_owner's, for the comparisons
};

TEST_F(FindWindowExcludedClass, ModuleSearchNeverListsIt) {
    CEnumWinModules filtered;
    filtered.AddExcludedClass(FINDWINDOW_EXCLUDED_CLASS);
    ASSERT_TRUE(filtered.Enumerate(ENUMWIN_SKIP_INVISIBLE | ENUMWIN_SKIP_CHILD | ENUMWIN_SKIP_EXCLUDED));
    for (int i = 0; i < filtered.GetCount(); ++i)
        EXPECT_NE(m_window, filtered.GetWindow(i));

    CEnumWinModules all;
    all.AddExcludedClass(FINDWINDOW_EXCLUDED_CLASS);
    ASSERT_TRUE(all.Enumerate(ENUMWIN_SKIP_INVISIBLE | ENUMWIN_SKIP_CHILD));
    bool listed = false;
    for (int i = 0; i < all.GetCount(); ++i)
        listed = listed || all.GetWindow(i) == m_window;
    EXPECT_TRUE(listed) << "only the exclusion flag hides it";
}

TEST_F(FindWindowExcludedClass, OnlyAnExactTitleOrTheFallbackFindIt) {
    EXPECT_EQ(m_window, CQVFindWindow::FindWindow(L"Probe Window Of The Program", nullptr)) << "any class by title";
    const std::wstring log = tracetest::CurrentTestLogPath();
    DeleteFileW(log.c_str());
    ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, log.c_str(), 0, QVL_DETAIL, QVC_ALL));
    EXPECT_EQ(m_window, CQVFindWindow::FindWindow(L"probe window", L"test_commands_findwindow.exe"));
    bool viaFallback = false, viaModules = false;
    for (const std::wstring& line : ReadLines(log)) {
        viaFallback = viaFallback || line.find(L"FindWindow98") != std::wstring::npos;
        viaModules = viaModules || line.find(L"FindWindowNT") != std::wstring::npos;
    }
    tracetest::DetachCurrentThread();
    DeleteFileW(log.c_str());
    EXPECT_TRUE(viaFallback);
    EXPECT_FALSE(viaModules);
}

}  // namespace
