// The dispatcher under Wine: real command-set files, the real display window
// and the target program as the application the keys are meant for.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "cmdsets/KeyLine.h"
#include "cmdsets/KeyNames.h"
#include "cmdsets/KnownCmdSets.h"
#include "commands/CmdSetHandler.h"
#include "commands/MultiTapTable.h"
#include "commands/PowerControl.h"
#include "commands/WinCommandRules.h"
#include "commands/WinCommands.h"
#include "osd/OsdDlg.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/commands/CommandTestUtil.h"
#include "tests/support/TraceTestUtil.h"

namespace {

using cmdtest::CTargetProcess;
using cmdtest::CTargetRecord;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string Line(int keyId, int type, int subType, int value, const char* text) {
    tagWINCMD cmd;
    cmd.nType = type;
    cmd.nSubType = subType;
    cmd.nValue = value;
    std::wstring wide(text, text + strlen(text));
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, wide.c_str());
    return std::to_string(keyId) + "=" + Narrow(FormatKeyLine(keyId, cmd, GetKeyName(keyId, true))) + "\n";
}

// Slot 0 the general set (its program never runs here), slot 1 the target
// program, slot 2 the target under another caption.
class CmdSetHandlerTest : public CmdSetFilesTest {
protected:
    void SetUp() override {
        CmdSetFilesTest::SetUp();
        const std::string target = Narrow(cmdtest::TargetPath());
        std::string preset = "[Settings]\nRC Layout Version=4\n"
                             "[Software]\n0=Windows (Standard)\n1=Kanzo Target\n2=Kanzo Other\n3=---\n"
                             "[Windows (Standard)]\nExecutable=KanzoNoSuchProgram.exe\n" +
                             Line(183, CMD_SYS, 5, 1, "Arrow") +
                             "[Kanzo Target]\nExecutable=KanzoTarget.exe\nWindowCaption=Kanzo Command Target\n"
                             "Description=The target\nAppPath=" + target + "\n" +
                             Line(183, CMD_CTL, 0, TARGET_ID_MENU_ONE, "One") +
                             "[Kanzo Other]\nExecutable=KanzoTarget.exe\nWindowCaption=Kanzo Other Caption\n"
                             "CommandLine=\"--caption=Kanzo Other Caption\"\nAppPath=" + target + "\n" +
                             Line(183, CMD_CTL, 0, TARGET_ID_MENU_ONE, "One") +
                             "[Kanzo Gone]\nExecutable=KanzoNoSuchProgram2.exe\nAppPath=C:\\nowhere\\x.exe\n"
                             "[Kanzo Always]\nExecutable=KanzoNoSuchProgram3.exe\nAlwaysActive=1\n";
        WriteText(Paths().presetFile, preset);
        CCmdSetHandler::SetRememberedSlot(0);
    }

    // A display window on this thread, so what it shows can be read back at once.
    void CreateDisplay() {
        m_display.Create();
        ASSERT_NE(nullptr, m_display.GetHwnd());
    }

    tagPRGINFO Current(CCmdSetHandler& handler) const {
        tagPRGINFO info;
        handler.GetCurrentPrgInfo(info);
        return info;
    }

    COsdDlg m_display{nullptr};
};

TEST_F(CmdSetHandlerTest, MenuToggleShowsTheMainMenuAndASecondToggleClosesIt) {
    CCmdSetHandler handler(Paths(), CAppPathSources());
    handler.SetDisplay(&m_display);
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    EXPECT_TRUE(handler.HandleCommandForKey(160, 1));
    EXPECT_TRUE(handler.IsMenuShown());
    EXPECT_TRUE(m_display.IsMenuShown());
    EXPECT_EQ(L"Application", m_display.GetMenuTitle());
    EXPECT_EQ(L"Kanzo Target", m_display.GetMenuItemName(1));
    EXPECT_EQ(L"The target", m_display.GetMenuItemDescription(1));
    // No window of the set runs, so the key went to the general set, which the menu now selects.
    EXPECT_STREQ(L"Windows (Standard)", Current(handler).szName);
    EXPECT_EQ(0, m_display.GetMenuSelection()) << "the current set is selected";
    EXPECT_EQ(L"Windows (Standard)*", m_display.GetMenuItemName(0)) << "not installed: marked";
    EXPECT_EQ(L"", m_display.GetMenuItemName(3));

    EXPECT_FALSE(handler.HandleCommandForKey(240, 1)) << "a key the menu does not know does nothing";
    EXPECT_TRUE(handler.IsMenuShown());
    EXPECT_TRUE(handler.HandleCommandForKey(160, 1));
    EXPECT_FALSE(handler.IsMenuShown());
    EXPECT_FALSE(m_display.IsMenuShown());
}

