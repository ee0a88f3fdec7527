#include "support/QVLocalizeBase.h"

#include "support/QVDebug.h"
#include "support/QVLocalizeText.h"
#include "support/QVRegKey.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

const wchar_t kSection[] = L"Strings";
const wchar_t kEnglishFile[] = L"English.lng";
const wchar_t kNeutralFile[] = L"Neutral.lng";

// Ids of which one marks a string table as present in a language.
const UINT kMarkerIds[] = {100, 101, 102, 1000, 0x8000};

const LANGID kResourceFallbacks[] = {0x0809, 0x0409, 0x0000, 0x0400, 0x0800, 0x0407};

bool FileExists(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SetCLocale(LANGID language) {
    std::string name = QVLocCLocaleName(language);
    if (_wsetlocale(LC_ALL, std::wstring(name.begin(), name.end()).c_str()))
        return;
    // The C library knows some of the names only in a shorter form: without a
    // trailing blank ("latvian "), or without the country part of the Chinese ones.
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (_wsetlocale(LC_ALL, std::wstring(name.begin(), name.end()).c_str()))
        return;
    std::size_t country = name.find('_');
    if (country != std::string::npos) {
        name.resize(country);
        _wsetlocale(LC_ALL, std::wstring(name.begin(), name.end()).c_str());
    }
}

bool SetDefaultValue(HKEY root, const wchar_t* path, DWORD type, const wchar_t* text) {
    CQVRegKey key;
    if (RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Put(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    DWORD bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

}  // namespace

bool QVLocLoadResourceString(HMODULE module, UINT id, LANGID language, wchar_t* text, int length) {
    if (!text || length <= 0 || id > 0xFFFF)
        return false;
    HRSRC resource = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_STRING),
                                     MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const WCHAR* block = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    DWORD units = SizeofResource(module, resource) / sizeof(WCHAR);
    if (!block)
        return false;
    // A block is 16 counted strings; walk it within its size.
    DWORD position = 0;
    for (UINT entry = 0; entry < id % 16; ++entry) {
        if (position >= units)
            return false;
        position += 1 + block[position];
    }
    if (position >= units)
        return false;
    DWORD count = block[position];
    if (count == 0 || position + 1 + count > units)
        return false;
    DWORD copied = count < static_cast<DWORD>(length - 1) ? count : static_cast<DWORD>(length - 1);
    std::wmemcpy(text, block + position + 1, copied);
    text[copied] = L'\0';
    return true;
}

CQVLocalizeBase::CQVLocalizeBase() { Init(tagQVLOCALIZE_SETUP()); }

CQVLocalizeBase::CQVLocalizeBase(const tagQVLOCALIZE_SETUP& setup) { Init(setup); }

void CQVLocalizeBase::Init(const tagQVLOCALIZE_SETUP& setup) {
    m_startThreadLocale = GetThreadLocale();
    m_resources = setup.hResources ? setup.hResources : GetModuleHandleW(nullptr);
    if (setup.pszFolder) {
        QVLocCopyBounded(m_szFolder, MAX_PATH, setup.pszFolder);
    } else {
        DWORD length = GetModuleFileNameW(nullptr, m_szFolder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            m_szFolder[0] = L'\0';
    }
    if (!setup.pszFolder) {
        wchar_t* slash = std::wcsrchr(m_szFolder, L'\\');
        if (slash)
            *slash = L'\0';
    }
    std::size_t folderLength = std::wcslen(m_szFolder);
    if (folderLength && m_szFolder[folderLength - 1] == L'\\')
        m_szFolder[folderLength - 1] = L'\0';

    LANGID uiLanguage = setup.wUiLanguage ? setup.wUiLanguage : GetUserDefaultUILanguage();
    if (!uiLanguage)
        uiLanguage = LANGIDFROMLCID(m_startThreadLocale);
    ScanAvailability();
    CQVLocalizeBase::SetLanguage(QVLocChooseStartLanguage(uiLanguage, m_availability));
    if (setup.hClassesRoot)
        RegisterFileAssociation(setup.hClassesRoot);
}

void CQVLocalizeBase::SetLanguage(LANGID language) {
    m_language = language;
    m_cache.clear();
    SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
    SetCLocale(language);
}

void CQVLocalizeBase::SetSource(int mode, const wchar_t* prefix) {
    if (mode < QVLOC_MODE_FILES || mode > QVLOC_MODE_RESOURCES_FIRST)
        return;
    m_mode = mode;
    QVLocCopyBounded(m_szPrefix, QVLOC_PREFIX_CHARS, prefix ? prefix : L"");
    m_cache.clear();
    ScanAvailability();
}

void CQVLocalizeBase::ScanAvailability() {
    const tagQVLANGUAGE* table = QVLocLanguageTable();
    m_availability[0] = 0;
    for (int row = 1; row < QVLOC_LANGUAGE_COUNT; ++row) {
        unsigned bits = 0;
        wchar_t path[MAX_PATH + 64];
        std::swprintf(path, sizeof(path) / sizeof(path[0]), L"%ls\\%ls%ls", m_szFolder, m_szPrefix,
                      table[row].pszFile);
        if (FileExists(path))
            bits |= QVLOC_AVAIL_FILE;
        for (UINT id : kMarkerIds) {
            wchar_t text[4];
            if (QVLocLoadResourceString(m_resources, id, table[row].wLangId, text, 4)) {
                bits |= QVLOC_AVAIL_RESOURCE;
                break;
            }
        }
        m_availability[row] = bits;
    }
}

bool CQVLocalizeBase::ReadLanguageFile(const wchar_t* file, UINT id, wchar_t* text) const {
    wchar_t path[MAX_PATH + 64];
    std::swprintf(path, sizeof(path) / sizeof(path[0]), L"%ls\\%ls%ls", m_szFolder, m_szPrefix, file);
    if (!FileExists(path))
        return false;
    wchar_t key[16];
    std::swprintf(key, 16, L"%u", id);
    GetPrivateProfileStringW(kSection, key, L"", text, QVLOC_TEXT_CHARS, path);
    if (!text[0]) {
        std::swprintf(key, 16, L"0x%x", id);
        GetPrivateProfileStringW(kSection, key, L"", text, QVLOC_TEXT_CHARS, path);
    }
    if (!text[0])
        return false;
    QVLocUnescapeInPlace(text);
    return true;
}

bool CQVLocalizeBase::LookupFile(UINT id, bool exact, wchar_t* text) const {
    const wchar_t* file = QVLocFileForLanguage(m_language);
    if (ReadLanguageFile(file, id, text))
        return true;
    if (exact)
        return false;
    return ReadLanguageFile(kEnglishFile, id, text) || ReadLanguageFile(kNeutralFile, id, text);
}

bool CQVLocalizeBase::LookupResource(UINT id, bool exact, wchar_t* text) const {
    if (QVLocLoadResourceString(m_resources, id, m_language, text, QVLOC_TEXT_CHARS))
        return true;
    if (exact) {
        return m_language == QVLOC_LANG_ENGLISH_UK &&
               QVLocLoadResourceString(m_resources, id, QVLOC_LANG_ENGLISH_US, text, QVLOC_TEXT_CHARS);
    }
    for (LANGID language : kResourceFallbacks) {
        if (QVLocLoadResourceString(m_resources, id, language, text, QVLOC_TEXT_CHARS))
            return true;
    }
    text[0] = L'\0';
    return false;
}

bool CQVLocalizeBase::Lookup(UINT id, wchar_t* text, bool* fromFallback) const {
    *fromFallback = false;
    text[0] = L'\0';
    if (id >= QVLOC_FIRST_PROMPT_ID) {
        if (!LookupResource(id, false, text))
            return false;
        const wchar_t* tip = QVLocToolTipPart(text);
        std::wmemmove(text, tip, std::wcslen(tip) + 1);
        return text[0] != L'\0';
    }
    switch (m_mode) {
    case QVLOC_MODE_FILES:
        if (LookupFile(id, true, text))
            return true;
        *fromFallback = true;
        return LookupFile(id, false, text);
    case QVLOC_MODE_RESOURCES:
        if (LookupResource(id, true, text))
            return true;
        *fromFallback = true;
        return LookupResource(id, false, text);
    case QVLOC_MODE_RESOURCES_FIRST:
        if (LookupResource(id, true, text) || LookupFile(id, true, text))
            return true;
        *fromFallback = true;
        return LookupResource(id, false, text) || LookupFile(id, false, text);
    case QVLOC_MODE_FILES_FIRST:
    default:
        if (LookupFile(id, true, text) || LookupResource(id, true, text))
            return true;
        *fromFallback = true;
        return LookupFile(id, false, text) || LookupResource(id, false, text);
    }
}

int CQVLocalizeBase::GetString(UINT id, wchar_t* buffer, int bufferLength) {
    auto cached = m_cache.find(id);
    if (cached != m_cache.end()) {
        QVLocCopyBounded(buffer, bufferLength, cached->second.c_str());
        return 1;
    }
    wchar_t text[QVLOC_TEXT_CHARS];
    bool fromFallback = false;
    if (!Lookup(id, text, &fromFallback))
        return 0;
    if (fromFallback) {
        wchar_t language[32];
        QVLocLanguageName(m_language, language, 32);
        ReportNotLocalized(language, text);
    }
    m_cache[id] = text;
    QVLocCopyBounded(buffer, bufferLength, text);
    return 1;
}

std::wstring CQVLocalizeBase::GetString(UINT id) {
    wchar_t text[QVLOC_TEXT_CHARS];
    if (!GetString(id, text, QVLOC_TEXT_CHARS))
        return std::wstring();
    return text;
}

std::wstring CQVLocalizeBase::FormatString(UINT id, ...) {
    std::wstring format = GetString(id);
    wchar_t reference[QVLOC_TEXT_CHARS];
    bool haveReference = QVLocLoadResourceString(m_resources, id, QVLOC_LANG_ENGLISH_UK, reference, QVLOC_TEXT_CHARS) ||
                         QVLocLoadResourceString(m_resources, id, QVLOC_LANG_ENGLISH_US, reference, QVLOC_TEXT_CHARS);
    if (haveReference && !QVLocSameConversions(format.c_str(), reference)) {
        TracePrint(QVL_WRN, QVC_ALL, L"QVLOC: string %u takes other arguments than '%s'\n", id, reference);
        format = reference;
    } else if (!haveReference && !QVLocFormatConversions(format.c_str()).empty()) {
        // Nothing to check it against: never let an unknown text read arguments.
        TracePrint(QVL_WRN, QVC_ALL, L"QVLOC: string %u has no reference format\n", id);
        return format;
    }
    wchar_t text[4096];
    va_list args;
    va_start(args, id);
    // A longer result is cut; _vsnwprintf then leaves it unterminated.
    _vsnwprintf(text, 4095, format.c_str(), args);
    va_end(args);
    text[4095] = L'\0';
    return text;
}

unsigned CQVLocalizeBase::GetAvailability(int row) const {
    return row > 0 && row < QVLOC_LANGUAGE_COUNT ? m_availability[row] : 0;
}

BOOL CQVLocalizeBase::IsLanguageAvailable(LANGID language) const {
    int row = QVLocFindRow(language);
    return row > 0 && m_availability[row] != 0;
}

int CQVLocalizeBase::GetAvailableLanguageCount() const {
    int count = 0;
    for (int row = 1; row < QVLOC_LANGUAGE_COUNT; ++row)
        count += m_availability[row] ? 1 : 0;
    return count;
}

BOOL CQVLocalizeBase::GetAvailableLanguage(int index, LANGID* language, wchar_t* name, int nameLength,
                                           BOOL nativeName) const {
    for (int row = 1, seen = 0; row < QVLOC_LANGUAGE_COUNT; ++row) {
        if (!m_availability[row])
            continue;
        if (seen++ != index)
            continue;
        LANGID id = QVLocLanguageTable()[row].wLangId;
        if (language)
            *language = id;
        GetLanguageDisplayName(id, nativeName, name, nameLength);
        return TRUE;
    }
    if (language)
        *language = 0;
    QVLocCopyBounded(name, nameLength, L"???");
    return FALSE;
}

void CQVLocalizeBase::GetLanguageDisplayName(LANGID language, BOOL nativeName, wchar_t* name, int nameLength) {
    if (!name || nameLength <= 0)
        return;
    LCID locale = MAKELCID(language, SORT_DEFAULT);
    // The display names tell English (United Kingdom) from English (United States).
    if (GetLocaleInfoW(locale, nativeName ? LOCALE_SNATIVEDISPLAYNAME : LOCALE_SLANGUAGE, name, nameLength) > 1)
        return;
    if (GetLocaleInfoW(locale, nativeName ? LOCALE_SNATIVELANGNAME : LOCALE_SENGLANGUAGE, name, nameLength) > 1)
        return;
    QVLocLanguageName(language, name, nameLength);
}

void CQVLocalizeBase::RegisterFileAssociation(HKEY classesRoot) {
    if (!classesRoot)
        return;
    CQVRegKey existing;
    if (RegOpenKeyExW(classesRoot, L".lng", 0, KEY_READ, existing.Put()) == ERROR_SUCCESS)
        return;
    SetDefaultValue(classesRoot, L".lng", REG_SZ, L"Vemtra.Language file");
    SetDefaultValue(classesRoot, L"Vemtra.Language file", REG_SZ, L"Vemtra Language Support");
    SetDefaultValue(classesRoot, L"Vemtra.Language file\\Shell\\Open\\Command", REG_SZ, L"notepad.exe %1");
    SetDefaultValue(classesRoot, L"Vemtra.Language file\\DefaultIcon", REG_EXPAND_SZ,
                    L"\"%systemroot%\\notepad.exe\",0");
}

void CQVLocalizeBase::ReportNotLocalized(const wchar_t* languageName, const wchar_t* text) {
    TracePrint(QVL_WRN, QVC_ALL, L"QVLOC: %s string NOT LOCALIZED: '%s'\n", languageName, text);
}
