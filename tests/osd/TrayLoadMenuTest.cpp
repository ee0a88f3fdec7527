// The tray's "Load" menu: the main-menu popup from the slots, its refresh,
// and the "Load" item in the program's language over the shared popup.

#include "cmdsets/CmdSetAdmin.h"
#include "osd/TrayLoadMenu.h"
#include "support/QVLocalize.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/support/LocalizeTestUtil.h"

#include <gtest/gtest.h>

#include <clocale>
#include <ostream>
#include <string>

namespace {

std::wstring ItemText(HMENU menu, UINT id) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, id, text, 256, MF_BYCOMMAND);
    return text;
}

bool IsRadioChecked(HMENU menu, UINT id) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(menu, id, FALSE, &item);
    return (item.fType & MFT_RADIOCHECK) && (item.fState & MFS_CHECKED);
}

class TrayLoadMenu : public CmdSetFilesTest {
protected:
    void SetUp() override {
        CmdSetFilesTest::SetUp();
        WriteText(Paths().presetFile,
                  "[Settings]\nRC Layout Version=4\n[Software]\n0=Windows (Standard)\n1=---\n2=Player\n9=TV\n"
                  "[Windows (Standard)]\nExecutable=explorer.exe\n[Player]\nExecutable=player.exe\n"
                  "[TV]\nExecutable=tv.exe\n");
    }
    void TearDown() override {
        // The localization object switches both the thread's and the C library's locale.
        SetThreadLocale(m_threadLocale);
        _wsetlocale(LC_ALL, L"C");
        CmdSetFilesTest::TearDown();
    }
    void SetSlot(int slot, const wchar_t* name) {
        WritePrivateProfileStringW(L"Software", std::to_wstring(slot).c_str(), name, Paths().userFile.c_str());
    }
    CQVLocalize MakeLocalize(LANGID language) {
        tagQVLOCALIZE_SETUP setup;
        setup.wUiLanguage = language;
        setup.pszFolder = m_folder.c_str();
        setup.hClassesRoot = nullptr;
        return CQVLocalize(setup);
    }

    LCID m_threadLocale = GetThreadLocale();
    std::wstring m_folder = loctest::SourceLanguageFolder();
};

TEST_F(TrayLoadMenu, OneItemPerNamedSlotFreeSlotsHaveNone) {
    CCmdSetAdmin admin(Paths(), Sources());
    CQVMenu popup = CreateMainMenuPopup(admin);
    ASSERT_TRUE(popup);
    ASSERT_EQ(3, GetMenuItemCount(popup.Get()));
    EXPECT_EQ(L" 0. Windows (Standard)", ItemText(popup.Get(), 0x8000));
    EXPECT_EQ(L" 2. Player", ItemText(popup.Get(), 0x8002));
    EXPECT_EQ(L" 9. TV", ItemText(popup.Get(), 0x8009));
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuState(popup.Get(), 0x8001, MF_BYCOMMAND)) << "slot 1 is free";
}

TEST_F(TrayLoadMenu, RefreshRenewsTextsChecksTheCurrentSetAndGraysFreedSlots) {
    CCmdSetAdmin admin(Paths(), Sources());
    CQVMenu popup = CreateMainMenuPopup(admin);
    SetSlot(2, L"Media");
    SetSlot(9, L"---");
    SetSlot(1, L"Late");   // named after the popup was built: listed after a restart only
    RefreshMainMenuPopup(popup.Get(), admin, L"Media");
    EXPECT_EQ(L" 2. Media", ItemText(popup.Get(), 0x8002));
    EXPECT_TRUE(IsRadioChecked(popup.Get(), 0x8002));
    EXPECT_FALSE(IsRadioChecked(popup.Get(), 0x8000));
    EXPECT_TRUE(GetMenuState(popup.Get(), 0x8009, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(3, GetMenuItemCount(popup.Get()));

    SetSlot(9, L"TV");
    RefreshMainMenuPopup(popup.Get(), admin, L"Windows (Standard)");
    EXPECT_FALSE(GetMenuState(popup.Get(), 0x8009, MF_BYCOMMAND) & MF_GRAYED) << "named again";
    EXPECT_TRUE(IsRadioChecked(popup.Get(), 0x8000));
    EXPECT_FALSE(IsRadioChecked(popup.Get(), 0x8002)) << "one radio item at a time";

    RefreshMainMenuPopup(popup.Get(), admin, L"Unknown");
    EXPECT_FALSE(IsRadioChecked(popup.Get(), 0x8000)) << "no current entry: nothing checked";
    RefreshMainMenuPopup(popup.Get(), admin, nullptr);
    RefreshMainMenuPopup(nullptr, admin, L"Media");
}

struct tagLOADCASE {
    const char* name;
    LANGID language;
    const wchar_t* expected;
};

void PrintTo(const tagLOADCASE& c, std::ostream* os) {
    *os << c.name;
}

class TrayLoadMenuLanguage : public TrayLoadMenu, public ::testing::WithParamInterface<tagLOADCASE> {};

TEST_P(TrayLoadMenuLanguage, LoadItemIsLocalizedAndSharesThePopup) {
    CCmdSetAdmin admin(Paths(), Sources());
    CQVMenu popup = CreateMainMenuPopup(admin);
    CQVLocalize localize = MakeLocalize(GetParam().language);
    CTrayLoadMenu menu;
    ASSERT_TRUE(menu.Create(localize, popup.Get()));
    ASSERT_EQ(1, GetMenuItemCount(menu.Get()));
    wchar_t text[64] = {};
    GetMenuStringW(menu.Get(), 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(GetParam().expected, text);
    EXPECT_EQ(popup.Get(), GetSubMenu(menu.Get(), 0));
    menu.Destroy();
    EXPECT_EQ(nullptr, menu.Get());
    EXPECT_TRUE(IsMenu(popup.Get())) << "the main-menu popup belongs to the sheet";
    EXPECT_EQ(3, GetMenuItemCount(popup.Get()));
}

INSTANTIATE_TEST_SUITE_P(Languages, TrayLoadMenuLanguage,
                         ::testing::Values(tagLOADCASE{"English", 0x0409, L"Load"},
                                           tagLOADCASE{"German", 0x0407, L"Laden"},
                                           // No language file of its own: the English fallback.
                                           tagLOADCASE{"Estonian", 0x0425, L"Load"}),
                         [](const ::testing::TestParamInfo<tagLOADCASE>& info) { return std::string(info.param.name); });

TEST_F(TrayLoadMenu, CreateWithoutPopupFailsAndASecondCreateKeepsTheOldPopup) {
    CCmdSetAdmin admin(Paths(), Sources());
    CQVMenu popup = CreateMainMenuPopup(admin);
    CQVLocalize localize = MakeLocalize(0x0409);
    CTrayLoadMenu menu;
    EXPECT_FALSE(menu.Create(localize, nullptr));
    EXPECT_EQ(nullptr, menu.Get());
    ASSERT_TRUE(menu.Create(localize, popup.Get()));
    ASSERT_TRUE(menu.Create(localize, popup.Get())) << "the first menu goes, the popup stays";
    EXPECT_TRUE(IsMenu(popup.Get()));
    EXPECT_EQ(popup.Get(), GetSubMenu(menu.Get(), 0));
}

}  // namespace
