#pragma once
// CQVLocalizeBase: every user-visible text by numeric string id, in the current
// user-interface language.
//
// Texts come from the program's string-table resources or from language files
// "<prefix><Language>.lng" (INI files in UTF-16LE with a byte-order mark, section
// "Strings", key = the id in decimal or "0x%x") in the executable's folder, in
// the order the source mode sets:
//   0  file of the language, then the file fallbacks
//   1  resources of the language, then the resource fallbacks
//   2  file, resources, file fallbacks, resource fallbacks   (default)
//   3  resources, file, resource fallbacks, file fallbacks
// File fallbacks: the language's file, "English.lng", "Neutral.lng".
// Resource fallbacks: the language, 0x0809, 0x0409, 0x0000, 0x0400, 0x0800, 0x0407.
// Ids above 0xDFFF are command prompts: always the resource text after its first
// line feed. A text found only by a fallback is traced as "NOT LOCALIZED".
//
// User-interface thread only; the cache has no lock.

#include "support/QVLocalizeTable.h"

#include <windows.h>

#include <map>
#include <string>

constexpr int QVLOC_TEXT_CHARS = 1024;   // the string-object form holds at most 1023 characters
constexpr int QVLOC_PREFIX_CHARS = 32;   // file-name prefix: at most 31 characters
constexpr UINT QVLOC_FIRST_PROMPT_ID = 0xE000;

enum : int {
    QVLOC_MODE_FILES = 0,
    QVLOC_MODE_RESOURCES = 1,
    QVLOC_MODE_FILES_FIRST = 2,
    QVLOC_MODE_RESOURCES_FIRST = 3,
};

// Where a localization object looks; the defaults are the program's own.
struct tagQVLOCALIZE_SETUP {
    LANGID wUiLanguage = 0;                  // 0: the user's UI language (the thread locale's when that is 0)
    const wchar_t* pszFolder = nullptr;      // language files; nullptr: the executable's folder
    HMODULE hResources = nullptr;            // string tables; nullptr: the executable
    HKEY hClassesRoot = HKEY_CLASSES_ROOT;   // where the ".lng" association goes; nullptr: nowhere
};

class CQVLocalizeBase {
public:
    CQVLocalizeBase();
    explicit CQVLocalizeBase(const tagQVLOCALIZE_SETUP& setup);
    virtual ~CQVLocalizeBase() = default;
    CQVLocalizeBase(const CQVLocalizeBase&) = delete;
    CQVLocalizeBase& operator=(const CQVLocalizeBase&) = delete;

    // Switches the language: empties the cache, sets the thread locale and the C
    // library's locale (all categories) by the primary language.
    virtual void SetLanguage(LANGID language);
    // Source mode 0 to 3 (others are refused) and file-name prefix (cut to 31
    // characters, nullptr = none); empties the cache and rescans availability.
    virtual void SetSource(int mode, const wchar_t* prefix);

    // 1 and the text (cut to bufferLength - 1 characters) when found; 0 and the
    // buffer untouched otherwise, so a caller's default stays.
    int GetString(UINT id, wchar_t* buffer, int bufferLength);
    // The text, empty when not found.
    std::wstring GetString(UINT id);
    // The text of id used as a printf format ("%s" = wide text). A translated
    // format that takes other arguments than the program's English one is not
    // used: the English resource text is, so a faulty language file cannot make
    // the program read arguments that were never passed.
    std::wstring FormatString(UINT id, ...);

    LANGID GetLanguage() const { return m_language; }
    int GetSourceMode() const { return m_mode; }
    const wchar_t* GetPrefix() const { return m_szPrefix; }
    const wchar_t* GetFolder() const { return m_szFolder; }
    LCID GetStartThreadLocale() const { return m_startThreadLocale; }
    // Added to control and item ids when dialogs, menus and tool tips are localized.
    void SetControlIdOffset(int offset) { m_controlIdOffset = offset; }
    int GetControlIdOffset() const { return m_controlIdOffset; }

    // QVLOC_AVAIL_* bits of a row of the language table (0 for row 0).
    unsigned GetAvailability(int row) const;
    BOOL IsLanguageAvailable(LANGID language) const;
    // The available languages in table order.
    int GetAvailableLanguageCount() const;
    // The index-th available language and its name from the system's locale
    // information (localized, or in the language itself with nativeName); 0 and
    // the name "???" when the index is out of range.
    BOOL GetAvailableLanguage(int index, LANGID* language, wchar_t* name, int nameLength, BOOL nativeName) const;
    static void GetLanguageDisplayName(LANGID language, BOOL nativeName, wchar_t* name, int nameLength);

    // Registers ".lng" as "Vemtra.Language file", opened with Notepad, but only
    // when ".lng" does not exist yet under the root. Failures are ignored.
    static void RegisterFileAssociation(HKEY classesRoot);

protected:
    // Called for a text that only a fallback step found; traces
    // "QVLOC: %s string NOT LOCALIZED: '%s'\n" (level 3, all contexts).
    virtual void ReportNotLocalized(const wchar_t* languageName, const wchar_t* text);

private:
    void Init(const tagQVLOCALIZE_SETUP& setup);
    void ScanAvailability();
    bool ReadLanguageFile(const wchar_t* file, UINT id, wchar_t* text) const;
    bool LookupFile(UINT id, bool exact, wchar_t* text) const;
    bool LookupResource(UINT id, bool exact, wchar_t* text) const;
    bool Lookup(UINT id, wchar_t* text, bool* fromFallback) const;

    wchar_t m_szFolder[MAX_PATH] = {};
    wchar_t m_szPrefix[QVLOC_PREFIX_CHARS] = {};
    LANGID m_language = 0;
    LCID m_startThreadLocale = 0;
    int m_mode = QVLOC_MODE_FILES_FIRST;
    unsigned m_availability[QVLOC_LANGUAGE_COUNT] = {};
    int m_controlIdOffset = 0;
    HMODULE m_resources = nullptr;
    std::map<UINT, std::wstring> m_cache;
};

// A string of the module's string table in exactly that language (no fallback);
// false for an absent or empty entry. Cut to length - 1 characters.
bool QVLocLoadResourceString(HMODULE module, UINT id, LANGID language, wchar_t* text, int length);
