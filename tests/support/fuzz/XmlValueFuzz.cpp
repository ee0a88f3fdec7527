// The natively runnable parts of the XML layer: the integer-attribute rules
// and the encrypted-file reader's decryption and padding checks. (The DOM
// itself is the system's MSXML and only exists under Windows.)
//
// Byte 0 chooses the target; the rest is its input.
#include "support/BlowFish.h"
#include "support/QVXmlValue.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0] % 2;
    ++data;
    --size;
    if (mode == 0) {
        std::wstring text(data, data + size);  // one character per byte, NUL included
        const std::int32_t value = ParseXmlInt(text.c_str());
        ParseXmlInt64(text.c_str());
        // A decimal result reads back the same from its own text.
        if (value != -1 && text.compare(0, 2, L"0x") != 0) {
            wchar_t again[16];
            std::swprintf(again, 16, L"%d", value);
            if (ParseXmlInt(again) != value)
                std::abort();
        }
        return 0;
    }
    // The key is the first byte's length of text; the rest is the file.
    const std::size_t keyBytes = size > 0 ? data[0] % 64 : 0;
    if (size < 1 + keyBytes)
        return 0;
    const std::string key(reinterpret_cast<const char*>(data + 1), keyBytes);
    const std::vector<std::uint8_t> file(data + 1 + keyBytes, data + size);
    std::string text;
    if (DecryptXmlText(file, key, &text)) {
        // What is accepted is exactly what the writer makes of that text.
        if (EncryptXmlText(text, key) != file)
            std::abort();
    }
    // And whatever the writer makes is accepted again.
    const std::string plain(file.begin(), file.end());
    const std::string written = plain.substr(0, plain.find('\0'));
    std::string back;
    if (!DecryptXmlText(EncryptXmlText(written, key), key, &back) || back != written)
        std::abort();
    return 0;
}
