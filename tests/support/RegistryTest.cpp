// CQVRegistry and CQVRegistry_SetAndRestore on the real (Wine) registry, in a
// key of their own under HKEY_CURRENT_USER that goes away after each test.

#include "support/QVRegKey.h"
#include "support/QVRegistry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        std::swprintf(m_path, 128, L"Software\\KanzoTest\\Registry_%lu_%hs", GetCurrentProcessId(),
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path);
        ASSERT_TRUE(m_registry.SetKey(m_path, HKEY_CURRENT_USER));
        ASSERT_TRUE(m_registry.SetDword(1, nullptr, L"created"));
        ASSERT_TRUE(m_registry.DeleteValue(L"created"));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, m_path); }

    // Stores a value exactly as given, as another program might.
    void Raw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        CQVRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, m_path, 0, KEY_SET_VALUE, key.Put()));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), bytes));
    }
    DWORD RawType(const wchar_t* name) {
        CQVRegKey key;
        DWORD type = 0;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, m_path, 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS ||
            RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
            return REG_NONE;
        return type;
    }

    wchar_t m_path[128] = {};
    CQVRegistry m_registry;
};

TEST_F(Registry, DefaultKeyIsTheProgramsOwn) {
    CQVRegistry registry;
    EXPECT_EQ(HKEY_CURRENT_USER, registry.GetRoot());
    EXPECT_STREQ(L"Software\\Vemtra Electronic GmbH\\test_support_registry", registry.GetPath());
}

TEST_F(Registry, DwordAndTextRoundTrip) {
    EXPECT_TRUE(m_registry.SetDword(0xDEADBEEF, nullptr, L"number"));
    DWORD value = 0;
    EXPECT_TRUE(m_registry.GetDword(L"number", &value));
    EXPECT_EQ(0xDEADBEEFu, value);
    EXPECT_TRUE(m_registry.SetStringValue(L"text", L"Gr\x00FC\x00DF \x0420\x0443\x0441", L"Sub\\Deeper"));
    wchar_t buffer[16] = {};
    EXPECT_TRUE(m_registry.GetStringValue(L"text", buffer, 16, L"Sub\\Deeper"));
    EXPECT_STREQ(L"Gr\x00FC\x00DF \x0420\x0443\x0441", buffer);
    EXPECT_TRUE(m_registry.GetDword(L"number", &value, nullptr, TRUE));  // the 64-bit view is the native one here
}

TEST_F(Registry, MissingValueLeavesBufferUnchanged) {
    wchar_t buffer[8] = L"keep";
    EXPECT_FALSE(m_registry.GetStringValue(L"missing", buffer, 8));
    EXPECT_STREQ(L"keep", buffer);
    EXPECT_FALSE(m_registry.GetStringValue(L"missing", buffer, 8, L"NoSuchKey"));
    EXPECT_STREQ(L"keep", buffer);
    DWORD value = 42;
    EXPECT_FALSE(m_registry.GetDwordOrDefault(L"missing", &value));
    EXPECT_EQ(42u, value);
}

TEST_F(Registry, TextTooLongForTheBufferFailsAndLeavesIt) {
    ASSERT_TRUE(m_registry.SetStringValue(L"long", L"abcdefgh"));
    wchar_t buffer[8] = L"keep";
    EXPECT_FALSE(m_registry.GetStringValue(L"long", buffer, 8));  // 8 characters need 9 units
    EXPECT_STREQ(L"keep", buffer);
    wchar_t exact[9] = {};
    EXPECT_TRUE(m_registry.GetStringValue(L"long", exact, 9));
    EXPECT_STREQ(L"abcdefgh", exact);
}

TEST_F(Registry, TextStoredWithoutTerminatorIsTerminated) {
    Raw(L"bare", REG_SZ, L"abcd", 8);
    wchar_t buffer[5];
    std::wmemset(buffer, L'#', 5);
    EXPECT_TRUE(m_registry.GetStringValue(L"bare", buffer, 5));
    EXPECT_STREQ(L"abcd", buffer);
    wchar_t small[4] = L"old";
    EXPECT_FALSE(m_registry.GetStringValue(L"bare", small, 4));
    EXPECT_STREQ(L"old", small);
}

TEST_F(Registry, DwordReadAsTextFails) {
    ASSERT_TRUE(m_registry.SetDword(0x00410041, nullptr, L"number"));  // "AA" if taken as text
    wchar_t buffer[8] = L"keep";
    EXPECT_FALSE(m_registry.GetStringValue(L"number", buffer, 8));
    EXPECT_STREQ(L"keep", buffer);
    wchar_t tiny[2] = L"k";
    EXPECT_FALSE(m_registry.GetStringValue(L"number", tiny, 2));
    EXPECT_STREQ(L"k", tiny);
}

