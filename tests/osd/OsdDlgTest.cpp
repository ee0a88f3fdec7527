// The display window under Wine: creation, the text bar and its hide timer,
// the menu, selection, colours and calls from another thread. Time comes from
// a fake clock; the timers' messages are the real ones (one test waits for the
// real timers once).

#include "osd/OsdDlg.h"
#include "tests/osd/OsdTestUtil.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

using osdtest::PumpPending;
using osdtest::PumpUntil;

class OsdWindow : public ::testing::Test {
protected:
    void Open(const wchar_t* gradientLibrary = L"msimg32.dll") {
        m_osd = std::make_unique<COsdDlg>(&m_settings, nullptr, &m_clock, gradientLibrary);
        ASSERT_TRUE(m_osd->Create());
        m_hwnd = m_osd->GetHwnd();
        ASSERT_TRUE(IsWindow(m_hwnd));
    }
    void TearDown() override {
        m_osd.reset();
        PumpPending();
    }
    void Tick(UINT_PTR timer) { SendMessageW(m_hwnd, WM_TIMER, timer, 0); }
    bool Visible() const { return IsWindowVisible(m_hwnd) != FALSE; }
    RECT WindowRect() const {
        RECT r = {};
        GetWindowRect(m_hwnd, &r);
        return r;
    }
    void FillMenu() {
        m_osd->SetMenuTitle(L"Applications", L"choose one");
        m_osd->SetMenuItem(0, L"Windows (Standard)", L"general");
        m_osd->SetMenuItem(1, L"Media Player", nullptr);
        m_osd->SetMenuItem(3, L"TV", L"");
    }

    tagOSDSETTINGS m_settings;
    FakeClock m_clock{10000};
    std::unique_ptr<COsdDlg> m_osd;
    HWND m_hwnd = nullptr;
};

TEST_F(OsdWindow, StartsAsHiddenTopmostToolWindowWithoutFrame) {
    Open();
    wchar_t title[64] = {};
    GetWindowTextW(m_hwnd, title, 64);
    EXPECT_STREQ(L"Vemtra Remote Control", title);
    const LONG_PTR style = GetWindowLongPtrW(m_hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CHILD | WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(static_cast<LONG_PTR>(WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
              GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_WINDOWEDGE));
    // First the 1 x 1 placement, shown; the one-shot timer hides it.
    RECT r = WindowRect();
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(1, r.right - r.left);
    EXPECT_EQ(1, r.bottom - r.top);
    EXPECT_TRUE(Visible());
    EXPECT_NE(GetForegroundWindow(), m_hwnd);
    // The real 500 ms timer, once.
    EXPECT_TRUE(PumpUntil([&] { return !Visible(); }, 3000));
}

TEST_F(OsdWindow, TextShowsTheBarAcrossTheScreenAndTheTimerHidesItAfterTheDisplayTime) {
    m_settings.osdTime = 2;
    Open();
    m_osd->ShowText(L"Play");
    EXPECT_TRUE(Visible());
    RECT r = WindowRect();
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), r.right);
    EXPECT_EQ(48, r.bottom);
    EXPECT_EQ(L"Play", m_osd->GetControl().GetText());
    EXPECT_EQ(OSD_MODE_TEXT, m_osd->GetControl().GetMode());
    RECT control = {};
    GetWindowRect(m_osd->GetControl().GetHwnd(), &control);
    EXPECT_EQ(48, control.bottom - control.top);

    m_clock.Advance(2000);
    Tick(OSD_TIMER_HIDE);
    EXPECT_TRUE(Visible()) << "exactly the display time has not yet passed";
    m_clock.Advance(1);
    Tick(OSD_TIMER_HIDE);
    EXPECT_FALSE(Visible());
}

TEST_F(OsdWindow, TextShownEarlyIsNotHiddenByTheFirstPlacementTimer) {
    Open();
    m_osd->ShowText(L"Early");
    Tick(OSD_TIMER_FIRST_HIDE);
    EXPECT_TRUE(Visible());
}

TEST_F(OsdWindow, NewTextRestartsTheDisplayTime) {
    Open();
    m_osd->ShowText(L"One");
    m_clock.Advance(1500);
    m_osd->ShowText(L"Two");
    m_clock.Advance(1500);
    Tick(OSD_TIMER_HIDE);
    EXPECT_TRUE(Visible());
    EXPECT_EQ(L"Two", m_osd->GetControl().GetText());
}