TEST_F(CmdSetHandlerTest, MenuNavigationWrapsBothWaysAndBackCloses) {
    CCmdSetHandler handler(Paths(), CAppPathSources());
    handler.SetDisplay(&m_display);
    ASSERT_TRUE(handler.HandleCommandForKey(160, 1));
    EXPECT_EQ(0, m_display.GetMenuSelection()) << "the general set the key fell back to";
    EXPECT_TRUE(handler.HandleCommandForKey(182, 1));
    EXPECT_EQ(9, m_display.GetMenuSelection()) << "previous of the first is the last";
    EXPECT_TRUE(handler.HandleCommandForKey(183, 1));
    EXPECT_EQ(0, m_display.GetMenuSelection()) << "next of the last is the first";
    EXPECT_TRUE(handler.HandleCommandForKey(180, 1));
    EXPECT_EQ(9, m_display.GetMenuSelection());
    EXPECT_TRUE(handler.HandleCommandForKey(181, 1));
    EXPECT_TRUE(handler.HandleCommandForKey(267, 1));
    EXPECT_EQ(1, m_display.GetMenuSelection());
    EXPECT_TRUE(handler.HandleCommandForKey(185, 1));
    EXPECT_FALSE(handler.IsMenuShown());
    EXPECT_FALSE(handler.HandleCommandForKey(185, 1) && handler.IsMenuShown());
}

TEST_F(CmdSetHandlerTest, MenuCodesOfTheKeys) {
    for (int key = 200; key <= 209; ++key)
        EXPECT_EQ(key - 200, GetMenuCode(key));
    EXPECT_EQ(MENU_CODE_PREVIOUS, GetMenuCode(266));
    EXPECT_EQ(MENU_CODE_NEXT, GetMenuCode(183));
    EXPECT_EQ(MENU_CODE_UP, GetMenuCode(262));
    EXPECT_EQ(MENU_CODE_DOWN, GetMenuCode(261));
    for (int key : {184, 186, 260})
        EXPECT_EQ(MENU_CODE_CHOOSE, GetMenuCode(key));
    EXPECT_EQ(MENU_CODE_CLOSE, GetMenuCode(187));
    for (int key : {140, 160, 240, 210, 199})
        EXPECT_EQ(MENU_CODE_NONE, GetMenuCode(key));
}

TEST_F(CmdSetHandlerTest, ChoosingASlotStartsItsProgramAndSlotZeroIsNotRemembered) {
    CTargetRecord record;
    CCmdSetHandler handler(Paths(), CAppPathSources());
    handler.SetDisplay(&m_display);
    CCmdSetHandler::SetRememberedSlot(2);
    ASSERT_TRUE(handler.HandleCommandForKey(160, 1));
    EXPECT_TRUE(handler.HandleCommandForKey(200, 1)) << "slot 0";
    EXPECT_EQ(2, CCmdSetHandler::GetRememberedSlot());
    EXPECT_FALSE(handler.IsMenuShown());
    EXPECT_STREQ(L"Windows (Standard)", Current(handler).szName);

    ASSERT_TRUE(handler.HandleCommandForKey(160, 1));
    EXPECT_TRUE(handler.HandleCommandForKey(201, 1)) << "slot 1";
    EXPECT_EQ(1, CCmdSetHandler::GetRememberedSlot());
    EXPECT_STREQ(L"Kanzo Target", Current(handler).szName);
    ASSERT_GE(record.WaitFor(L"READY"), 0) << "the chosen program was started";
    cmdtest::CloseProcessWindows(record.WriterProcessId());
}

