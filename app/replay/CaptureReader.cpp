#include "app/replay/CaptureReader.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

// Whole-token number parse: rejects signs, junk after the digits and values
// above the limit instead of letting strtoul wrap or truncate them.
bool ParseNumber(const std::string& token, int base, unsigned long limit, unsigned long& value) {
    std::string digits = token;
    if (base == 16 && digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    if (digits.empty() || digits.size() > 10)
        return false;
    for (char c : digits) {
        const bool ok = base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                                   : std::isdigit(static_cast<unsigned char>(c)) != 0;
        if (!ok)
            return false;
    }
    errno = 0;
    value = std::strtoul(digits.c_str(), nullptr, base);
    return errno == 0 && value <= limit;
}

std::wstring Widen(const std::string& s) {
    std::wstring w;
    for (unsigned char c : s)
        w += c < 0x80 ? static_cast<wchar_t>(c) : L'?';
    return w;
}

}  // namespace

void CCaptureReader::Parse(const std::string& text, std::vector<tagCAPTUREFRAME>& frames,
                           std::vector<tagCAPTUREERROR>& errors) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    std::uint32_t now = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string raw = line;
        const auto hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream fields(line);
        std::vector<std::string> tokens;
        for (std::string t; fields >> t;)
            tokens.push_back(t);
        if (tokens.empty())
            continue;

        auto fail = [&](const std::wstring& why) {
            std::string shown = raw;
            while (!shown.empty() && (shown.back() == '\r' || shown.back() == '\n'))
                shown.pop_back();
            errors.push_back({lineNo, why + L": \"" + Widen(shown) + L"\""});
        };
        if (tokens.size() > 3) {
            fail(L"too many fields (expected <ms> <code> [<address>])");
            continue;
        }
        if (tokens.size() < 2) {
            fail(L"missing the key code (expected <ms> <code> [<address>])");
            continue;
        }
        unsigned long delay = 0, code = 0, address = 0;
        if (!ParseNumber(tokens[0], 10, 3600000UL, delay)) {
            fail(L"the time must be a decimal number of milliseconds up to 3600000");
            continue;
        }
        if (!ParseNumber(tokens[1], 16, 0xFF, code)) {
            fail(L"the key code must be a hexadecimal byte (00 to FF)");
            continue;
        }
        if (tokens.size() == 3 && !ParseNumber(tokens[2], 16, 0xFFFF, address)) {
            fail(L"the NEC address must be a hexadecimal 16-bit value (0000 to FFFF)");
            continue;
        }
        now += static_cast<std::uint32_t>(delay);
        tagCAPTUREFRAME frame;
        frame.nTimeMs = now;
        frame.bCode = static_cast<std::uint8_t>(code);
        frame.fHasAddress = tokens.size() == 3;
        frame.wAddress = static_cast<std::uint16_t>(address);
        frame.nLine = lineNo;
        frames.push_back(frame);
    }
}
