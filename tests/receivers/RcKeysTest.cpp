#include "receivers/RcKeys.h"
#include "receivers/RcModels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

// Each table written as the remote's documentation lists it: code (hex) = key id.
struct tagTABLECASE {
    int nRcType;
    int nCount;
    const char* szPairs;
};

const tagTABLECASE kTables[] = {
    {0x0002, 52,
      "00=200, 01=201, 02=202, 03=203, 04=204, 05=205, 06=206, 07=207, 08=208, 09=209, 0A=140, 0B=160, "
      "0C=141, 0D=221, 0E=220, 0F=241, 10=240, 11=223, 12=210, 13=243, 14=242, 15=180, 16=181, 17=182, "
      "18=183, 19=186, 1A=187, 1B=161, 1C=264, 1D=265, 1E=263, 1F=260, 20=266, 21=267, 22=262, 23=261, "
      "24=280, 25=281, 26=282, 27=283, 28=200, 29=185, 2A=162, 2B=163, 2C=268, 2D=269, 40=266, 41=267, "
      "42=262, 43=261, 4C=268, 4D=269"},
    {0x0008, 28,
      "01=143, 02=223, 03=242, 04=140, 05=201, 06=202, 07=203, 08=221, 09=204, 0A=205, 0B=206, 0C=220, "
      "0D=207, 0E=208, 0F=209, 10=241, 11=200, 12=160, 13=144, 14=240, 16=262, 18=263, 19=266, 1A=260, "
      "1B=267, 1C=185, 1E=261, 40=141"},
    {0x0010, 37,
      "01=140, 02=201, 03=202, 04=203, 05=204, 06=205, 07=206, 08=207, 09=208, 0A=209, 0B=223, 0C=200, "
      "0D=185, 0E=160, 0F=162, 10=180, 11=182, 12=184, 13=183, 14=181, 15=161, 16=163, 17=320, 18=321, "
      "19=322, 1A=323, 1B=221, 1C=241, 1D=242, 1E=240, 1F=220, 40=262, 48=261, 4C=260, 54=268, 58=263, "
      "5C=269"},
    {0x0040, 48,
      "01=140, 02=201, 03=202, 04=203, 05=204, 06=205, 07=206, 08=207, 09=208, 0A=209, 0B=223, 0C=200, "
      "0D=222, 0F=162, 10=180, 11=182, 12=184, 13=183, 14=181, 16=163, 17=320, 18=321, 19=322, 1A=324, "
      "1B=221, 1C=241, 1D=242, 1E=240, 1F=220, 40=262, 41=160, 42=301, 43=302, 44=161, 45=188, 46=303, "
      "47=304, 48=261, 49=305, 4A=306, 4B=307, 4C=260, 4D=185, 4E=264, 4F=265, 54=266, 58=263, 5C=267"},
    {0x0080, 48,
      "01=160, 02=301, 03=201, 04=202, 05=203, 06=302, 07=204, 08=205, 09=206, 0A=161, 0B=207, 0C=208, "
      "0D=209, 0E=188, 0F=223, 10=200, 11=222, 12=303, 13=304, 14=305, 15=306, 16=307, 17=180, 18=182, "
      "19=184, 1A=183, 1B=181, 1C=162, 1D=163, 1E=185, 1F=241, 20=260, 21=221, 22=240, 23=242, 24=220, "
      "25=320, 26=321, 27=322, 28=324, 29=263, 2A=261, 2B=262, 2C=266, 2D=264, 2E=265, 2F=267, 50=140"},
    {0x0400, 37,
      "01=140, 02=201, 03=202, 04=203, 05=204, 06=205, 07=206, 08=207, 09=208, 0A=209, 0B=161, 0C=200, "
      "0D=222, 0E=160, 0F=162, 10=180, 11=182, 12=184, 13=183, 14=181, 15=185, 16=163, 17=320, 18=321, "
      "19=322, 1A=323, 1B=221, 1C=241, 1D=242, 1E=240, 1F=220, 40=263, 48=261, 4C=260, 54=266, 58=262, "
      "5C=267"},
    {0x0800, 34,
      "01=140, 02=242, 03=201, 04=202, 05=203, 06=204, 07=205, 08=206, 09=207, 0A=208, 0B=209, 0C=185, "
      "0D=200, 0E=160, 0F=280, 10=180, 11=281, 12=240, 13=184, 14=241, 15=282, 16=181, 17=283, 18=266, "
      "19=260, 1A=267, 1B=264, 1C=222, 1D=265, 1E=261, 1F=161, 40=263, 41=141, 42=160"},
    {0x1000, 28,
      "00=200, 01=201, 02=202, 03=203, 04=204, 05=205, 06=206, 07=207, 08=208, 09=209, 0A=242, 0B=261, "
      "0C=140, 0D=184, 0E=260, 0F=141, 10=183, 11=182, 12=221, 13=220, 1E=160, 1F=263, 20=180, 21=181, "
      "29=185, 2B=241, 2C=240, 38=162"},
    {0x2000, 28,
      "00=201, 01=202, 02=203, 03=204, 04=205, 05=206, 06=207, 07=208, 08=209, 09=200, 0A=242, 0B=141, "
      "0E=240, 0F=260, 10=183, 11=182, 12=180, 13=181, 15=184, 16=261, 17=160, 18=221, 19=263, 1A=220, "
      "1C=185, 1F=241, 44=162, 45=140"},
};