TEST_F(OsdWindow, RealTimerHidesTheTextAfterTheDisplayTime) {
    m_settings.osdTime = 1;
    m_osd = std::make_unique<COsdDlg>(&m_settings);  // the multimedia clock
    ASSERT_TRUE(m_osd->Create());
    m_hwnd = m_osd->GetHwnd();
    const DWORD start = GetTickCount();
    m_osd->ShowText(L"Real time");
    ASSERT_TRUE(Visible());
    ASSERT_TRUE(PumpUntil([&] { return !Visible(); }, 4000));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 1000u);
    EXPECT_LE(elapsed, 2500u);
}

TEST_F(OsdWindow, DisplayTimeZeroShowsNoTextButTheMenuStillWorks) {
    m_settings.osdTime = 0;
    Open();
    Tick(OSD_TIMER_FIRST_HIDE);
    m_osd->ShowText(L"Play");
    EXPECT_FALSE(Visible());
    EXPECT_EQ(L"", m_osd->GetControl().GetText());

    FillMenu();
    m_osd->ShowMenu(TRUE);
    EXPECT_TRUE(Visible());
    EXPECT_TRUE(IsZoomed(m_hwnd));
    EXPECT_EQ(OSD_MODE_MENU, m_osd->GetControl().GetMode());
    m_osd->ShowMenu(FALSE);
    EXPECT_FALSE(Visible());
    EXPECT_FALSE(m_osd->IsMenuShown());
}

TEST_F(OsdWindow, MenuFillsTheScreenStaysOverTheTimerAndIgnoresText) {
    Open();
    FillMenu();
    m_osd->ShowMenu(TRUE);
    RECT r = WindowRect();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), r.right - r.left);
    EXPECT_GE(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN) - 100);
    const std::wstring menuText = m_osd->GetControl().GetText();
    EXPECT_EQ(L"Applications\n0. Windows (Standard)\n1. Media Player\n\n3. TV\n\n\n\n\n\n", menuText);

    m_osd->ShowText(L"Play");
    EXPECT_EQ(menuText, m_osd->GetControl().GetText());
    EXPECT_EQ(OSD_MODE_MENU, m_osd->GetControl().GetMode());

    m_clock.Advance(60000);
    Tick(OSD_TIMER_HIDE);
    EXPECT_TRUE(Visible());

    // Closed, the next text is the 48-pixel bar again.
    m_osd->ShowMenu(FALSE);
    m_osd->ShowText(L"Play");
    EXPECT_TRUE(Visible());
    EXPECT_FALSE(IsZoomed(m_hwnd));
    EXPECT_EQ(48, WindowRect().bottom);
    EXPECT_EQ(L"Play", m_osd->GetControl().GetText());
    EXPECT_EQ(-1, m_osd->GetControl().GetSelection());
}

TEST_F(OsdWindow, MenuFieldsSelectionAndClear) {
    Open();
    FillMenu();
    EXPECT_EQ(L"choose one", m_osd->GetMenuSubtitle());
    EXPECT_EQ(L"general", m_osd->GetMenuItemDescription(0));
    EXPECT_EQ(L"", m_osd->GetMenuItemDescription(1));
    m_osd->SetMenuItem(10, L"out of range", nullptr);
    m_osd->SetMenuItem(-1, L"out of range", nullptr);
    EXPECT_EQ(L"", m_osd->GetMenuItemName(10));

    EXPECT_EQ(-1, m_osd->GetMenuSelection());
    m_osd->SelectMenuItem(3);
    EXPECT_EQ(3, m_osd->GetMenuSelection());
    m_osd->SelectMenuItem(12);
    EXPECT_EQ(3, m_osd->GetMenuSelection()) << "an invalid index changes nothing";
    m_osd->ShowMenu(TRUE);
    EXPECT_EQ(3, m_osd->GetControl().GetSelection());
    m_osd->SelectMenuItem(1);
    EXPECT_EQ(1, m_osd->GetControl().GetSelection());
    EXPECT_FALSE(GetUpdateRect(m_osd->GetControl().GetHwnd(), nullptr, FALSE)) << "painted at once";

    m_osd->ClearMenu();
    EXPECT_EQ(-1, m_osd->GetMenuSelection());
    EXPECT_EQ(L"", m_osd->GetMenuTitle());
    EXPECT_EQ(L"", m_osd->GetMenuItemName(0));
    m_osd->SetMenuItem(2, L"Radio", L"x");
    m_osd->SetMenuItem(2, nullptr, nullptr);
    EXPECT_EQ(L"", m_osd->GetMenuItemName(2));
}

