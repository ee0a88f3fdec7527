#include "osd/TrayText.h"

#include <cwchar>

namespace {

struct tagTRAYTEXTROW {
    unsigned primaryLanguage;
    tagTRAYTEXTS texts;
};

// Row 0 is the fallback.
const tagTRAYTEXTROW kRows[] = {
    {0x00, {L"&Show", L"&Hide", L"&Exit"}},
    {0x07, {L"&Anzeigen", L"&Verbergen", L"&Beenden"}},
    {0x10, {L"&Mostra", L"&Nascondi", L"&Esci"}},
    {0x0A, {L"&Mostrar", L"&Ocultar", L"&Salir"}},
    {0x0C, {L"&Afficher", L"&Masquer", L"&Quitter"}},
    {0x13, {L"&Weergeven", L"&Verbergen", L"&Afsluiten"}},
    {0x04, {L"\x663E\x793A", L"\x9690\x85CF", L"\x9000\x51FA"}},
};

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

}  // namespace

const tagTRAYTEXTS& TrayTextsForLanguage(unsigned primaryLanguage) {
    primaryLanguage &= 0x3FF;
    for (const tagTRAYTEXTROW& row : kRows) {
        if (row.primaryLanguage == primaryLanguage)
            return row.texts;
    }
    return kRows[0].texts;
}

std::wstring CutTrayText(const std::wstring& text, std::size_t maxChars) {
    if (text.size() <= maxChars)
        return text;
    std::size_t length = maxChars;
    if (length > 0 && IsHighSurrogate(text[length - 1]))
        --length;
    return text.substr(0, length);
}

std::wstring MainMenuItemText(int index, const std::wstring& name) {
    wchar_t number[16];
    std::swprintf(number, sizeof number / sizeof number[0], L"%2d. ", index);
    return number + name;
}
