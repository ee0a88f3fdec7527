// The Menu page over real command-set files: the rows offer every set in
// name order with its program's icon, show and write the main menu, and
// Autoselect fills them with the installed programs.
#include "editor/PageMenu.h"

#include "cmdsets/CmdSetAdmin.h"
#include "resources/EditorIds.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/editor/PageTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using pagetest::CSheetHost;

class PageMenuTest : public CmdSetFilesTest {
protected:
    // A preset with the general set and one set per name; "+" before a name:
    // its program is installed.
    void WritePreset(const std::vector<std::string>& sets, const std::string& menu) {
        std::string preset = "[Settings]\nRC Layout Version=4\n[Software]\n" + menu +
                             "[Windows (Standard)]\nExecutable=KanzoShell.exe\n";
        MakeExe(L"KanzoShell.exe");
        for (std::string name : sets) {
            const bool installed = name[0] == '+';
            if (installed)
                name = name.substr(1);
            std::string exe = "K" + std::to_string(preset.size()) + ".exe";
            if (installed)
                MakeExe(std::wstring(exe.begin(), exe.end()));
            preset += "[" + name + "]\nExecutable=" + exe + "\n";
        }
        WriteText(Paths().presetFile, preset);
    }

    // The page in a sheet over the files written so far.
    void Open() {
        m_admin = std::make_unique<CCmdSetAdmin>(Paths(), Sources());
        tagEDITORCONTEXT context;
        context.pAdmin = m_admin.get();
        m_page = std::make_unique<CPageMenu>(context);
        m_sheet.Add(*m_page);
        ASSERT_TRUE(m_sheet.Open());
        ASSERT_NE(nullptr, m_page->GetHwnd());
    }

    std::wstring RowText(int row) const {
        HWND selector = m_page->GetItem(IDC_MENU_SELECTOR0 + row);
        const LRESULT item = SendMessageW(selector, CB_GETCURSEL, 0, 0);
        wchar_t text[260] = {};
        COMBOBOXEXITEMW entry = {};
        entry.mask = CBEIF_TEXT;
        entry.iItem = item;
        entry.pszText = text;
        entry.cchTextMax = 260;
        SendMessageW(selector, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
        return text;
    }

    int ItemImage(int row, int item) const {
        COMBOBOXEXITEMW entry = {};
        entry.mask = CBEIF_IMAGE;
        entry.iItem = item;
        SendMessageW(m_page->GetItem(IDC_MENU_SELECTOR0 + row), CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&entry));
        return entry.iImage;
    }

    int ItemIndex(const wchar_t* name) const {
        const auto& items = m_page->GetItems();
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i] == name)
                return static_cast<int>(i);
        }
        return -1;
    }

    std::unique_ptr<CCmdSetAdmin> m_admin;
    std::unique_ptr<CPageMenu> m_page;
    CSheetHost m_sheet;
};

