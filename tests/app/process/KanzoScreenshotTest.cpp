// The editor's pages as a user sees them, in English, German and Russian: every tab
// in the chosen language, and a picture of each (screenshots/*.bmp beside the
// test, shown in the README).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/demo/KanzoProcess.h"
#include "tests/app/process/KanzoTestUser.h"
#include "tests/support/WindowShot.h"

using namespace kanzoctl;
using namespace kanzotest;

namespace {

constexpr DWORD WAIT_MS = 30000;

struct tagLANGUAGECASE {
    DWORD language;
    const wchar_t* tag;
    const wchar_t* autoselect;   // the Menu page's button, from the language file
};

class KanzoScreenshotTest : public ::testing::TestWithParam<tagLANGUAGECASE> {
protected:
    // Each run of Kanzo.exe writes its Run entry: a run left in the prefix
    // would start it with the next session and spoil every later test.
    void TearDown() override { ForgetUser(); }
};

TEST_P(KanzoScreenshotTest, EveryPageSpeaksTheStoredLanguage) {
    const tagLANGUAGECASE& c = GetParam();
    ForgetUser();
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L" Language", REG_DWORD, &c.language, sizeof(c.language));
    CKanzoProcess kanzo(Installation());
    ASSERT_TRUE(kanzo.Start(L"-EDIT"));
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = kanzo.FindMainWindow()) && IsOnScreen(main); }, WAIT_MS));
    // Where every screenshot of the README shows it.
    SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);

    const std::wstring folder = CKanzoProcess::ExecutableFolder() + L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    const wchar_t* pages[] = {L"menu", L"cmdsets", L"options", L"about"};
    for (int tab = 0; tab < 4; ++tab) {
        SendMessageW(main, PSM_SETCURSEL, static_cast<WPARAM>(tab), 0);
        HWND page = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            page = reinterpret_cast<HWND>(SendMessageW(main, PSM_GETCURRENTPAGEHWND, 0, 0));
            return page && IsWindowVisible(page);
        }, WAIT_MS));
        if (tab == 0) {
            EXPECT_EQ(WindowText(GetDlgItem(page, 1221)), c.autoselect);
        }
        // The page has drawn itself once its messages are handled.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(page, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        // Painting happens in its own process: asked for, then waited for.
        RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        const std::wstring path = folder + L"\\editor-" + pages[tab] + L"-" + c.tag + L".bmp";
        EXPECT_TRUE(SaveWindowBitmap(main, path)) << "cannot write " << path.size();
    }
    EXPECT_EQ(kanzo.QuitNow(), 4369);
}

INSTANTIATE_TEST_SUITE_P(Languages, KanzoScreenshotTest, ::testing::Values(
    tagLANGUAGECASE{0x0809, L"en", L"Autoselect"},
    tagLANGUAGECASE{0x0407, L"de", L"Auto-Auswahl"},
    tagLANGUAGECASE{0x0419, L"ru", L"\u0410\u0432\u0442\u043E\u0432\u044B\u0431\u043E\u0440"}));

}  // namespace
