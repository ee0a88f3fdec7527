// The text rules of the XML layer.

#include "support/QVXmlValue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct tagINTCASE {
    const wchar_t* text;
    std::int32_t value;
};

class XmlInt : public ::testing::TestWithParam<tagINTCASE> {};

TEST_P(XmlInt, ParsesHexadecimalFirstThenDecimal) { EXPECT_EQ(GetParam().value, ParseXmlInt(GetParam().text)); }

INSTANTIATE_TEST_SUITE_P(
    Texts, XmlInt,
    ::testing::Values(tagINTCASE{L"0x1F", 31}, tagINTCASE{L"31", 31}, tagINTCASE{L"0xFFCC", 0xFFCC},
                      tagINTCASE{L"0x0000002B17", 0x2B17}, tagINTCASE{L"-12", -12}, tagINTCASE{L"  +7", 7},
                      tagINTCASE{L"90ms", 90}, tagINTCASE{L"0x", 0}, tagINTCASE{L"0X1F", 0},
                      tagINTCASE{L"0xFFFFFFFF", -1}, tagINTCASE{L"0x80000000", INT32_MIN},
                      tagINTCASE{L"0x100000000", -1}, tagINTCASE{L"2147483647", INT32_MAX},
                      tagINTCASE{L"2147483648", -1}, tagINTCASE{L"-2147483648", INT32_MIN},
                      tagINTCASE{L"-2147483649", -1}, tagINTCASE{L"", -1}, tagINTCASE{L"abc", -1},
                      tagINTCASE{L"-", -1}, tagINTCASE{nullptr, -1}));

TEST(XmlValue, Int64IsDecimalWithinItsRange) {
    EXPECT_EQ(9223372036854775807LL, ParseXmlInt64(L"9223372036854775807"));
    EXPECT_EQ(-1, ParseXmlInt64(L"9223372036854775808"));
    EXPECT_EQ(-42, ParseXmlInt64(L" -42"));
    EXPECT_EQ(-1, ParseXmlInt64(L"x"));
}

TEST(XmlValue, NamesValuesAndPaths) {
    EXPECT_TRUE(IsValidXmlName(L"HidType"));
    EXPECT_FALSE(IsValidXmlName(L"Hid Type"));
    EXPECT_FALSE(IsValidXmlName(L""));
    EXPECT_FALSE(IsValidXmlName(nullptr));

    std::wstring value = L"a\tb\r\nc";
    EXPECT_TRUE(CleanXmlValue(value));
    EXPECT_EQ(L"a b  c", value);
    EXPECT_FALSE(CleanXmlValue(value));

    EXPECT_EQ(L"HidSourceTable/HidSource[@Name='x']", StripXmlQuotes(L"\"HidSourceTable\"/HidSource[@Name='x']", 511));
    EXPECT_EQ(L"abc", StripXmlQuotes(L"a\"bcdef", 3));
}

TEST(XmlValue, ProductKeyIsTheBase24NumberOfItsFifteenBytes) {
    std::vector<std::uint8_t> id(164, 0);
    EXPECT_EQ(L"BBBBB-BBBBB-BBBBB-BBBBB-BBBBB", DecodeProductKey(id.data(), id.size()));
    id[52] = 25;  // 1 * 24 + 1
    EXPECT_EQ(L"BBBBB-BBBBB-BBBBB-BBBBB-BBBCC", DecodeProductKey(id.data(), id.size()));
    EXPECT_EQ(L"", DecodeProductKey(id.data(), 66));
}

}  // namespace