TEST_F(CmdSetHandlerTest, KeyGoesToTheFirstRunningMenuApplication) {
    CTargetRecord record;
    CTargetProcess target(record);
    ASSERT_TRUE(target.Start()) << target.Failure();
    CCmdSetHandler handler(Paths(), CAppPathSources());
    // A temporary dispatcher (the editor's test button) empties the shared
    // sets when it goes; the others must find them again.
    { CCmdSetHandler temporary(Paths(), CAppPathSources()); }
    std::size_t from = record.Count();
    EXPECT_TRUE(handler.HandleCommandForKey(183, 1));
    EXPECT_STREQ(L"Kanzo Target", Current(handler).szName);
    EXPECT_EQ(1, CCmdSetHandler::GetRememberedSlot());
    EXPECT_EQ(target.Window(), handler.GetLastTarget());
    EXPECT_GE(record.WaitFor(L"MENU 40001", from), 0) << "the command reached the target";

    // The last target is used again while it is the set's window, and with
    // the set's window found, no fallback is needed.
    from = record.Count();
    EXPECT_TRUE(handler.HandleCommandForKey(183, 0));
    EXPECT_GE(record.WaitFor(L"MENU 40001", from), 0);
}

TEST_F(CmdSetHandlerTest, AKeySearchesForItsWindowOnceAndNotAtAllForAValidLastTarget) {
    CTargetRecord record;
    CTargetProcess target(record);
    ASSERT_TRUE(target.Start()) << target.Failure();
    CCmdSetHandler handler(Paths(), CAppPathSources());
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    const std::wstring log = tracetest::CurrentTestLogPath();
    DeleteFileW(log.c_str());
    ASSERT_EQ(1, TraceInitEx(QVOUT_FILE, log.c_str(), 0, QVL_DETAIL, QVC_ALL));
    auto searches = [&] {
        int count = 0;
        for (const std::wstring& line : tracetest::ReadLines(log))
            count += line.find(L"CQVFindWindow::FindWindowW(Kanzo Command Target,") != std::wstring::npos;
        return count;
    };
    std::size_t from = record.Count();
    EXPECT_TRUE(handler.HandleCommandForKey(183, 1));
    EXPECT_GE(record.WaitFor(L"MENU 40001", from), 0);
    EXPECT_EQ(1, searches()) << "the command takes the window the dispatcher found";
    from = record.Count();
    EXPECT_TRUE(handler.HandleCommandForKey(183, 1));
    EXPECT_GE(record.WaitFor(L"MENU 40001", from), 0);
    EXPECT_EQ(1, searches()) << "the last target is still the set's window";
    tracetest::DetachCurrentThread();
    DeleteFileW(log.c_str());
}

TEST_F(CmdSetHandlerTest, WithoutFallbackARunningMenuApplicationIsNotTaken) {
    // An exclusive application: keys never go to another program.
    CTargetRecord record;
    CTargetProcess target(record);
    ASSERT_TRUE(target.Start()) << target.Failure();
    CCmdSetHandler handler(Paths(), CAppPathSources());
    EXPECT_FALSE(handler.HandleCommandForKey(183, 0));
    EXPECT_EQ(nullptr, handler.GetLastTarget());
}

TEST_F(CmdSetHandlerTest, NoMenuApplicationFallsBackToTheGeneralSet) {
    CCmdSetHandler handler(Paths(), CAppPathSources());
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    EXPECT_TRUE(handler.HandleCommandForKey(183, 1)) << "the general set's cursor command";
    EXPECT_STREQ(L"Windows (Standard)", Current(handler).szName);
    EXPECT_EQ(nullptr, handler.GetLastTarget());
    EXPECT_FALSE(handler.HandleCommandForKey(301, 1)) << "a key without a command";
}

TEST_F(CmdSetHandlerTest, WithoutFallbackAMissingWindowFailsUnlessTheSetIsAlwaysActive) {
    CCmdSetHandler handler(Paths(), CAppPathSources());
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    EXPECT_FALSE(handler.HandleCommandForKey(183, 0));
    EXPECT_STREQ(L"Kanzo Target", Current(handler).szName) << "nothing changed";

    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Always"));
    EXPECT_TRUE(handler.HandleCommandForKey(183, 0));
    EXPECT_STREQ(L"Windows (Standard)", Current(handler).szName);
}

