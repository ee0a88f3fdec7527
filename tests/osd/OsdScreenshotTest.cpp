// What the display puts on the screen, read back from the screen's pixels:
// the bar's size and gradient, the text colour, the menu with its highlighted
// line, the plain background without the gradient function. The pictures are
// kept in the test's folder (screenshots/*.bmp).

#include "osd/OsdDlg.h"
#include "tests/osd/OsdTestUtil.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using osdtest::CScreenShot;
using osdtest::PumpPending;

constexpr COLORREF kText = 0x00F0CAA6;
constexpr COLORREF kBack1 = 0x00A56E3A;
constexpr COLORREF kBack2 = 0x00000000;
constexpr COLORREF kWhite = 0x00FFFFFF;

class OsdScreen : public ::testing::Test {
protected:
    void Open(const wchar_t* gradientLibrary = L"msimg32.dll") {
        m_osd = std::make_unique<COsdDlg>(&m_settings, nullptr, nullptr, gradientLibrary);
        ASSERT_TRUE(m_osd->Create());
    }
    void TearDown() override {
        m_osd.reset();
        PumpPending();
    }
    // Paints everything pending and captures the screen.
    void Shoot(const wchar_t* artefact) {
        PumpPending();
        UpdateWindow(m_osd->GetHwnd());
        ASSERT_TRUE(m_shot.Capture());
        if (artefact) {
            EXPECT_TRUE(m_shot.SaveBmp(osdtest::ArtefactPath(artefact)));
        }
    }
    void FillMenu() {
        m_osd->SetMenuTitle(L"Kanzo", nullptr);
        const wchar_t* names[] = {L"Windows (Standard)", L"Media Player", L"TV Viewer", nullptr, L"DVD Player",
                                  L"Radio", nullptr, nullptr, nullptr, nullptr};
        for (int i = 0; i < OSD_MENU_ITEMS; ++i)
            m_osd->SetMenuItem(i, names[i], nullptr);
    }
    RECT Line(int entry) const { return m_osd->GetControl().GetLineRect(entry); }

    tagOSDSETTINGS m_settings;
    std::unique_ptr<COsdDlg> m_osd;
    CScreenShot m_shot;
};

TEST_F(OsdScreen, TextBarIs48PixelsHighWithTheGradientAndTheTextColour) {
    m_settings.osdTime = 30;
    Open();
    m_osd->ShowText(L"Volume + 10 %");
    Shoot(L"osd-text.bmp");
    const int width = m_shot.Width();
    // Gradient: background 2 at both edges, background 1 in the middle (row 2, above the text).
    EXPECT_TRUE(osdtest::Near(kBack2, m_shot.Pixel(0, 2), 2)) << std::hex << m_shot.Pixel(0, 2);
    EXPECT_TRUE(osdtest::Near(kBack1, m_shot.Pixel(width / 2, 2), 3)) << std::hex << m_shot.Pixel(width / 2, 2);
    EXPECT_TRUE(osdtest::Near(kBack2, m_shot.Pixel(width - 1, 2), 2)) << std::hex << m_shot.Pixel(width - 1, 2);
    // Half way from the edge to the middle: half of background 1.
    const COLORREF quarter = m_shot.Pixel(width / 4, 2);
    EXPECT_TRUE(osdtest::Near(RGB(GetRValue(kBack1) / 2, GetGValue(kBack1) / 2, GetBValue(kBack1) / 2), quarter, 4))
        << std::hex << quarter;
    // The bar ends at row 47: row 47 is still gradient, row 48 is not.
    EXPECT_TRUE(osdtest::Near(kBack1, m_shot.Pixel(width / 2, 47), 3)) << std::hex << m_shot.Pixel(width / 2, 47);
    EXPECT_FALSE(osdtest::Near(kBack1, m_shot.Pixel(width / 2, 48), 40));
    // The text sits in the middle of the bar in the text colour, nowhere else.
    const RECT bar = {0, 0, width, 48};
    const RECT textArea = {width / 4, 4, width * 3 / 4, 44};
    const int textPixels = m_shot.Count(textArea, kText, 8);
    EXPECT_GT(textPixels, 150);
    EXPECT_EQ(textPixels, m_shot.Count(bar, kText, 8));
    EXPECT_EQ(0, m_shot.Count(RECT{0, 48, width, 200}, kText, 8));
}

TEST_F(OsdScreen, MenuLinesInTheTextColourAndTheSelectedOneInTheHighlight) {
    Open();
    FillMenu();
    m_osd->SelectMenuItem(2);
    m_osd->ShowMenu(TRUE);
    Shoot(L"osd-menu.bmp");
    EXPECT_GT(m_shot.Count(Line(2), kWhite, 8), 100);
    EXPECT_EQ(0, m_shot.Count(Line(2), kText, 8));
    EXPECT_GT(m_shot.Count(Line(1), kText, 8), 100);
    EXPECT_EQ(0, m_shot.Count(Line(1), kWhite, 8));
    // Entry 3 is empty: its line holds no text at all.
    EXPECT_EQ(0, m_shot.Count(Line(3), kText, 8) + m_shot.Count(Line(3), kWhite, 8));
    EXPECT_GT(m_shot.Count(Line(4), kText, 8), 100);
    // The date line near the bottom, in the text colour.
    const int bottom = m_shot.Height() - 100;
    EXPECT_GT(m_shot.Count(RECT{20, bottom, m_shot.Width() / 2, bottom + 40}, kText, 8), 50);

    // Moving the selection repaints both lines at once.
    m_osd->SelectMenuItem(4);
    Shoot(nullptr);
    EXPECT_GT(m_shot.Count(Line(2), kText, 8), 100);
    EXPECT_EQ(0, m_shot.Count(Line(2), kWhite, 8));
    EXPECT_GT(m_shot.Count(Line(4), kWhite, 8), 100);
}

TEST_F(OsdScreen, WhiteTextHighlightsTheSelectionIn0xF0CAA6) {
    m_settings.osdTextColor = kWhite;
    Open();
    FillMenu();
    m_osd->SelectMenuItem(1);
    m_osd->ShowMenu(TRUE);
    Shoot(L"osd-menu-white.bmp");
    EXPECT_GT(m_shot.Count(Line(1), kText, 8), 100);
    EXPECT_EQ(0, m_shot.Count(Line(1), kWhite, 8));
    EXPECT_GT(m_shot.Count(Line(0), kWhite, 8), 100);
}

TEST_F(OsdScreen, WithoutTheGradientFunctionTheBackgroundIsPlainColourOne) {
    m_settings.osdTime = 30;
    Open(L"kanzo-no-gradient.dll");
    EXPECT_FALSE(m_osd->GetControl().HasGradient());
    m_osd->ShowText(L"Plain");
    Shoot(L"osd-plain.bmp");
    const int width = m_shot.Width();
    for (int x : {0, width / 4, width / 2, width - 1}) {
        EXPECT_EQ(kBack1, m_shot.Pixel(x, 1)) << "x " << x;
        EXPECT_EQ(kBack1, m_shot.Pixel(x, 46)) << "x " << x;
    }
}

TEST_F(OsdScreen, GradientTurnedOffInTheSettingsIsPlainToo) {
    m_settings.osdTime = 30;
    m_settings.osdUseGradient = 0;
    Open();
    m_osd->ShowText(L"No gradient");
    Shoot(nullptr);
    EXPECT_TRUE(osdtest::Near(kBack1, m_shot.Pixel(0, 1), 1));
    EXPECT_TRUE(osdtest::Near(kBack1, m_shot.Pixel(m_shot.Width() - 1, 1), 1));
}

}  // namespace
