#pragma once
// The localization's fixed language table and the rules that pick a language
// from it. Pure: no Windows header, so the rules also run natively.

#include <cstdint>

using QVLangId = std::uint16_t;  // same layout as the Windows LANGID

constexpr int QVLOC_LANGUAGE_COUNT = 37;  // row 0 is the neutral language

struct tagQVLANGUAGE {
    QVLangId wLangId;
    const wchar_t* pszFile;  // language file name, e.g. L"German.lng"
};

// Availability bits of a row.
constexpr unsigned QVLOC_AVAIL_FILE = 1;      // its language file exists
constexpr unsigned QVLOC_AVAIL_RESOURCE = 2;  // the program has string resources in it

constexpr QVLangId QVLOC_LANG_ENGLISH_UK = 0x0809;
constexpr QVLangId QVLOC_LANG_ENGLISH_US = 0x0409;

inline unsigned QVLocPrimaryLanguage(QVLangId id) { return id & 0x3FFu; }
inline unsigned QVLocSubLanguage(QVLangId id) { return id >> 10; }

// The 37 rows in their fixed order.
const tagQVLANGUAGE* QVLocLanguageTable();

// Row whose LANGID equals the id, or -1.
int QVLocFindRow(QVLangId id);
// The row with the same LANGID, else the first row with the same primary language, else -1.
int QVLocFindRowForLanguage(QVLangId id);
// File name of the language's row (as above), or "English.lng" when there is none.
const wchar_t* QVLocFileForLanguage(QVLangId id);
// File name without its extension, or "UNKNOWN" when the language has no row.
void QVLocLanguageName(QVLangId id, wchar_t* name, int nameLength);

// The user's UI language replaced by its table row (exact, else primary language);
// an id without any row is kept.
QVLangId QVLocNormalizeLanguage(QVLangId uiLanguage);
// The language the localization starts with: the normalized UI language when it is
// available, else the primary-language preferences (German 0x0407, English 0x0809
// then 0x0409, Spanish 0x040A, French 0x040C, Italian 0x0410, Dutch 0x0413,
// Portuguese 0x0816), each only when available; else the normalized UI language.
// availability has one entry per row.
QVLangId QVLocChooseStartLanguage(QVLangId uiLanguage, const unsigned availability[QVLOC_LANGUAGE_COUNT]);

// Name for the C library's setlocale (all categories) by primary language.
// Latvian carries its trailing blank; callers retry without it (see SetLanguage).
const char* QVLocCLocaleName(QVLangId id);
