// The XML layer on the system's DOM: plain and encrypted files, attributes,
// re-encryption with its backup.

#include "support/BlowFish.h"
#include "support/QVXml.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

class XmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_dir = std::wstring(temp) + L"kanzo_xml_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++s_counter) + L"\\";
        CreateDirectoryW(m_dir.c_str(), nullptr);
    }
    void TearDown() override {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((m_dir + L"*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring file = m_dir + data.cFileName;
                SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(file.c_str());
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        RemoveDirectoryW(m_dir.c_str());
        CoUninitialize();
    }
    std::wstring Path(const wchar_t* name) const { return m_dir + name; }
    static void Write(const std::wstring& path, const std::string& bytes) {
        FILE* file = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(nullptr, file);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    static std::string Read(const std::wstring& path) {
        std::string bytes;
        FILE* file = _wfopen(path.c_str(), L"rb");
        if (!file)
            return bytes;
        for (int c; (c = std::fgetc(file)) != EOF;)
            bytes += static_cast<char>(c);
        std::fclose(file);
        return bytes;
    }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    CQVXml m_xml;
    std::wstring m_dir;
    static int s_counter;
};
int XmlTest::s_counter = 0;

const char kTable[] = "<HidSourceTable><HidSource Name=\"Sim\" Vid=\"0x2B17\" Pid=\"70\" Timeout=\"\"/></HidSourceTable>";

TEST_F(XmlTest, PlainFileOpensOnlyWithItsRoot) {
    Write(Path(L"plain.xml"), kTable);
    EXPECT_TRUE(m_xml.OpenXmlFile(Path(L"plain.xml").c_str(), nullptr, 0, L"HidSourceTable"));
    EXPECT_TRUE(m_xml.OpenXmlFile(Path(L"plain.xml").c_str(), nullptr, 0, L"\"HidSourceTable\""));
    EXPECT_FALSE(m_xml.OpenXmlFile(Path(L"plain.xml").c_str(), nullptr, 0, L"OtherTable"));
    EXPECT_FALSE(m_xml.OpenXmlFile(Path(L"missing.xml").c_str(), nullptr, 0, nullptr));
    Write(Path(L"broken.xml"), "<HidSourceTable><HidSource");
    EXPECT_FALSE(m_xml.OpenXmlFile(Path(L"broken.xml").c_str(), nullptr, 0, nullptr));
}

TEST_F(XmlTest, AttributesReadAndWriteByTheirRules) {
    Write(Path(L"plain.xml"), kTable);
    CQVXmlDocument doc = m_xml.OpenXmlFile(Path(L"plain.xml").c_str(), nullptr, 0, L"HidSourceTable");
    ASSERT_TRUE(doc);
    CQVXmlElement source = m_xml.SelectElement(doc.Get(), L"HidSourceTable/HidSource");
    ASSERT_TRUE(source);
    EXPECT_EQ(0x2B17, m_xml.GetPropInt(source.Get(), L"Vid", 0));
    EXPECT_EQ(70, m_xml.GetPropInt(source.Get(), L"Pid", 0));
    EXPECT_EQ(5, m_xml.GetPropInt(source.Get(), L"Missing", 5));
    EXPECT_EQ(6, m_xml.GetPropInt(source.Get(), L"Timeout", 6));  // empty
    wchar_t text[8] = {};
    EXPECT_FALSE(m_xml.GetPropString(source.Get(), L"Timeout", text, 8));
    EXPECT_TRUE(m_xml.GetPropString(source.Get(), L"Timeout", text, 8, L"dflt"));
    EXPECT_STREQ(L"dflt", text);
    EXPECT_TRUE(m_xml.GetPropString(source.Get(), L"Vid", text, 4));
    EXPECT_STREQ(L"0x2", text);  // bounded by the buffer

    // A name with a blank is refused by every property operation.
    EXPECT_FALSE(m_xml.GetPropString(source.Get(), L"V id", text, 8, L"dflt"));
    EXPECT_EQ(9, m_xml.GetPropInt(source.Get(), L"V id", 9));
    EXPECT_EQ(0, m_xml.SetPropString(source.Get(), L"V id", L"1"));
    EXPECT_FALSE(m_xml.SetPropInt(source.Get(), L"V id", 1));
    EXPECT_FALSE(m_xml.SetPropUInt64(source.Get(), L"V id", 1));
    EXPECT_FALSE(m_xml.SelectElementStrict(doc.Get(), L"HidSourceTable /HidSource"));

    EXPECT_EQ(1, m_xml.SetPropString(source.Get(), L"Name", L"Tab\there"));
    EXPECT_TRUE(m_xml.SetPropInt(source.Get(), L"RcType", -3));
    EXPECT_TRUE(m_xml.SetPropUInt64(source.Get(), L"Serial", 18446744073709551615ULL));
    int indented = 0;
    EXPECT_EQ(1, m_xml.AppendIndent(doc.Get(), &indented));
    EXPECT_EQ(0, m_xml.AppendIndent(doc.Get(), &indented));
    ASSERT_EQ(1, m_xml.SaveXmlFile(doc.Get(), Path(L"saved.xml").c_str(), nullptr, 0));

    CQVXmlDocument again = m_xml.OpenXmlFile(Path(L"saved.xml").c_str(), nullptr, 0, L"HidSourceTable");
    ASSERT_TRUE(again);
    CQVXmlElement saved = m_xml.SelectElement(again.Get(), L"HidSourceTable/HidSource");
    ASSERT_TRUE(saved);
    wchar_t name[32] = {};
    ASSERT_TRUE(m_xml.GetPropString(saved.Get(), L"Name", name, 32));
    EXPECT_STREQ(L"Tab here", name);
    EXPECT_EQ(-3, m_xml.GetPropInt(saved.Get(), L"RcType", 0));
    EXPECT_EQ(-1, m_xml.GetPropInt64(saved.Get(), L"Serial", -1));  // beyond the signed range
}

TEST_F(XmlTest, EncryptedFilesRoundTripAndRefuseWrongKeysAndDamageUntouched) {
    Write(Path(L"plain.xml"), kTable);
    CQVXmlDocument doc = m_xml.OpenXmlFile(Path(L"plain.xml").c_str(), nullptr, 0, nullptr);
    ASSERT_TRUE(doc);
    CQVBstr xml;
    ASSERT_TRUE(SUCCEEDED(doc->get_xml(xml.Put())));
    const std::wstring enc = Path(L"table.xml.enc");
    ASSERT_EQ(1, m_xml.SaveXmlFile(doc.Get(), enc.c_str(), nullptr, 1));
    const std::string bytes = Read(enc);
    EXPECT_EQ((SysStringLen(xml.Get()) + 1 + 7) / 8 * 8, bytes.size());
    EXPECT_EQ(std::string::npos, bytes.find("HidSource"));

    EXPECT_TRUE(m_xml.OpenXmlFile(enc.c_str(), nullptr, 1, L"HidSourceTable"));
    EXPECT_TRUE(m_xml.OpenXmlFile(enc.c_str(), kBlowFishDefaultKey, 1, L"HidSourceTable"));
    EXPECT_FALSE(m_xml.OpenXmlFile(enc.c_str(), L"wrong key", 1, nullptr));
    EXPECT_FALSE(m_xml.OpenXmlFile(Path(L"plain.xml").c_str(), nullptr, 1, nullptr));

    const std::wstring cut = Path(L"cut.xml.enc");
    Write(cut, bytes.substr(0, bytes.size() - 5));
    EXPECT_FALSE(m_xml.OpenXmlFile(cut.c_str(), nullptr, 1, nullptr));
    EXPECT_EQ(bytes.substr(0, bytes.size() - 5), Read(cut));

    // Another key: only that key opens it.
    ASSERT_EQ(1, m_xml.SaveXmlFile(doc.Get(), enc.c_str(), L"another key", 1));
    EXPECT_FALSE(m_xml.OpenXmlFile(enc.c_str(), nullptr, 1, nullptr));
    EXPECT_TRUE(m_xml.OpenXmlFile(enc.c_str(), L"another key", 1, L"HidSourceTable"));
}

TEST_F(XmlTest, ReencryptionTakesTheFirstFreeBackupNameAndRemovesIt) {
    const std::wstring file = Path(L"table.xml");
    Write(file, kTable);
    Write(file + L".bak001", "older backup");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(1, m_xml.ReencryptXmlFile(file.c_str(), 0, 0));
    EXPECT_EQ("older backup", Read(file + L".bak001"));
    EXPECT_FALSE(Exists(file + L".bak002"));
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(m_xml.OpenXmlFile(file.c_str(), nullptr, 1, L"HidSourceTable"));

    // A source that does not open changes nothing.
    Write(Path(L"broken.xml"), "<a");
    EXPECT_EQ(0, m_xml.ReencryptXmlFile(Path(L"broken.xml").c_str(), 0, 0));
    EXPECT_EQ("<a", Read(Path(L"broken.xml")));
}

TEST_F(XmlTest, CreateXmlFileWritesUnicodeWithByteOrderMarkOrAnsi) {
    ASSERT_EQ(1, CreateXmlFile(Path(L"u.xml").c_str(), L"<a/>", 1, 1));
    EXPECT_EQ(std::string("\xFF\xFE<\0a\0/\0>\0", 10), Read(Path(L"u.xml")));
    ASSERT_EQ(1, CreateXmlFile(Path(L"u.xml").c_str(), L"<b/>", 1, 0));
    EXPECT_EQ("<b/>", Read(Path(L"u.xml")));
    EXPECT_EQ(0, CreateXmlFile(Path(L"e.xml").c_str(), L"", 1, 0));
    EXPECT_FALSE(Exists(Path(L"e.xml")));
}

}  // namespace
