#include "support/QVLocalizeTable.h"

#include <cwchar>

namespace {

const tagQVLANGUAGE g_languages[QVLOC_LANGUAGE_COUNT] = {
    {0x0000, L"Neutral.lng"},    {0x0405, L"Czech.lng"},      {0x0406, L"Danish.lng"},
    {0x0407, L"German.lng"},     {0x0425, L"Estonian.lng"},   {0x0809, L"English.lng"},
    {0x0409, L"English_US.lng"}, {0x040A, L"Spanish.lng"},    {0x040C, L"French.lng"},
    {0x041A, L"Croatian.lng"},   {0x0410, L"Italian.lng"},    {0x0426, L"Latvian.lng"},
    {0x0427, L"Lithuanian.lng"}, {0x0413, L"Dutch.lng"},      {0x040E, L"Hungarian.lng"},
    {0x0414, L"Norwegian.lng"},  {0x0415, L"Polish.lng"},     {0x0816, L"Portuguese.lng"},
    {0x0418, L"Romanian.lng"},   {0x041B, L"Slovak.lng"},     {0x0424, L"Slovenian.lng"},
    {0x040B, L"Finnish.lng"},    {0x041D, L"Swedish.lng"},    {0x041F, L"Turkish.lng"},
    {0x0408, L"Greek.lng"},      {0x0419, L"Russian.lng"},    {0x0804, L"Chinese.lng"},
    {0x0404, L"ChinTrad.lng"},   {0x0401, L"Arabic.lng"},     {0x0402, L"Bulgarian.lng"},
    {0x040D, L"Hebrew.lng"},     {0x0411, L"Japanese.lng"},   {0x042A, L"Vietnamese.lng"},
    {0x0421, L"Indonesian.lng"}, {0x0403, L"Catalan.lng"},    {0x0423, L"Belarus.lng"},
    {0x0412, L"Korean.lng"},
};

// Primary languages (LANG_* values) of the C locale names.
struct tagCLOCALE {
    unsigned nPrimary;
    const char* pszName;
};

const tagCLOCALE g_cLocales[] = {
    {0x01, "arabic"},    {0x02, "bulgarian"}, {0x03, "catalan"},    {0x05, "czech"},
    {0x06, "danish"},    {0x07, "german"},    {0x08, "greek"},      {0x0A, "spanish"},
    {0x0B, "finnish"},   {0x0C, "french"},    {0x0D, "hebrew"},     {0x0E, "hungarian"},
    {0x10, "italian"},   {0x11, "japanese"},  {0x12, "korean"},     {0x13, "dutch"},
    {0x14, "norwegian"}, {0x15, "polish"},    {0x16, "portuguese"}, {0x18, "romanian"},
    {0x19, "russian"},   {0x1A, "croatian"},  {0x1B, "slovak"},     {0x1D, "swedish"},
    {0x1F, "turkish"},   {0x21, "indonesian"}, {0x23, "belarusian"}, {0x24, "slovenian"},
    {0x25, "estonian"},  {0x26, "latvian "},  {0x27, "lithuanian"}, {0x2A, "vietnamese"},
};

constexpr unsigned kLangChinese = 0x04;
constexpr unsigned kLangGerman = 0x07;
constexpr unsigned kLangEnglish = 0x09;
constexpr unsigned kLangSpanish = 0x0A;
constexpr unsigned kLangFrench = 0x0C;
constexpr unsigned kLangItalian = 0x10;
constexpr unsigned kLangDutch = 0x13;
constexpr unsigned kLangPortuguese = 0x16;

bool IsAvailable(QVLangId id, const unsigned availability[QVLOC_LANGUAGE_COUNT]) {
    int row = QVLocFindRow(id);
    return row > 0 && availability[row] != 0;
}

}  // namespace

const tagQVLANGUAGE* QVLocLanguageTable() { return g_languages; }

int QVLocFindRow(QVLangId id) {
    for (int row = 0; row < QVLOC_LANGUAGE_COUNT; ++row) {
        if (g_languages[row].wLangId == id)
            return row;
    }
    return -1;
}

int QVLocFindRowForLanguage(QVLangId id) {
    int row = QVLocFindRow(id);
    if (row >= 0)
        return row;
    for (row = 0; row < QVLOC_LANGUAGE_COUNT; ++row) {
        if (QVLocPrimaryLanguage(g_languages[row].wLangId) == QVLocPrimaryLanguage(id))
            return row;
    }
    return -1;
}

const wchar_t* QVLocFileForLanguage(QVLangId id) {
    int row = QVLocFindRowForLanguage(id);
    return row >= 0 ? g_languages[row].pszFile : L"English.lng";
}

void QVLocLanguageName(QVLangId id, wchar_t* name, int nameLength) {
    if (!name || nameLength <= 0)
        return;
    int row = QVLocFindRowForLanguage(id);
    const wchar_t* file = row >= 0 ? g_languages[row].pszFile : L"UNKNOWN";
    const wchar_t* dot = row >= 0 ? std::wcsrchr(file, L'.') : nullptr;
    std::size_t length = dot ? static_cast<std::size_t>(dot - file) : std::wcslen(file);
    if (length > static_cast<std::size_t>(nameLength - 1))
        length = static_cast<std::size_t>(nameLength - 1);
    std::wmemcpy(name, file, length);
    name[length] = L'\0';
}

QVLangId QVLocNormalizeLanguage(QVLangId uiLanguage) {
    int row = QVLocFindRowForLanguage(uiLanguage);
    return row >= 0 ? g_languages[row].wLangId : uiLanguage;
}

QVLangId QVLocChooseStartLanguage(QVLangId uiLanguage, const unsigned availability[QVLOC_LANGUAGE_COUNT]) {
    QVLangId language = QVLocNormalizeLanguage(uiLanguage);
    if (IsAvailable(language, availability))
        return language;
    QVLangId preferred = 0;
    switch (QVLocPrimaryLanguage(language)) {
    case kLangGerman: preferred = 0x0407; break;
    case kLangEnglish:
        preferred = IsAvailable(QVLOC_LANG_ENGLISH_UK, availability) ? QVLOC_LANG_ENGLISH_UK : QVLOC_LANG_ENGLISH_US;
        break;
    case kLangSpanish: preferred = 0x040A; break;
    case kLangFrench: preferred = 0x040C; break;
    case kLangItalian: preferred = 0x0410; break;
    case kLangDutch: preferred = 0x0413; break;
    case kLangPortuguese: preferred = 0x0816; break;
    default: break;
    }
    if (preferred && IsAvailable(preferred, availability))
        return preferred;
    return language;
}

const char* QVLocCLocaleName(QVLangId id) {
    unsigned primary = QVLocPrimaryLanguage(id);
    if (primary == kLangChinese)
        return QVLocSubLanguage(id) == 1 ? "chinese-traditional_taiwan.950" : "chinese-simplified_pr-china.936";
    for (const tagCLOCALE& locale : g_cLocales) {
        if (locale.nPrimary == primary)
            return locale.pszName;
    }
    return "english";
}
