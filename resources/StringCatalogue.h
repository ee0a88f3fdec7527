#pragma once
// The English string catalogue as data, for checks of the language files and
// of the resources against it. Generated from resources/StringCatalogue.txt.

#include <cstddef>

constexpr unsigned STRINGCAT_FIXED = 1;          // a name or sign that is not translated
constexpr unsigned STRINGCAT_RESOURCE_ONLY = 2;  // a command prompt: resources only, no language file

struct tagSTRINGCATALOGUE_ENTRY {
    unsigned nId;
    const wchar_t* pszEnglishUk;
    const wchar_t* pszEnglishUs;  // nullptr: the same as the UK text
    unsigned fFlags;
};

// Every entry in the catalogue's order.
const tagSTRINGCATALOGUE_ENTRY* GetStringCatalogue(std::size_t* count);
