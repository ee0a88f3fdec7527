#pragma once
// Checks of raw registry data before it reaches a caller's buffer. Values are
// input like any file: another program, an installer or a user with the
// registry editor may have stored any type and size under a name the program
// reads. Pure, so the checks also run natively.

#include <cstddef>
#include <cstdint>

// The registry's value types that matter here (same numbers as winnt.h).
constexpr std::uint32_t QVREG_SZ = 1;
constexpr std::uint32_t QVREG_EXPAND_SZ = 2;
constexpr std::uint32_t QVREG_BINARY = 3;
constexpr std::uint32_t QVREG_DWORD = 4;

// Text of a REG_SZ or REG_EXPAND_SZ value of byteCount bytes, into a buffer of
// bufferLength characters. Fails (0, buffer untouched) for any other type or
// when the text with its terminator does not fit; a stored text without
// terminator, or with an odd last byte, still gets one. The text ends at its
// first terminator.
int QVRegCopyText(std::uint32_t type, const void* data, std::size_t byteCount, wchar_t* buffer,
                  std::size_t bufferLength);

// A 32-bit number: REG_DWORD of 4 bytes, or a binary value of exactly 4 bytes.
int QVRegReadDword(std::uint32_t type, const void* data, std::size_t byteCount, std::uint32_t* value);