TEST_F(PageMenuTest, RowsOfferTheSetsInNameOrderShowTheMenuAndWriteAChoiceAtOnce) {
    // The user file names row 0 in other case; row 4 names a set that is gone.
    WritePreset({"Zeta", "+alpha", "+Beta"}, "");
    WriteText(Paths().userFile, "[Software]\n0=windows (standard)\n3=Beta\n4=Gone\n");
    Open();

    const std::vector<std::wstring> sorted = {L"---", L"Beta", L"Windows (Standard)", L"Zeta", L"alpha"};
    EXPECT_EQ(sorted, m_page->GetItems());
    for (int row = 0; row < MENU_PAGE_ROWS; ++row)
        EXPECT_EQ(5, SendMessageW(m_page->GetItem(IDC_MENU_SELECTOR0 + row), CB_GETCOUNT, 0, 0)) << row;
    // Installed programs bring their icon; the others show the default image 0.
    EXPECT_EQ(1 + 3, ImageList_GetImageCount(m_page->GetImageList()));
    EXPECT_GT(ItemImage(9, ItemIndex(L"Beta")), 0);
    EXPECT_GT(ItemImage(9, ItemIndex(L"alpha")), 0);
    EXPECT_EQ(0, ItemImage(9, ItemIndex(L"Zeta")));
    EXPECT_EQ(0, ItemImage(9, ItemIndex(L"---")));

    EXPECT_EQ(L"Windows (Standard)", RowText(0));
    EXPECT_EQ(L"Beta", RowText(3));
    EXPECT_EQ(L"---", RowText(4));
    EXPECT_EQ(L"---", RowText(9));

    pagetest::ChooseComboItem(m_page->GetHwnd(), IDC_MENU_SELECTOR0 + 5, ItemIndex(L"Zeta"));
    EXPECT_EQ(L"Zeta", UserValue(L"Software", L"5"));
    EXPECT_EQ(L"Beta", UserValue(L"Software", L"3"));
    std::wstring entry;
    EXPECT_TRUE(m_admin->GetMenuEntry(5, entry));
    EXPECT_EQ(L"Zeta", entry);
    EXPECT_FALSE(m_admin->GetMenuEntry(4, entry)) << "a row showing the free entry frees the slot";

    // The rows are laid out for 32 x 32 icons, 8 pixels apart, labels square beside them.
    RECT first, second, label;
    GetWindowRect(m_page->GetItem(IDC_MENU_SELECTOR0), &first);
    GetWindowRect(m_page->GetItem(IDC_MENU_SELECTOR0 + 1), &second);
    GetWindowRect(m_page->GetItem(IDC_MENU_ROW_LABEL0 + 1), &label);
    const int height = first.bottom - first.top;
    EXPECT_GE(height, MENU_PAGE_ICON_SIZE);
    EXPECT_EQ(height + MENU_PAGE_ROW_GAP, second.top - first.top);
    EXPECT_EQ(second.top, label.top);
    EXPECT_EQ(height, label.right - label.left);
    EXPECT_EQ(height, label.bottom - label.top);
    EXPECT_EQ(second.left - MENU_PAGE_LABEL_GAP, label.right);
}

TEST_F(PageMenuTest, TheHandCursorIsTheAutoselectButtonsAlone) {
    WritePreset({}, "");
    Open();
    HWND button = m_page->GetItem(IDC_MENU_AUTOSELECT);
    const ULONG_PTR classCursor = GetClassLongPtrW(button, GCLP_HCURSOR);
    EXPECT_TRUE(SendMessageW(m_page->GetHwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(button),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());
    EXPECT_EQ(classCursor, GetClassLongPtrW(button, GCLP_HCURSOR)) << "other buttons keep their cursor";
}

struct tagAUTOSELECTCASE {
    int installed;  // sets whose program exists, besides the general set
    int missing;    // sets without their program
};

class PageMenuAutoselect : public PageMenuTest, public ::testing::WithParamInterface<tagAUTOSELECTCASE> {};

TEST_P(PageMenuAutoselect, PutsTheGeneralSetFirstThenTheInstalledProgramsInNameOrder) {
    std::vector<std::string> sets;
    std::vector<std::wstring> installed;
    // Names whose order is not the order written: "Set 11" sorts before "Set 2".
    for (int i = 0; i < GetParam().installed; ++i) {
        const std::string name = "Set " + std::to_string(i + 1);
        sets.push_back("+" + name);
        installed.emplace_back(name.begin(), name.end());
    }
    for (int i = 0; i < GetParam().missing; ++i)
        sets.push_back("Absent " + std::to_string(i));
    std::sort(installed.begin(), installed.end());
    WritePreset(sets, "0=Absent 0\n9=Absent 0\n");
    Open();

    pagetest::Click(m_page->GetHwnd(), IDC_MENU_AUTOSELECT);

    EXPECT_EQ(L"Windows (Standard)", RowText(0));
    EXPECT_EQ(L"Windows (Standard)", UserValue(L"Software", L"0"));
    for (int row = 1; row < MENU_PAGE_ROWS; ++row) {
        const size_t index = static_cast<size_t>(row - 1);
        const std::wstring expected = index < installed.size() ? installed[index] : L"---";
        EXPECT_EQ(expected, RowText(row)) << row;
        EXPECT_EQ(expected, UserValue(L"Software", std::to_wstring(row).c_str())) << row;
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, PageMenuAutoselect,
                         ::testing::Values(tagAUTOSELECTCASE{3, 2}, tagAUTOSELECTCASE{12, 3}));

}  // namespace
