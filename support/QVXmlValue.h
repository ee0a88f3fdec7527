#pragma once
// The text rules of the XML layer: integer attributes, names, values and
// paths, and the product-key text of the alternative file key.
//
// Pure logic: no Windows header, so it builds natively as well.

#include <cstddef>
#include <cstdint>
#include <string>

// An integer attribute: "0x" and hexadecimal digits first, else a decimal
// number (leading blanks and a sign allowed, trailing text ignored, as the C
// library's scanning does). -1 when the text holds neither or the number does
// not fit 32 bits; hexadecimal values are 32-bit patterns (0xFFFFFFFF is -1).
std::int32_t ParseXmlInt(const wchar_t* text);
// The same for 64-bit decimal values only; -1 when unreadable.
std::int64_t ParseXmlInt64(const wchar_t* text);

// Attribute and path names never contain a blank.
bool IsValidXmlName(const wchar_t* name);
// Removes double quotes, keeping at most maxChars characters of the result.
std::wstring StripXmlQuotes(const wchar_t* path, std::size_t maxChars);
// Replaces every character below 32 by a blank; true when any was replaced.
bool CleanXmlValue(std::wstring& value);

// The 29-character product key ("XXXXX-XXXXX-XXXXX-XXXXX-XXXXX") encoded in
// bytes 52 to 66 of the system's DigitalProductId value; empty when the value
// is too short.
std::wstring DecodeProductKey(const std::uint8_t* digitalProductId, std::size_t bytes);