TEST_F(Registry, TextReadAsDwordFails) {
    ASSERT_TRUE(m_registry.SetStringValue(L"one", L"1"));  // four bytes with its terminator
    ASSERT_TRUE(m_registry.SetStringValue(L"long", L"12345"));
    DWORD value = 7;
    EXPECT_FALSE(m_registry.GetDword(L"one", &value));
    EXPECT_FALSE(m_registry.GetDword(L"long", &value));
    EXPECT_EQ(7u, value);
    BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    Raw(L"wide", REG_BINARY, eight, 8);
    EXPECT_FALSE(m_registry.GetDword(L"wide", &value));
    Raw(L"four", REG_BINARY, eight, 4);
    EXPECT_TRUE(m_registry.GetDword(L"four", &value));
    EXPECT_EQ(0x04030201u, value);
}

TEST_F(Registry, BinaryReadsUpToTheGivenLength) {
    BYTE data[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(m_registry.SetBinary(data, L"blob", 6));
    BYTE buffer[8] = {};
    DWORD length = 4;
    EXPECT_TRUE(m_registry.GetBinary(L"blob", &length, buffer));
    EXPECT_EQ(4u, length);
    EXPECT_EQ(0, std::memcmp(buffer, data, 4));
    EXPECT_EQ(0, buffer[4]);
    length = 8;
    EXPECT_TRUE(m_registry.GetBinary(L"blob", &length, buffer));
    EXPECT_EQ(6u, length);
    length = 8;
    EXPECT_FALSE(m_registry.GetBinary(L"missing", &length, buffer));
}

TEST_F(Registry, CountsOnMissingAndEmptyKeys) {
    EXPECT_EQ(-1, m_registry.CountValues(L"NoSuchKey"));
    EXPECT_EQ(-1, m_registry.CountSubKeys(L"NoSuchKey"));
    EXPECT_EQ(0, m_registry.CountValues());
    EXPECT_EQ(0, m_registry.CountSubKeys());
    EXPECT_TRUE(m_registry.CreateSubKey(L"Child"));
    EXPECT_EQ(1, m_registry.CountSubKeys());
    EXPECT_FALSE(m_registry.CreateSubKey(L"Child", L"NoSuchKey"));  // the path must exist
}

TEST_F(Registry, DeleteAllValuesDeletesEveryOne) {
    m_registry.SetDword(1, nullptr, L"a");
    m_registry.SetStringValue(L"b", L"two");
    BYTE three = 3;
    m_registry.SetBinary(&three, L"c", 1);
    ASSERT_EQ(3, m_registry.CountValues());
    EXPECT_TRUE(m_registry.DeleteAllValues());
    EXPECT_EQ(0, m_registry.CountValues());
    EXPECT_FALSE(m_registry.DeleteAllValues(L"NoSuchKey"));
}

TEST_F(Registry, SetKeyRefusesOtherRoots) {
    CQVRegistry registry(m_path, HKEY_CURRENT_USER);
    CQVRegKey opened;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, m_path, 0, KEY_READ, opened.Put()));
    EXPECT_FALSE(registry.SetKey(L"Elsewhere", opened.Get()));
    EXPECT_FALSE(registry.SetKey(L"Elsewhere", nullptr));
    EXPECT_STREQ(m_path, registry.GetPath());
    EXPECT_EQ(HKEY_CURRENT_USER, registry.GetRoot());
    EXPECT_TRUE(registry.SetKey(L"Software", HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(registry.KeyExists());
}

TEST_F(Registry, ExistenceAndEnumeration) {
    EXPECT_TRUE(m_registry.KeyExists());
    EXPECT_FALSE(m_registry.KeyExists(L"NoSuchKey"));
    CQVRegistry empty(L"", HKEY_CURRENT_USER);
    EXPECT_TRUE(empty.KeyExists(m_path));  // an empty base path: the sub-key alone
    m_registry.SetDword(1, nullptr, L"first");
    m_registry.SetDword(2, nullptr, L"a rather long value name");
    m_registry.CreateSubKey(L"Alpha");
    // The order of values is the registry's; find the long name's index.
    wchar_t name[QVREG_VALUE_NAME_CHARS] = {};
    std::wstring names[2];
    for (DWORD index = 0; index < 2; ++index) {
        EXPECT_TRUE(m_registry.EnumValueName(nullptr, index, name));
        names[index] = name;
    }
    EXPECT_TRUE((names[0] == L"first" && names[1] == L"a rather long value name") ||
                (names[1] == L"first" && names[0] == L"a rather long value name"));
    EXPECT_FALSE(m_registry.EnumValueName(nullptr, 2, name));
    DWORD longIndex = names[0] == L"first" ? 1 : 0;
    wchar_t shortName[8] = L"keep";
    EXPECT_FALSE(m_registry.EnumValueName(nullptr, longIndex, shortName, 8));  // does not fit
    EXPECT_STREQ(L"keep", shortName);
    EXPECT_TRUE(m_registry.EnumSubKeyName(nullptr, 0, name, QVREG_VALUE_NAME_CHARS));
    EXPECT_STREQ(L"Alpha", name);
    EXPECT_FALSE(m_registry.EnumSubKeyName(nullptr, 1, name, QVREG_VALUE_NAME_CHARS));
}

TEST_F(Registry, DeleteKeyWithItsSubKeysOrOnlyWhenEmpty) {
    m_registry.SetDword(1, L"Tree\\Leaf", L"v");
    EXPECT_TRUE(m_registry.DeleteKey(L"Tree"));
    EXPECT_FALSE(m_registry.KeyExists(L"Tree"));
    EXPECT_FALSE(m_registry.DeleteKey(L""));  // never the path itself
    EXPECT_TRUE(m_registry.KeyExists());
}

TEST_F(Registry, CurrentUserFlagDeletesOnlyEmptyKeys) {
    // The flag comes only with the program's default key (SetKey clears it).
    CQVRegistry user(TRUE);
    ASSERT_TRUE(user.SetDword(5, L"Tree\\Leaf", L"v"));
    DWORD value = 0;
    EXPECT_TRUE(user.GetDword(L"v", &value, L"Tree\\Leaf"));
    EXPECT_EQ(5u, value);
    EXPECT_FALSE(user.DeleteKey(L"Tree"));
    EXPECT_TRUE(user.DeleteKey(L"Leaf", L"Tree"));
    EXPECT_TRUE(user.DeleteKey(L"Tree"));
    EXPECT_FALSE(user.KeyExists(L"Tree"));
    RegDeleteTreeW(HKEY_CURRENT_USER, user.GetPath());
}

TEST_F(Registry, SetAndRestoreDwordAndBinary) {
    m_registry.SetDword(10, nullptr, L"number");
    BYTE old[3] = {1, 2, 3};
    m_registry.SetBinary(old, L"blob", 3);
    {
        DWORD changed = 99;
        CQVRegistry_SetAndRestore number(L"number", m_path, HKEY_CURRENT_USER, 4, 4, &changed);
        BYTE replacement[2] = {9, 9};
        CQVRegistry_SetAndRestore blob(L"blob", m_path, HKEY_CURRENT_USER, 3, 2, replacement);
        EXPECT_TRUE(number.IsSaved());
        EXPECT_TRUE(blob.IsSaved());
        DWORD value = 0;
        m_registry.GetDword(L"number", &value);
        EXPECT_EQ(99u, value);
    }
    DWORD value = 0;
    EXPECT_TRUE(m_registry.GetDword(L"number", &value));
    EXPECT_EQ(10u, value);
    BYTE buffer[8] = {};
    DWORD length = 8;
    EXPECT_TRUE(m_registry.GetBinary(L"blob", &length, buffer));
    EXPECT_EQ(3u, length);  // the whole old value, not the changed size
    EXPECT_EQ(0, std::memcmp(buffer, old, 3));
}

TEST_F(Registry, SetAndRestoreOfMissingValueChangesNothing) {
    {
        DWORD changed = 99;
        CQVRegistry_SetAndRestore restore(L"absent", m_path, HKEY_CURRENT_USER, 4, 4, &changed);
        EXPECT_FALSE(restore.IsSaved());
        EXPECT_EQ(static_cast<DWORD>(REG_NONE), RawType(L"absent"));
    }
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), RawType(L"absent"));
    EXPECT_EQ(0, m_registry.CountValues());
}

TEST_F(Registry, SetAndRestoreKeepsTheStoredType) {
    // A text under a name that is meant to hold a number: not touched at all.
    m_registry.SetStringValue(L"text", L"x");
    DWORD changed = 1;
    {
        CQVRegistry_SetAndRestore restore(L"text", m_path, HKEY_CURRENT_USER, 4, 4, &changed);
        EXPECT_FALSE(restore.IsSaved());
    }
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), RawType(L"text"));
    // A binary change of a text value gives the text back as a text.
    {
        BYTE replacement[2] = {0, 0};
        CQVRegistry_SetAndRestore restore(L"text", m_path, HKEY_CURRENT_USER, 3, 2, replacement);
        EXPECT_TRUE(restore.IsSaved());
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), RawType(L"text"));
    }
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), RawType(L"text"));
    wchar_t buffer[4] = {};
    EXPECT_TRUE(m_registry.GetStringValue(L"text", buffer, 4));
    EXPECT_STREQ(L"x", buffer);
}

}  // namespace
