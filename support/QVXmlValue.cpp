#include "support/QVXmlValue.h"

#include <cwchar>

namespace {

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

bool IsBlankChar(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// A decimal number with optional leading blanks and sign; false when there is
// no digit or it is beyond the limit.
bool ParseDecimal(const wchar_t* text, std::int64_t minimum, std::int64_t maximum, std::int64_t* value) {
    while (IsBlankChar(*text))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-')
        negative = *text++ == L'-';
    if (*text < L'0' || *text > L'9')
        return false;
    // Accumulated as a negative number: its range holds the minimum.
    std::int64_t result = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        const int digit = *text - L'0';
        if (result < (minimum + digit) / 10)
            return false;
        result = result * 10 - digit;
    }
    if (!negative) {
        if (result < -maximum)
            return false;
        result = -result;
    }
    *value = result;
    return true;
}

}  // namespace

std::int32_t ParseXmlInt(const wchar_t* text) {
    if (!text)
        return -1;
    if (text[0] == L'0' && text[1] == L'x' && HexDigit(text[2]) >= 0) {
        std::uint32_t value = 0;
        int digits = 0;
        for (const wchar_t* p = text + 2; HexDigit(*p) >= 0; ++p) {
            // Leading zeros do not count against the eight digits.
            if (value == 0 && *p == L'0')
                continue;
            if (++digits > 8)
                return -1;
            value = (value << 4) | static_cast<std::uint32_t>(HexDigit(*p));
        }
        return static_cast<std::int32_t>(value);
    }
    std::int64_t value = 0;
    if (!ParseDecimal(text, INT32_MIN, INT32_MAX, &value))
        return -1;
    return static_cast<std::int32_t>(value);
}

std::int64_t ParseXmlInt64(const wchar_t* text) {
    std::int64_t value = 0;
    if (!text || !ParseDecimal(text, INT64_MIN, INT64_MAX, &value))
        return -1;
    return value;
}

bool IsValidXmlName(const wchar_t* name) { return name && *name && !std::wcschr(name, L' '); }

std::wstring StripXmlQuotes(const wchar_t* path, std::size_t maxChars) {
    std::wstring result;
    for (; path && *path && result.size() < maxChars; ++path) {
        if (*path != L'"')
            result += *path;
    }
    return result;
}

bool CleanXmlValue(std::wstring& value) {
    bool replaced = false;
    for (wchar_t& c : value) {
        if (c < 32) {
            c = L' ';
            replaced = true;
        }
    }
    return replaced;
}

std::wstring DecodeProductKey(const std::uint8_t* digitalProductId, std::size_t bytes) {
    constexpr std::size_t kFirst = 52;
    constexpr std::size_t kLength = 15;
    if (!digitalProductId || bytes < kFirst + kLength)
        return std::wstring();
    static const wchar_t kDigits[] = L"BCDFGHJKMPQRTVWXY2346789";
    std::uint8_t number[kLength];
    for (std::size_t i = 0; i < kLength; ++i)
        number[i] = digitalProductId[kFirst + i];
    // The 15 bytes are one little-endian number written in base 24, 25 digits.
    std::wstring digits(25, L' ');
    for (int position = 24; position >= 0; --position) {
        unsigned remainder = 0;
        for (int i = static_cast<int>(kLength) - 1; i >= 0; --i) {
            const unsigned current = (remainder << 8) | number[i];
            number[i] = static_cast<std::uint8_t>(current / 24);
            remainder = current % 24;
        }
        digits[static_cast<std::size_t>(position)] = kDigits[remainder];
    }
    std::wstring key;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && i % 5 == 0)
            key += L'-';
        key += digits[i];
    }
    return key;
}