TEST_F(CmdSetHandlerTest, PowerWithoutAMenuApplicationStartsTheRememberedSet) {
    CreateDisplay();
    CTargetRecord record;
    CCmdSetHandler handler(Paths(), CAppPathSources());
    handler.SetDisplay(&m_display);
    CCmdSetHandler::SetRememberedSlot(1);
    EXPECT_TRUE(handler.HandleCommandForKey(140, 1));
    EXPECT_EQ(L"Kanzo Target", m_display.GetControl().GetText()) << "the display names the set";
    EXPECT_STREQ(L"Kanzo Target", Current(handler).szName);
    ASSERT_GE(record.WaitFor(L"READY"), 0) << "its program was started";
    cmdtest::CloseProcessWindows(record.WriterProcessId());
    m_display.Destroy();
}

TEST_F(CmdSetHandlerTest, ActivatingAnotherCaptionClosesTheOldWindow) {
    CTargetRecord record;
    CTargetProcess target(record);
    ASSERT_TRUE(target.Start()) << target.Failure();
    CCmdSetHandler handler(Paths(), CAppPathSources());
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    std::size_t from = record.Count();
    EXPECT_TRUE(handler.ActivateMenuEntry(2));
    EXPECT_GE(record.WaitFor(L"SYSCOMMAND 0xF060", from), 0) << "the old window was asked to close";
    EXPECT_GE(record.WaitFor(L"READY", from), 0) << "the new set's program was started";
    EXPECT_STREQ(L"Kanzo Other", Current(handler).szName);
    EXPECT_FALSE(handler.ActivateMenuEntry(3)) << "a free slot";
    EXPECT_STREQ(L"Kanzo Other", Current(handler).szName);
    cmdtest::CloseProcessWindows(record.WriterProcessId());
}

// A window that does not close (a "save changes?" prompt) is never taken for
// the new set's window, though both sets name the same executable.
TEST_F(CmdSetHandlerTest, OldWindowThatStaysOpenIsNotActivatedForTheNewSet) {
    CTargetRecord record;
    CTargetProcess target(record);
    ASSERT_TRUE(target.Start(L"--keepopen")) << target.Failure();
    CCmdSetHandler handler(Paths(), CAppPathSources());
    handler.SetCloseWait(300);
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    const std::size_t from = record.Count();
    EXPECT_TRUE(handler.ActivateMenuEntry(2));
    EXPECT_GE(record.WaitFor(L"CLOSE", from), 0) << "the old window was asked to close";
    EXPECT_GE(record.WaitFor(L"READY", from, 30000), 0) << "the new set's program was started";
    EXPECT_TRUE(IsWindow(target.Window())) << "the old window refused to close";
    EXPECT_NE(target.ProcessId(), record.WriterProcessId());
    cmdtest::CloseProcessWindows(record.WriterProcessId());
    target.Close(0);
}

// Multi-tap text is typed as characters: "." must not arrive as Delete, "!" as
// Page Up, "(" as Down. Every character of every digit key's table, in order.
TEST_F(CmdSetHandlerTest, TypedTextArrivesAsTheCharactersThemselves) {
    CTargetRecord record;
    CTargetProcess target(record);
    ASSERT_TRUE(target.Start()) << target.Failure();
    CCmdSetHandler handler(Paths(), CAppPathSources());
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    std::wstring expected;
    const std::size_t from = record.Count();
    for (int keyId = MULTITAP_FIRST_KEY; keyId <= MULTITAP_LAST_KEY; ++keyId) {
        for (const wchar_t* p = GetMultiTapCharacters(keyId); *p; ++p) {
            tagWINCMD cmd = cmdtest::Cmd(CMD_KEY, *p);
            CopyFixedText(cmd.szWindowCaption, WINCMD_TEXT_LEN, KANZO_TARGET_CAPTION);
            ASSERT_TRUE(handler.TypeText(cmd)) << static_cast<unsigned>(*p);
            expected += *p;
        }
    }
    const std::wstring last = L"CHAR " + std::to_wstring(static_cast<unsigned>(expected.back()));
    ASSERT_GE(record.WaitFor(last, from + expected.size() - 1, 10000), 0);
    std::wstring typed;
    for (const std::wstring& line : record.Matching(L"CHAR ", from))
        typed += static_cast<wchar_t>(std::wcstoul(line.c_str() + 5, nullptr, 10));
    EXPECT_EQ(expected, typed);
    wchar_t text[512] = {};
    GetDlgItemTextW(target.Window(), TARGET_ID_EDIT, text, 512);
    EXPECT_EQ(expected, std::wstring(text)) << "nothing deleted, nothing out of place";
}

