#include "support/QVRegistryValue.h"


int QVRegCopyText(std::uint32_t type, const void* data, std::size_t byteCount, wchar_t* buffer,
                  std::size_t bufferLength) {
    if (type != QVREG_SZ && type != QVREG_EXPAND_SZ)
        return 0;
    if (!buffer || bufferLength == 0 || (!data && byteCount))
        return 0;
    // The data need not be aligned for wchar_t: read it unit by unit.
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    std::size_t units = byteCount / 2;
    std::size_t length = 0;
    while (length < units) {
        std::uint16_t unit = static_cast<std::uint16_t>(bytes[2 * length] | (bytes[2 * length + 1] << 8));
        if (unit == 0)
            break;
        ++length;
    }
    if (length + 1 > bufferLength)
        return 0;
    for (std::size_t i = 0; i < length; ++i)
        buffer[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    buffer[length] = L'\0';
    return 1;
}

int QVRegReadDword(std::uint32_t type, const void* data, std::size_t byteCount, std::uint32_t* value) {
    if ((type != QVREG_DWORD && type != QVREG_BINARY) || byteCount != 4 || !data || !value)
        return 0;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    *value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
             (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return 1;
}
