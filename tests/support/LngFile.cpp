#include "tests/support/LngFile.h"

#include <fstream>
#include <iterator>

namespace {

std::wstring Trim(const std::wstring& text) {
    const wchar_t* blanks = L" \t\r";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos)
        return std::wstring();
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::wstring DecodeUtf16Le(const std::string& bytes, std::size_t start) {
    std::wstring text;
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
        unsigned unit = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (sizeof(wchar_t) == 4 && unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            unsigned low = static_cast<unsigned char>(bytes[i + 2]) | (static_cast<unsigned char>(bytes[i + 3]) << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

}  // namespace

tagLNGFILE ReadLngFile(const std::string& path) {
    tagLNGFILE file;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return file;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    file.fReadable = true;
    file.fUtf16Bom = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                     static_cast<unsigned char>(bytes[1]) == 0xFE;
    if (!file.fUtf16Bom)
        return file;
    std::wstring text = DecodeUtf16Le(bytes, 2);
    bool inStrings = false;
    std::size_t position = 0;
    while (position <= text.size()) {
        std::size_t end = text.find(L'\n', position);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = Trim(text.substr(position, end - position));
        position = end + 1;
        if (line.empty() || line[0] == L';')
            continue;
        if (line[0] == L'[') {
            std::size_t close = line.find(L']');
            std::wstring name = close == std::wstring::npos ? line.substr(1) : line.substr(1, close - 1);
            for (wchar_t& c : name)
                c = static_cast<wchar_t>(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c);
            inStrings = name == L"strings";
            file.fStringsSection = file.fStringsSection || inStrings;
            continue;
        }
        std::size_t equals = line.find(L'=');
        if (!inStrings || equals == std::wstring::npos)
            continue;
        std::wstring key = Trim(line.substr(0, equals));
        std::wstring value = Trim(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == value.back() && (value.front() == L'"' || value.front() == L'\''))
            value = value.substr(1, value.size() - 2);
        file.entries.emplace_back(key, value);
    }
    return file;
}

bool LngKeyToId(const std::wstring& key, unsigned* id) {
    if (key.empty() || key.size() > 5)
        return false;
    unsigned value = 0;
    for (wchar_t c : key) {
        if (c < L'0' || c > L'9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    *id = value;
    return true;
}