std::map<int, int> ParsePairs(const char* text) {
    std::map<int, int> pairs;
    unsigned code = 0;
    int keyId = 0;
    int used = 0;
    while (std::sscanf(text, " %x=%d%n", &code, &keyId, &used) == 2) {
        pairs[static_cast<int>(code)] = keyId;
        text += used;
        if (*text == ',')
            ++text;
    }
    return pairs;
}

class KeyCodeTable : public ::testing::TestWithParam<tagTABLECASE> {};

TEST_P(KeyCodeTable, MapsExactlyTheListedCodes) {
    const tagTABLECASE& table = GetParam();
    const std::map<int, int> expected = ParsePairs(table.szPairs);
    ASSERT_EQ(static_cast<int>(expected.size()), table.nCount);

    for (int code = 0; code < 256; ++code) {
        int keyId = 12345;
        const bool mapped = MapKeyCodeToKeyId(table.nRcType, static_cast<std::uint8_t>(code), &keyId);
        const auto it = expected.find(code);
        if (it != expected.end()) {
            EXPECT_TRUE(mapped) << "code 0x" << std::hex << code;
            EXPECT_EQ(keyId, it->second) << "code 0x" << std::hex << code;
        } else {
            EXPECT_FALSE(mapped) << "code 0x" << std::hex << code;
            EXPECT_EQ(keyId, KEYID_NONE) << "code 0x" << std::hex << code;
        }
    }
}

TEST_P(KeyCodeTable, EveryMappedKeyHasAName) {
    for (const auto& pair : ParsePairs(GetParam().szPairs))
        EXPECT_STRNE(GetEnglishKeyName(pair.second), L"") << "key id " << pair.second;
}

INSTANTIATE_TEST_SUITE_P(AllTypes, KeyCodeTable, ::testing::ValuesIn(kTables),
                         [](const ::testing::TestParamInfo<tagTABLECASE>& info) {
                             char name[16];
                             std::snprintf(name, sizeof name, "Type%04X", static_cast<unsigned>(info.param.nRcType));
                             return std::string(name);
                         });

TEST(MapKeyCodeToKeyId, MidiCodeIsTheNote) {
    for (int code = 0; code <= KEYID_MIDI_LAST; ++code) {
        int keyId = KEYID_NONE;
        EXPECT_TRUE(MapKeyCodeToKeyId(RCTYPE_MIDI, static_cast<std::uint8_t>(code), &keyId));
        EXPECT_EQ(keyId, code);
    }
}

TEST(MapKeyCodeToKeyId, MidiValueAboveSevenBitsFails) {
    // Would otherwise alias remote keys such as 200 (Programme 0).
    int keyId = 0;
    EXPECT_FALSE(MapKeyCodeToKeyId(RCTYPE_MIDI, 200, &keyId));
    EXPECT_EQ(keyId, KEYID_NONE);
}

TEST(MapKeyCodeToKeyId, NoTypeSucceedsWithoutKey) {
    int keyId = 0;
    EXPECT_TRUE(MapKeyCodeToKeyId(RCTYPE_NONE, 0x0A, &keyId));
    EXPECT_EQ(keyId, KEYID_NONE);
}

TEST(MapKeyCodeToKeyId, UnknownTypesFail) {
    for (int rcType : {0x0004, 0x0020, 0x0100, 0x0200, 0x4000, 0x0003, -1}) {
        int keyId = 0;
        EXPECT_FALSE(MapKeyCodeToKeyId(rcType, 0x01, &keyId)) << rcType;
        EXPECT_EQ(keyId, KEYID_NONE) << rcType;
    }
}

TEST(MapKeyCodeToKeyId, NullOutputFails) {
    EXPECT_FALSE(MapKeyCodeToKeyId(RCTYPE_NEC_866B, 0x0A, nullptr));
    EXPECT_FALSE(MapKeyCodeToKeyId(RCTYPE_NONE, 0x0A, nullptr));
    EXPECT_FALSE(MapKeyCodeToKeyId(RCTYPE_MIDI, 0x0A, nullptr));
}

TEST(DoubleFunctionKeys, ResolveToTapAndHold) {
    struct {
        int keyId, first, second;
    } const keys[] = {
        {268, 266, 264},
        {269, 267, 265},
        {244, 182, 240},
        {245, 183, 241},
    };
    for (const auto& key : keys) {
        EXPECT_TRUE(IsDoubleFunctionKey(key.keyId));
        EXPECT_EQ(GetFirstFunctionKey(key.keyId), key.first);
        EXPECT_EQ(GetSecondFunctionKey(key.keyId), key.second);
    }
}

