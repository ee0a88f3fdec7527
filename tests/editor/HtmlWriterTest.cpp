// The overview under Wine: the page and the style sheet in a temporary data
// folder, a real set of the shipped preset file, a fake shell.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/cmdsets/CmdSetFiles.h"
#include "HtmlCheck.h"
#include "editor/HtmlWriter.h"
#include "receivers/RcKeys.h"

namespace {

struct tagSHELLCALL {
    std::wstring file;
    std::wstring folder;
    int showCommand;
};

std::wstring FromUtf8(const std::string& bytes) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                             static_cast<int>(bytes.size()), &text[0],
                                                             static_cast<int>(text.size()))));
    return text;
}

class HtmlWriterTest : public CmdSetFilesTest {
protected:
    void SetUp() override {
        CmdSetFilesTest::SetUp();
        m_data = m_dir + L"\\data";
        m_program = m_dir + L"\\program";
        ASSERT_TRUE(CreateDirectoryW(m_data.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(m_program.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(KANZO_RESOURCES_DIR L"\\Kanzo.css", (m_program + L"\\Kanzo.css").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(KANZO_RESOURCES_DIR L"\\Kanzo.ini", Paths().presetFile.c_str(), FALSE));
    }

    tagHTMLWRITER_SETUP Setup(const std::wstring& data) {
        tagHTMLWRITER_SETUP setup;
        setup.dataFolder = data;
        setup.programFolder = m_program;
        setup.open = [this](const std::wstring& file, const std::wstring& folder, int show) {
            m_calls.push_back({file, folder, show});
            return true;
        };
        setup.localize.wUiLanguage = 0x0809;
        setup.localize.hClassesRoot = nullptr;
        return setup;
    }

    std::wstring m_data;
    std::wstring m_program;
    std::vector<tagSHELLCALL> m_calls;
};

TEST_F(HtmlWriterTest, WritesAPresetSetAsUtf8PageBesideItsStyleSheet) {
    CCmdSetAdmin admin(Paths(), Sources());
    CHtmlWriter writer(Setup(m_data));
    EXPECT_EQ(m_data + L"\\Kanzo.htm", writer.GetPageFile());
    EXPECT_EQ(ReadText(m_program + L"\\Kanzo.css"), ReadText(m_data + L"\\Kanzo.css"));

    tagPRGINFO notepad;
    CKeymap notepadKeys;
    ASSERT_TRUE(admin.GetPrgInfo(L"Notepad", notepad, FALSE));
    admin.LoadKeymap(L"Notepad", notepadKeys, FALSE);
    ASSERT_TRUE(writer.WriteOverview(RCTYPE_NEC_866B, notepad, notepadKeys));

    tagPRGINFO vlc;
    CKeymap vlcKeys;
    ASSERT_TRUE(admin.GetPrgInfo(L"VLC media player", vlc, FALSE));
    admin.LoadKeymap(L"VLC media player", vlcKeys, FALSE);
    CopyFixedText(vlc.szDescription, PRGINFO_TEXT_LEN, L"Z\u00fcrich & <Co>");
    ASSERT_TRUE(writer.WriteOverview(RCTYPE_NEC_866B, vlc, vlcKeys));

    const std::string bytes = ReadText(writer.GetPageFile());
    EXPECT_NE(std::string::npos, bytes.find("Z\xC3\xBCrich &amp; &lt;Co&gt;")) << "UTF-8, escaped";
    const tagHTMLCHECK check = CheckHtml(FromUtf8(bytes));
    ASSERT_EQ(L"", check.error);
    // Only the second overview is in the file.
    EXPECT_EQ(std::vector<std::wstring>{L"VLC media player"}, TextsOf(check, L"h2"));
    const std::wstring body = TextsOf(check, L"body").at(0);
    EXPECT_EQ(std::wstring::npos, body.find(L"Notepad"));
    // Keys of the preset's section and of the defaults, with names, OSD texts and keystrokes.
    std::vector<std::wstring> cells = TextsOf(check, L"td");
    auto has = [&](const std::wstring& cell) { return std::find(cells.begin(), cells.end(), cell) != cells.end(); };
    EXPECT_TRUE(has(L"Full screenFull screenF")) << "key 141 of the preset";
    EXPECT_TRUE(has(L"PowerCloseWIN")) << "key 140 of the defaults";
    EXPECT_TRUE(has(L"FREWBack 10 sAlt+LEFT")) << "key 264 with a modifier";
    EXPECT_TRUE(has(L"RecordingRecordShift+R"));
    const std::vector<std::wstring> rows = TextsOf(check, L"tr");
    auto hasRow = [&](const std::wstring& row) { return std::find(rows.begin(), rows.end(), row) != rows.end(); };
    EXPECT_TRUE(hasRow(L"Window caption:VLC media player"));
    EXPECT_TRUE(hasRow(L"Remote control:Kanzo RC 866B"));

    // Kept for the rendered picture of the README (tools/render-html-overview).
    if (const char* keep = std::getenv("KANZO_HTML_OVERVIEW_OUT")) {
        std::wstring out(keep, keep + strlen(keep));
        CreateDirectoryW(out.c_str(), nullptr);
        CopyFileW(writer.GetPageFile().c_str(), (out + L"\\Kanzo.htm").c_str(), FALSE);
        CopyFileW((m_data + L"\\Kanzo.css").c_str(), (out + L"\\Kanzo.css").c_str(), FALSE);
    }
}

TEST_F(HtmlWriterTest, OpensThePageWithTheShellInTheDataFolder) {
    CHtmlWriter writer(Setup(m_data));
    EXPECT_TRUE(writer.OpenOverview(FALSE));
    EXPECT_TRUE(writer.OpenOverview(TRUE));
    ASSERT_EQ(2u, m_calls.size());
    EXPECT_EQ(m_data + L"\\Kanzo.htm", m_calls[0].file);
    EXPECT_EQ(m_data, m_calls[0].folder);
    EXPECT_EQ(SW_SHOWNORMAL, m_calls[0].showCommand);
    EXPECT_EQ(SW_SHOWMAXIMIZED, m_calls[1].showCommand);
}

TEST_F(HtmlWriterTest, FailuresLeaveTheFilesAndStillOpenThePage) {
    // No style sheet installed: the data folder's copy stays.
    ASSERT_TRUE(DeleteFileW((m_program + L"\\Kanzo.css").c_str()));
    WriteText(m_data + L"\\Kanzo.css", "/* older */");
    CHtmlWriter kept(Setup(m_data));
    EXPECT_EQ("/* older */", ReadText(m_data + L"\\Kanzo.css"));

    // A data folder that cannot be written: no page, the shell is still asked.
    const std::wstring missing = m_dir + L"\\missing\\deeper";
    CHtmlWriter writer(Setup(missing));
    tagPRGINFO info;
    CKeymap keymap;
    keymap.LoadDefaults();
    EXPECT_FALSE(writer.WriteOverview(RCTYPE_NEC_866B, info, keymap));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((missing + L"\\Kanzo.htm").c_str()));
    writer.OpenOverview(FALSE);
    ASSERT_EQ(1u, m_calls.size());
    EXPECT_EQ(missing + L"\\Kanzo.htm", m_calls[0].file);
}

}  // namespace
