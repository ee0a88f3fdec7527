// The cipher against the published Blowfish test vectors, and the layout
// rules of the encrypted XML files.

#include "support/BlowFish.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> FromHex(const char* hex) {
    std::vector<std::uint8_t> bytes;
    for (; hex[0] && hex[1]; hex += 2) {
        unsigned value = 0;
        std::sscanf(hex, "%2x", &value);
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

std::uint64_t Word64(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t value = 0;
    for (std::uint8_t b : bytes)
        value = (value << 8) | b;
    return value;
}

struct tagVECTOR {
    const char* key;
    const char* plain;
    const char* cipher;
};

// Eric Young's ECB vectors, and two of the variable-key-length ones.
const tagVECTOR kVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"F0", "FEDCBA9876543210", "F9AD597C49DB005E"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "FEDCBA9876543210", "05044B62FA52D080"},
};

class BlowFishVectors : public ::testing::TestWithParam<tagVECTOR> {};

TEST_P(BlowFishVectors, EncryptsAndDecryptsTheBlock) {
    const auto key = FromHex(GetParam().key);
    const std::uint64_t plain = Word64(FromHex(GetParam().plain));
    const std::uint64_t cipher = Word64(FromHex(GetParam().cipher));
    CBlowFish bf;
    bf.Initialize(key.data(), key.size());
    std::uint32_t l = static_cast<std::uint32_t>(plain >> 32), r = static_cast<std::uint32_t>(plain);
    bf.EncryptBlock(l, r);
    EXPECT_EQ(cipher, (std::uint64_t{l} << 32) | r);
    bf.DecryptBlock(l, r);
    EXPECT_EQ(plain, (std::uint64_t{l} << 32) | r);

    // Through the byte interface (first block of a chain, so CBC with a zero
    // value is plain ECB): the words are big-endian in memory.
    auto bytes = FromHex(GetParam().plain);
    bf.Initialize(key.data(), key.size());
    bf.Encode(bytes.data(), bytes.size());
    EXPECT_EQ(FromHex(GetParam().cipher), bytes);
}

INSTANTIATE_TEST_SUITE_P(Published, BlowFishVectors, ::testing::ValuesIn(kVectors));

TEST(BlowFish, CbcChainsEachBlockOnThePreviousCiphertext) {
    const auto key = FromHex("0123456789ABCDEFF0E1D2C3B4A59687");
    std::vector<std::uint8_t> data(24, 0x5A);
    auto encrypted = data;
    CBlowFish bf;
    bf.Initialize(key.data(), key.size());
    bf.Encode(encrypted.data(), encrypted.size());
    // Equal plaintext blocks give different ciphertext blocks.
    EXPECT_NE(std::vector<std::uint8_t>(encrypted.begin(), encrypted.begin() + 8),
              std::vector<std::uint8_t>(encrypted.begin() + 8, encrypted.begin() + 16));
    // Block 2 is the ECB encryption of plain 2 XOR cipher 1.
    std::uint32_t l = 0x5A5A5A5Au ^ ((encrypted[0] << 24u) | (encrypted[1] << 16) | (encrypted[2] << 8) | encrypted[3]);
    std::uint32_t r = 0x5A5A5A5Au ^ ((encrypted[4] << 24u) | (encrypted[5] << 16) | (encrypted[6] << 8) | encrypted[7]);
    bf.EncryptBlock(l, r);
    EXPECT_EQ(l, static_cast<std::uint32_t>((encrypted[8] << 24u) | (encrypted[9] << 16) | (encrypted[10] << 8) |
                                            encrypted[11]));

    // Decoding in two calls chains across them.
    bf.Initialize(key.data(), key.size());
    bf.Decode(encrypted.data(), 8);
    bf.Decode(encrypted.data() + 8, 16);
    EXPECT_EQ(data, encrypted);
}

TEST(BlowFish, KeysLongerThan56BytesActAsTheirFirst56) {
    std::string key56;
    for (int i = 0; i < 56; ++i)
        key56 += static_cast<char>('0' + i % 43);
    const std::string text = "<HidSourceTable/>";
    EXPECT_EQ(EncryptXmlText(text, key56), EncryptXmlText(text, key56 + "tail beyond the limit"));
    EXPECT_NE(EncryptXmlText(text, key56), EncryptXmlText(text, key56.substr(0, 55)));
}

TEST(BlowFishFile, LengthIsTextPlusTerminatorRoundedUpToEight) {
    for (std::size_t n : {0u, 1u, 7u, 8u, 15u, 16u, 100u})
        EXPECT_EQ((n + 1 + 7) / 8 * 8, EncryptXmlText(std::string(n, 'x'), "mwq_tanto").size()) << n;
}

TEST(BlowFishFile, RoundTripsAndRefusesWrongKeysAndDamage) {
    const std::string text = "<HidSourceTable><HidSource Name=\"a\"/></HidSourceTable>";
    const auto file = EncryptXmlText(text, "mwq_tanto");
    std::string back = "untouched";
    ASSERT_TRUE(DecryptXmlText(file, "mwq_tanto", &back));
    EXPECT_EQ(text, back);

    back = "untouched";
    EXPECT_FALSE(DecryptXmlText(file, "other key", &back));
    std::vector<std::uint8_t> truncated(file.begin(), file.end() - 3);
    EXPECT_FALSE(DecryptXmlText(truncated, "mwq_tanto", &back));
    std::vector<std::uint8_t> lastBlockGone(file.begin(), file.end() - 8);
    EXPECT_FALSE(DecryptXmlText(lastBlockGone, "mwq_tanto", &back));
    EXPECT_FALSE(DecryptXmlText({}, "mwq_tanto", &back));
    EXPECT_EQ("untouched", back);

    // An empty text is one block holding only the terminator.
    ASSERT_TRUE(DecryptXmlText(EncryptXmlText("", "mwq_tanto"), "mwq_tanto", &back));
    EXPECT_EQ("", back);
}

}  // namespace