TEST(DoubleFunctionKeys, OtherIdsAreNone) {
    for (int keyId = -1; keyId <= KEYID_COUNT; ++keyId) {
        if (keyId == 244 || keyId == 245 || keyId == 268 || keyId == 269)
            continue;
        EXPECT_FALSE(IsDoubleFunctionKey(keyId)) << keyId;
        EXPECT_EQ(GetFirstFunctionKey(keyId), KEYID_NONE) << keyId;
        EXPECT_EQ(GetSecondFunctionKey(keyId), KEYID_NONE) << keyId;
    }
}

TEST(EnglishKeyName, MidiNotesCarryOctave) {
    EXPECT_STREQ(GetEnglishKeyName(0), L"C0");
    EXPECT_STREQ(GetEnglishKeyName(1), L"C#0");
    EXPECT_STREQ(GetEnglishKeyName(11), L"B0");
    EXPECT_STREQ(GetEnglishKeyName(12), L"C1");
    EXPECT_STREQ(GetEnglishKeyName(69), L"A5");
    EXPECT_STREQ(GetEnglishKeyName(118), L"A#9");
    EXPECT_STREQ(GetEnglishKeyName(120), L"C10");
    EXPECT_STREQ(GetEnglishKeyName(127), L"G10");
}

TEST(EnglishKeyName, RemoteKeys) {
    EXPECT_STREQ(GetEnglishKeyName(KEYID_POWER), L"Power");
    EXPECT_STREQ(GetEnglishKeyName(KEYID_OK), L"OK");
    EXPECT_STREQ(GetEnglishKeyName(KEYID_OK2), L"OK");
    EXPECT_STREQ(GetEnglishKeyName(KEYID_PROG_0), L"Programme 0");
    EXPECT_STREQ(GetEnglishKeyName(KEYID_PROG_9), L"Programme 9");
    EXPECT_STREQ(GetEnglishKeyName(KEYID_DIGITS), L"-/--");
    EXPECT_STREQ(GetEnglishKeyName(KEYID_PROG_PLUS), L"Programme +");
    EXPECT_STREQ(GetEnglishKeyName(KEYID_VOLUME_MINUS), L"Volume -");
    EXPECT_STREQ(GetEnglishKeyName(KEYID_PREVIOUS_FREW), L"Previous/FREW");
    EXPECT_STREQ(GetEnglishKeyName(KEYID_BLUE_ANGLE), L"Blue/Angle");
}

TEST(EnglishKeyName, NonKeysAreEmpty) {
    for (int keyId : {-1, 128, 139, 145, 211, 300, 309, 319, int{KEYID_COUNT}, 100000})
        EXPECT_STREQ(GetEnglishKeyName(keyId), L"") << keyId;
}

TEST(EnglishKeyName, SixtySixRemoteKeysAreNamed) {
    std::set<int> named;
    for (int keyId = KEYID_MIDI_LAST + 1; keyId < KEYID_COUNT; ++keyId) {
        if (*GetEnglishKeyName(keyId))
            named.insert(keyId);
    }
    EXPECT_EQ(named.size(), 66u);
}

TEST(RcModels, OrderAndTypes) {
    const int expectedTypes[RC_MODEL_COUNT] = {
        0x0040, 0x0800, 0x0002, 0x0002, 0x0008, 0x0008, 0x0010, 0x0002, 0x0010, 0x0010, 0x0002, 0x0010, 0x0080,
        0x1000, 0x0010, 0x2000, 0x0400, 0x0400, 0x0400, 0x0400, 0x0400, 0x0400, 0x0400, 0x0080, 0x0001,
    };
    std::set<std::wstring> names;
    for (int row = 0; row < RC_MODEL_COUNT; ++row) {
        const tagRCMODEL* model = GetRcModel(row);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model, &GetRcModels()[row]);
        EXPECT_EQ(model->nRcType, expectedTypes[row]) << "row " << row;
        // Every model's type must have a code table (or be MIDI).
        int keyId = KEYID_NONE;
        bool anyKey = false;
        for (int code = 0; code < 256 && !anyKey; ++code)
            anyKey = MapKeyCodeToKeyId(model->nRcType, static_cast<std::uint8_t>(code), &keyId);
        EXPECT_TRUE(anyKey) << "row " << row;
        // The editor saves a model by name, so names must be unique.
        EXPECT_TRUE(names.insert(model->szName).second) << "row " << row;
    }
    EXPECT_EQ(GetRcModel(-1), nullptr);
    EXPECT_EQ(GetRcModel(RC_MODEL_COUNT), nullptr);
}

TEST(RcModels, FixedNames) {
    EXPECT_STREQ(GetRcModel(0)->szName, L" - ALL OTHERS -");
    EXPECT_STREQ(GetRcModel(13)->szName, L"Device model 08");
    EXPECT_STREQ(GetRcModel(15)->szName, L"Device model 10");
    EXPECT_STREQ(GetRcModel(16)->szName, L"DEVICE MODEL 17");
    EXPECT_STREQ(GetRcModel(19)->szName, L"DEVICE MODEL 18");
    EXPECT_STREQ(GetRcModel(21)->szName, L"DEVICE MODEL 19");
    EXPECT_STREQ(GetRcModel(22)->szName, L"DEVICE MODEL 20");
    EXPECT_STREQ(GetRcModel(24)->szName, L"MIDI in");
}

}  // namespace
