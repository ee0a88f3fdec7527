// The file side of the encrypted XML files: code pages, reading and writing.
#include "support/BlowFish.h"

#include "support/QVXml.h"

#include <cstdio>
#include <cwchar>
#include <memory>

namespace {

// The decrypted bytes are text of the "German" locale's code page.
constexpr UINT kFileTextCodePage = 1252;

std::string ToAnsi(const wchar_t* text, UINT codePage) {
    if (!text || !*text)
        return std::string();
    const int bytes = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return std::string();
    std::string result(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, text, -1, &result[0], bytes, nullptr, nullptr);
    result.resize(static_cast<std::size_t>(bytes - 1));
    return result;
}

struct CFileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using CQVFile = std::unique_ptr<FILE, CFileCloser>;

}  // namespace

BSTR CBlowFish::DecryptFile2Bstr(const wchar_t* key, const wchar_t* path) {
    if (!path)
        return nullptr;
    CQVFile file(_wfopen(path, L"rb"));
    if (!file)
        return nullptr;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + got);
    if (std::ferror(file.get()))
        return nullptr;
    // The key's byte length, as the writer uses it (see EncryptBstr2File).
    std::string text;
    if (!DecryptXmlText(bytes, ToAnsi(key ? key : kBlowFishDefaultKey, CP_THREAD_ACP), &text))
        return nullptr;
    if (text.empty())
        return SysAllocString(L"");
    const int chars = MultiByteToWideChar(kFileTextCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (chars <= 0)
        return nullptr;
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(chars));
    if (result)
        MultiByteToWideChar(kFileTextCodePage, 0, text.data(), static_cast<int>(text.size()), result, chars);
    return result;
}

int EncryptBstr2File(const wchar_t* text, const wchar_t* path, const wchar_t* key) {
    if (!path)
        return 0;
    // The key's length is its length in bytes: the reader uses the same, so a
    // key outside the single-byte range still opens the file again.
    const std::vector<std::uint8_t> bytes =
        EncryptXmlText(ToAnsi(text, CP_THREAD_ACP), ToAnsi(key ? key : kBlowFishDefaultKey, CP_THREAD_ACP));
    CFileAttributeGuard guard(path);
    CQVFile file(_wfopen(path, L"wb"));
    if (!file)
        return 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    const bool closed = std::fclose(file.release()) == 0;
    return written && closed ? 1 : 0;
}