TEST_F(OsdWindow, ColoursFollowTheSettingsAndRepaintOnlyOnChange) {
    Open();
    m_osd->ShowText(L"Colours");
    EXPECT_EQ(0x00FFFFFFu, m_osd->GetControl().GetColours().crHighlight);
    HWND control = m_osd->GetControl().GetHwnd();
    tagOSDSETTINGS same = m_settings;
    m_osd->SetColours(&same);
    EXPECT_FALSE(GetUpdateRect(control, nullptr, FALSE));

    tagOSDSETTINGS white = m_settings;
    white.osdTextColor = 0x00FFFFFF;
    white.osdUseGradient = 0;
    m_osd->SetColours(&white);
    EXPECT_TRUE(GetUpdateRect(control, nullptr, FALSE));
    const tagOSDCOLOURS& colours = m_osd->GetControl().GetColours();
    EXPECT_EQ(0x00F0CAA6u, colours.crHighlight);
    EXPECT_EQ(0x00FFFFFFu, colours.crText);
    EXPECT_EQ(white.osdBackColor, colours.crBack2);
    EXPECT_EQ(0, m_osd->GetSettings().osdUseGradient);
}

TEST_F(OsdWindow, ColoursOfTheConstructionApplyAtTheFirstShow) {
    m_settings.osdTextColor = 0x00FFFFFF;
    Open();
    m_osd->ShowText(L"First");
    EXPECT_EQ(0x00F0CAA6u, m_osd->GetControl().GetColours().crHighlight);
}

TEST_F(OsdWindow, LanguagePicksTheFontFaceAgain) {
    Open();
    m_osd->ShowText(L"Font");
    UpdateWindow(m_osd->GetControl().GetHwnd());
    EXPECT_EQ(L"Arial", m_osd->GetControl().GetFontFace());
    EXPECT_EQ(-32, m_osd->GetControl().GetFontHeight());
    m_osd->SetLanguage(2052);
    EXPECT_EQ(2052, m_osd->GetControl().GetLanguage());
    UpdateWindow(m_osd->GetControl().GetHwnd());
    // Wine has none of the Chinese faces: the fall-back ends at Arial.
    EXPECT_FALSE(m_osd->GetControl().GetFontFace().empty());
}

TEST_F(OsdWindow, EscapeAndCloseOnlyHide) {
    Open();
    m_osd->ShowText(L"Esc");
    SendMessageW(m_hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Visible());
    m_osd->ShowText(L"Close");
    SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(Visible());
    EXPECT_TRUE(IsWindow(m_hwnd));
}

TEST_F(OsdWindow, CallsFromAnotherThreadReachTheWindowInOrderWithoutWaiting) {
    Open();
    FillMenu();
    int selectionSeen = -2;
    std::thread worker([&] {
        m_osd->ShowText(L"From the worker");
        m_osd->ShowMenu(TRUE);
        m_osd->SelectMenuItem(4);
        // What the worker stored reads back at once, before the window ran it.
        selectionSeen = m_osd->GetMenuSelection();
    });
    worker.join();
    EXPECT_EQ(4, selectionSeen);
    EXPECT_EQ(L"", m_osd->GetControl().GetText()) << "nothing runs until the window's thread pumps";
    PumpPending();
    EXPECT_TRUE(Visible());
    EXPECT_EQ(OSD_MODE_MENU, m_osd->GetControl().GetMode());
    EXPECT_EQ(4, m_osd->GetControl().GetSelection());

    std::thread closer([&] {
        m_osd->ShowMenu(FALSE);
        m_osd->ShowText(L"Back to text");
    });
    closer.join();
    PumpPending();
    EXPECT_EQ(L"Back to text", m_osd->GetControl().GetText());
    EXPECT_FALSE(IsZoomed(m_hwnd));
}

TEST(OsdWithoutWindow, EveryOperationIsSafeBeforeCreationAndAfterDestruction) {
    tagOSDSETTINGS settings;
    COsdDlg osd(&settings);
    osd.ShowText(L"nothing");
    osd.ShowMenu(TRUE);
    osd.SetMenuTitle(nullptr, nullptr);
    osd.SetMenuItem(0, L"Windows (Standard)", nullptr);
    osd.SelectMenuItem(0);
    osd.SetColours(&settings);
    osd.SetColours(nullptr);
    osd.SetLanguage(1031);
    EXPECT_EQ(0, osd.GetMenuSelection());
    EXPECT_TRUE(osd.IsMenuShown());
    osd.ClearMenu();
    EXPECT_EQ(nullptr, osd.GetHwnd());

    ASSERT_TRUE(osd.Create());
    osd.Destroy();
    EXPECT_EQ(nullptr, osd.GetHwnd());
    osd.ShowMenu(FALSE);
    osd.ShowText(L"after");
}

TEST(OsdWithoutWindow, NullSettingsMeanTheDefaults) {
    COsdDlg osd(nullptr);
    tagOSDSETTINGS settings = osd.GetSettings();
    EXPECT_EQ(1, settings.osdOn);
    EXPECT_EQ(2, settings.osdTime);
    EXPECT_EQ(0x00F0CAA6u, settings.osdTextColor);
}

}  // namespace
