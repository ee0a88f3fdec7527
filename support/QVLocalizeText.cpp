#include "support/QVLocalizeText.h"

#include <cwchar>
#include <cwctype>

void QVLocUnescapeInPlace(wchar_t* text) {
    if (!text)
        return;
    for (wchar_t* p = text; *p; ++p) {
        if (*p != L'\\')
            continue;
        wchar_t replacement = 0;
        switch (p[1]) {
        case L'\\': replacement = L'\\'; break;
        case L'n': replacement = L'\n'; break;
        case L't': replacement = L'\t'; break;
        default: break;
        }
        if (!replacement)
            continue;
        p[0] = L' ';
        p[1] = replacement;
        ++p;  // the produced character is never the start of another escape
    }
}

std::vector<std::wstring> QVLocFormatConversions(const wchar_t* format) {
    std::vector<std::wstring> conversions;
    if (!format)
        return conversions;
    const wchar_t* p = format;
    while (*p) {
        if (*p++ != L'%')
            continue;
        if (*p == L'%') {
            ++p;
            continue;
        }
        while (*p && std::wcschr(L"-+ #0", *p))
            ++p;
        auto widthOrPrecision = [&]() {
            if (*p == L'*') {
                conversions.push_back(L"*");
                ++p;
            } else {
                while (*p >= L'0' && *p <= L'9')
                    ++p;
            }
        };
        widthOrPrecision();
        if (*p == L'.') {
            ++p;
            widthOrPrecision();
        }
        std::wstring length;
        static const wchar_t* const kLengths[] = {L"I64", L"I32", L"hh", L"ll", L"h", L"l", L"L", L"w", L"I", L"j", L"z", L"t"};
        for (const wchar_t* candidate : kLengths) {
            std::size_t n = std::wcslen(candidate);
            if (std::wcsncmp(p, candidate, n) == 0) {
                length = candidate;
                p += n;
                break;
            }
        }
        if (*p && std::wcschr(L"diouxXeEfgGaAcCsSpn", *p)) {
            conversions.push_back(length + *p);
            ++p;
        } else {
            conversions.push_back(L"?" + length + (*p ? std::wstring(1, *p) : std::wstring()));
            if (*p)
                ++p;
        }
    }
    return conversions;
}

bool QVLocSameConversions(const wchar_t* format, const wchar_t* reference) {
    return QVLocFormatConversions(format) == QVLocFormatConversions(reference);
}

std::wstring QVLocMenuTextWithAccelerator(const wchar_t* text, const wchar_t* modifier, const wchar_t* key) {
    std::wstring plain;
    for (const wchar_t* p = text ? text : L""; *p; ++p) {
        if (*p == L'&') {
            if (p[1] == L'&') {
                plain += L"&&";
                ++p;
            }
            continue;
        }
        plain += *p;
    }
    const wchar_t* keyText = key ? key : L"";
    std::size_t mnemonic = 0;
    if (keyText[0] && !keyText[1] && std::iswalpha(keyText[0])) {
        wchar_t wanted = static_cast<wchar_t>(std::towupper(keyText[0]));
        for (std::size_t i = 0; i < plain.size(); ++i) {
            if (plain[i] == L'&') {  // skip the doubled ampersand as a whole
                ++i;
                continue;
            }
            if (static_cast<wchar_t>(std::towupper(plain[i])) == wanted) {
                mnemonic = i;
                break;
            }
        }
    }
    plain.insert(mnemonic, 1, L'&');
    plain += L'\t';
    if (modifier && *modifier) {
        plain += modifier;
        plain += L'+';
    }
    plain += keyText;
    return plain;
}

const wchar_t* QVLocToolTipPart(const wchar_t* prompt) {
    if (!prompt)
        return L"";
    const wchar_t* lineFeed = std::wcschr(prompt, L'\n');
    return lineFeed ? lineFeed + 1 : prompt;
}

void QVLocCopyBounded(wchar_t* buffer, int length, const wchar_t* text) {
    if (!buffer || length <= 0)
        return;
    std::size_t n = text ? std::wcslen(text) : 0;
    if (n > static_cast<std::size_t>(length - 1))
        n = static_cast<std::size_t>(length - 1);
    if (n)
        std::wmemcpy(buffer, text, n);
    buffer[n] = L'\0';
}
