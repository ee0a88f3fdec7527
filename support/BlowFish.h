#pragma once
// CBlowFish: the Blowfish block cipher (16 rounds, the published initial
// tables, the published key schedule) in CBC mode with an all-zero initial
// value, and the layout of the encrypted XML files built on it: the whole file
// is the ciphertext of the document's 8-bit text, its terminating zero and
// zero padding up to a multiple of 8 bytes. No header, no length, no checksum.
//
// Pure logic: no Windows header. The file and code-page side is in
// BlowFishFile.cpp.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
#include <wtypes.h>  // BSTR
#endif

class CBlowFish {
public:
    static constexpr std::size_t kBlockBytes = 8;
    static constexpr std::size_t kMaxKeyBytes = 56;  // longer keys are cut

    CBlowFish() = default;
    virtual ~CBlowFish() = default;

    // Key schedule; also clears both chaining values.
    void Initialize(const std::uint8_t* key, std::size_t keyBytes);
    // One block, the two words as the cipher sees them (big-endian in memory).
    void EncryptBlock(std::uint32_t& left, std::uint32_t& right) const;
    void DecryptBlock(std::uint32_t& left, std::uint32_t& right) const;
    // CBC over whole blocks, in place; a trailing partial block is left alone.
    // The chaining value carries over between calls until the next Initialize.
    void Encode(std::uint8_t* data, std::size_t bytes);
    void Decode(std::uint8_t* data, std::size_t bytes);

#ifdef _WIN32
    // The decrypted text of an encrypted file as a new BSTR the caller frees,
    // or null when the file cannot be read or is not a file of this layout for
    // this key (see DecryptXmlText). key null: the default key.
    static BSTR DecryptFile2Bstr(const wchar_t* key, const wchar_t* path);
#endif

private:
    std::uint32_t F(std::uint32_t x) const;

    std::uint64_t m_encryptChain = 0;
    std::uint64_t m_decryptChain = 0;
    std::uint32_t m_p[18] = {};
    std::uint32_t m_s[4][256] = {};
};

// The key used whenever no key is given.
extern const wchar_t* const kBlowFishDefaultKey;

// The file's bytes for an 8-bit text: the text, its terminator, zero padding
// to a multiple of 8, encrypted.
std::vector<std::uint8_t> EncryptXmlText(const std::string& text, const std::string& key);

// The text of a file's bytes. False, with the text untouched, unless the
// length is a non-zero multiple of 8 and the plaintext is text ending in its
// terminator with nothing but zero padding after it: a truncated file or a
// wrong key is refused here instead of being handed on as garbage.
bool DecryptXmlText(const std::vector<std::uint8_t>& file, const std::string& key, std::string* text);

#ifdef _WIN32
// Encrypts the text (converted to the thread's ANSI code page) into the file;
// the file's attributes are kept. key null: the default key. 1 when written.
int EncryptBstr2File(const wchar_t* text, const wchar_t* path, const wchar_t* key);
#endif