TEST_F(CmdSetHandlerTest, DisplayCommandsNeedADisplayAndCloseTheMenu) {
    CreateDisplay();
    CCmdSetHandler handler(Paths(), CAppPathSources());
    tagWINCMD info = cmdtest::Cmd(CMD_OSD, 1);
    EXPECT_FALSE(handler.ExecuteCommand(info, nullptr)) << "no display";
    handler.SetDisplay(&m_display);
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    ASSERT_TRUE(handler.ExecuteCommand(cmdtest::Cmd(CMD_OSD, 0), nullptr));
    ASSERT_TRUE(handler.IsMenuShown());
    EXPECT_TRUE(handler.ExecuteCommand(info, nullptr));
    EXPECT_FALSE(handler.IsMenuShown());
    EXPECT_EQ(L"Kanzo Target", m_display.GetControl().GetText());
    EXPECT_TRUE(handler.ExecuteCommand(cmdtest::Cmd(CMD_OSD, 2), nullptr));
    EXPECT_NE(L"Kanzo Target", m_display.GetControl().GetText()) << "the time";
    EXPECT_FALSE(m_display.GetControl().GetText().empty());
    EXPECT_FALSE(handler.ExecuteCommand(cmdtest::Cmd(CMD_OSD, 3), nullptr));
    m_display.Destroy();
}

TEST_F(CmdSetHandlerTest, MouseMoveKeysStartRedirectAndStopTheMover) {
    CCmdSetHandler handler(Paths(), CAppPathSources());
    CWinMouseMove& mover = handler.GetMouseMover();
    EXPECT_TRUE(handler.ExecuteCommand(cmdtest::Cmd(CMD_SYS, 4, 1), nullptr));
    EXPECT_TRUE(mover.IsRunning());
    EXPECT_TRUE(handler.ExecuteCommand(cmdtest::Cmd(CMD_SYS, 4, 7), nullptr)) << "redirected";
    EXPECT_TRUE(mover.IsRunning());
    EXPECT_TRUE(handler.ExecuteCommand(cmdtest::Cmd(CMD_SYS, 4, 7), nullptr)) << "same direction again";
    EXPECT_FALSE(mover.IsRunning());
    handler.ExecuteCommand(cmdtest::Cmd(CMD_SYS, 4, 0), nullptr);
    ASSERT_TRUE(mover.IsRunning());
    handler.ExecuteCommand(cmdtest::Cmd(CMD_SYS, 5, 1), nullptr);
    EXPECT_FALSE(mover.IsRunning()) << "any other command stops it";
    EXPECT_FALSE(handler.ExecuteCommand(cmdtest::Cmd(CMD_SYS, 4, 8), nullptr)) << "no such direction";
}

TEST_F(CmdSetHandlerTest, CurrentSetOperations) {
    CCmdSetHandler handler(Paths(), CAppPathSources());
    EXPECT_STREQ(L"---.---", Current(handler).szExecutable);
    tagWINCMD cmd;
    EXPECT_TRUE(handler.LookupCommand(200, cmd)) << "the defaults";
    EXPECT_FALSE(handler.LoadCmdSetByName(L"Nothing"));
    EXPECT_STREQ(L"", Current(handler).szName);

    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    ASSERT_TRUE(handler.LookupCommand(183, cmd));
    EXPECT_EQ(CMD_CTL, cmd.nType);
    CKeymap empty;
    tagPRGINFO info = Current(handler);
    handler.SetCurrentSet(info, empty);
    EXPECT_FALSE(handler.LookupCommand(183, cmd));
    EXPECT_TRUE(handler.ReloadCurrentSet());
    EXPECT_TRUE(handler.LookupCommand(183, cmd));
}

// The editor's Test button runs commands on the user-interface thread while
// the key-event worker dispatches.

// Records the pairs of command and set the dispatcher runs (under its lock).
class CRecordingHandler : public CCmdSetHandler {
public:
    using CCmdSetHandler::CCmdSetHandler;
    int executed = 0;
    int mismatched = 0;

protected:
    BOOL ExecuteCommand_Intern(const tagWINCMD& cmd, const tagPRGINFO* set) override {
        ++executed;
        // Only the two sets the test swaps; a set the search fell back to is not theirs.
        if (set && wcscmp(set->szName, L"Set A") == 0 && cmd.nValue != 1)
            ++mismatched;
        if (set && wcscmp(set->szName, L"Set B") == 0 && cmd.nValue != 2)
            ++mismatched;
        return TRUE;
    }
};

DWORD WINAPI RunThread(void* param) {
    (*static_cast<std::function<void()>*>(param))();
    return 0;
}

// Runs body on a thread of its own; the handle waits for it.
CQVHandle StartThread(std::function<void()>& body) {
    return CQVHandle(CreateThread(nullptr, 0, RunThread, &body, 0, nullptr));
}

TEST_F(CmdSetHandlerTest, TwoThreadsDispatchingAtOnceSeeOneSetAndItsKeysTogether) {
    CTargetRecord record;
    CTargetProcess target(record);
    ASSERT_TRUE(target.Start()) << target.Failure();
    CRecordingHandler handler(Paths(), CAppPathSources());
    ASSERT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    tagPRGINFO setA = Current(handler);
    tagPRGINFO setB = setA;
    CopyFixedText(setA.szName, PRGINFO_TEXT_LEN, L"Set A");
    CopyFixedText(setB.szName, PRGINFO_TEXT_LEN, L"Set B");
    CKeymap keysA, keysB;
    keysA.SetAt(183, cmdtest::Cmd(CMD_SYS, 5, 1));
    // Set B binds more keys, so that swapping the maps rebuilds the table.
    for (int key = 100; key < 300; ++key)
        keysB.SetAt(key, cmdtest::Cmd(CMD_SYS, 5, 2));
    const int rounds = 2000;
    std::function<void()> swapper = [&] {
        for (int i = 0; i < rounds; ++i)
            handler.SetCurrentSet(i % 2 ? setB : setA, i % 2 ? keysB : keysA);
    };
    std::function<void()> dispatcher = [&] {
        for (int i = 0; i < rounds; ++i)
            handler.HandleCommandForKey(183, 1);
    };
    CQVHandle one = StartThread(swapper);
    CQVHandle two = StartThread(dispatcher);
    HANDLE both[2] = {one.Get(), two.Get()};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, 120000));
    EXPECT_EQ(rounds, handler.executed);
    EXPECT_EQ(0, handler.mismatched) << "a key ran with another set's command";
}

// Holds the shutdown warning open until the test lets it go.
class CHeldWarning : public IPowerControl {
public:
    void StartScreenSaver() override {}
    INT_PTR RunShutdownWarning() override {
        SetEvent(shown.Get());
        WaitForSingleObject(answer.Get(), 60000);
        return IDCANCEL;
    }
    BOOL EnableShutdownPrivilege() override { return FALSE; }
    BOOL Suspend(BOOL) override { return FALSE; }
    BOOL PowerOff() override { return FALSE; }
    void ReportFailure(const wchar_t*) override {}
    CQVHandle shown{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    CQVHandle answer{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

TEST_F(CmdSetHandlerTest, TheShutdownWarningAndTheDisplayNeverHoldTheDispatcher) {
    CreateDisplay();
    CCmdSetHandler handler(Paths(), CAppPathSources());
    handler.SetDisplay(&m_display);
    CHeldWarning warning;
    IPowerControl* old = CWinCommands::SetPowerControl(&warning);
    std::function<void()> power = [&] {
        handler.ExecuteCommand(cmdtest::Cmd(CMD_SYS, WINCMD_SYS_POWER, WINCMD_POWER_OFF), nullptr);
    };
    CQVHandle worker = StartThread(power);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(warning.shown.Get(), 30000));

    // While the warning waits for the user, this thread edits and tests: the
    // display lives here too, so it is called in line.
    EXPECT_TRUE(handler.LoadCmdSetByName(L"Kanzo Target"));
    EXPECT_TRUE(handler.ReloadCurrentSet());
    EXPECT_TRUE(handler.ExecuteCommand(cmdtest::Cmd(CMD_OSD, 0), nullptr));
    EXPECT_TRUE(handler.IsMenuShown());
    EXPECT_TRUE(handler.ExecuteCommand(cmdtest::Cmd(CMD_OSD, 1), nullptr));
    EXPECT_EQ(L"Kanzo Target", m_display.GetControl().GetText());

    // A key from a third thread while the display's thread is busy here:
    // it must not wait for this thread, nor this thread for it.
    std::function<void()> key = [&] { handler.ExecuteCommand(cmdtest::Cmd(CMD_OSD, 2), nullptr); };
    CQVHandle keyThread = StartThread(key);
    EXPECT_TRUE(cmdtest::PumpUntil([&] { return WaitForSingleObject(keyThread.Get(), 0) == WAIT_OBJECT_0; }, 30000));

    SetEvent(warning.answer.Get());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker.Get(), 30000));
    CWinCommands::SetPowerControl(old);
    m_display.Destroy();
}

TEST(CmdSetHandlerRules, AnnouncedCommands) {
    EXPECT_FALSE(IsAnnouncedCommand(nullptr));
    struct Row {
        int type, subType;
        BOOL announced;
    } rows[] = {{CMD_NONE, 0, TRUE},  {CMD_OSD, 0, FALSE}, {CMD_OSD, 2, FALSE}, {CMD_SYS, 0, TRUE},
                {CMD_SYS, 1, TRUE},   {CMD_SYS, 2, TRUE},  {CMD_SYS, 3, FALSE}, {CMD_SYS, 4, FALSE},
                {CMD_SYS, 5, FALSE},  {CMD_SYS, 6, TRUE},  {CMD_KEY, 65, TRUE}, {CMD_WIN, 1, TRUE},
                {CMD_CTL, 0, TRUE}};
    for (const Row& row : rows) {
        tagWINCMD cmd = cmdtest::Cmd(row.type, row.subType);
        EXPECT_EQ(row.announced, IsAnnouncedCommand(&cmd)) << row.type << "/" << row.subType;
        cmd.fNoOsd = 1;
        EXPECT_FALSE(IsAnnouncedCommand(&cmd));
    }
}

TEST(CmdSetHandlerRules, SameAppWindowAndTvProbes) {
    CTargetRecord record;
    CTargetProcess target(record);
    ASSERT_TRUE(target.Start()) << target.Failure();
    tagPRGINFO set = cmdtest::TargetSet();
    EXPECT_TRUE(IsSameAppWindow(target.Window(), set));
    CopyFixedText(set.szWindowCaption, PRGINFO_TEXT_LEN, L"KANZO COMMAND TARGET");
    EXPECT_TRUE(IsSameAppWindow(target.Window(), set)) << "without regard to case";
    CopyFixedText(set.szWindowCaption, PRGINFO_TEXT_LEN, L"Kanzo Command");
    EXPECT_FALSE(IsSameAppWindow(target.Window(), set)) << "the whole caption";
    CopyFixedText(set.szWindowCaption, PRGINFO_TEXT_LEN, L"");
    CopyFixedText(set.szExecutable, PRGINFO_TEXT_LEN, L"other.exe");
    EXPECT_FALSE(IsSameAppWindow(target.Window(), set));
    EXPECT_FALSE(IsTvControlChecked());
    EXPECT_FALSE(IsTvTeletextOpen());
}

TEST(CmdSetHandlerRules, CommandSoundsPlayWithoutWaiting) {
    // No sound device here: the calls must still return at once and not fail loudly.
    PlayCommandSound(TRUE, FALSE);
    PlayCommandSound(FALSE, FALSE);
    PlayCommandSound(FALSE, TRUE);
    EXPECT_NE(nullptr, FindResourceW(GetModuleHandleW(nullptr), L"WAV_CMDERROR", L"WAVE"));
}

}  // namespace
