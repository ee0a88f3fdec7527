// The shipped language files against the program's English catalogue: every
// *.lng in resources/lang (translators add files at any time) must hold exactly
// the catalogue's ids, with texts that take the same printf arguments in the
// same order as the English ones, in the encoding the profile functions read.

#include "resources/StringCatalogue.h"
#include "support/QVLocalizeText.h"
#include "tests/support/LngFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#ifndef KANZO_LANG_SOURCE_DIR
#error "KANZO_LANG_SOURCE_DIR names resources/lang"
#endif

namespace {

namespace fs = std::filesystem;

std::vector<std::string> LanguageFiles() {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(fs::u8path(KANZO_LANG_SOURCE_DIR))) {
        std::string name = entry.path().filename().u8string();
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        if (entry.is_regular_file() && lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".lng") == 0)
            files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string PathOf(const std::string& name) { return std::string(KANZO_LANG_SOURCE_DIR) + "/" + name; }

// The catalogue's language-file texts as they stand in English.lng (escaped).
std::map<unsigned, std::wstring> CatalogueTexts(bool us) {
    std::size_t count = 0;
    const tagSTRINGCATALOGUE_ENTRY* entries = GetStringCatalogue(&count);
    std::map<unsigned, std::wstring> texts;
    for (std::size_t i = 0; i < count; ++i) {
        if (entries[i].fFlags & STRINGCAT_RESOURCE_ONLY)
            continue;
        std::wstring escaped;
        const wchar_t* text = us && entries[i].pszEnglishUs ? entries[i].pszEnglishUs : entries[i].pszEnglishUk;
        for (const wchar_t* p = text; *p; ++p) {
            if (*p == L'\\')
                escaped += L"\\\\";
            else if (*p == L'\n')
                escaped += L"\\n";
            else if (*p == L'\t')
                escaped += L"\\t";
            else
                escaped += *p;
        }
        texts[entries[i].nId] = escaped;
    }
    return texts;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::string Join(const std::vector<std::wstring>& parts) {
    std::string out;
    for (const std::wstring& part : parts)
        out += (out.empty() ? "%" : " %") + Narrow(part);
    return out.empty() ? "(none)" : out;
}

TEST(Catalogue, IdsUniqueAndPromptsResourceOnly) {
    std::size_t count = 0;
    const tagSTRINGCATALOGUE_ENTRY* entries = GetStringCatalogue(&count);
    ASSERT_GT(count, 150u);
    std::set<unsigned> ids;
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_TRUE(ids.insert(entries[i].nId).second) << "id " << entries[i].nId << " twice";
        EXPECT_EQ(entries[i].nId > 0xDFFF, (entries[i].fFlags & STRINGCAT_RESOURCE_ONLY) != 0) << entries[i].nId;
        if (entries[i].pszEnglishUs) {
            EXPECT_TRUE(QVLocSameConversions(entries[i].pszEnglishUs, entries[i].pszEnglishUk)) << entries[i].nId;
        }
    }
    // One of these ids tells the localization that a string table exists in a language.
    EXPECT_TRUE(ids.count(100) || ids.count(101) || ids.count(102) || ids.count(1000) || ids.count(0x8000));
}

TEST(Catalogue, EnglishFilesAreTheCatalogue) {
    const struct {
        const char* name;
        bool us;
    } files[] = {{"English.lng", false}, {"English_US.lng", true}, {"Neutral.lng", false}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        tagLNGFILE lng = ReadLngFile(PathOf(file.name));
        ASSERT_TRUE(lng.fReadable);
        std::map<unsigned, std::wstring> expected = CatalogueTexts(file.us);
        std::map<unsigned, std::wstring> actual;
        for (const auto& entry : lng.entries) {
            unsigned id = 0;
            ASSERT_TRUE(LngKeyToId(entry.first, &id)) << Narrow(entry.first);
            actual[id] = entry.second;
        }
        EXPECT_EQ(expected.size(), actual.size());
        for (const auto& text : expected)
            EXPECT_EQ(Narrow(text.second), Narrow(actual[text.first])) << "id " << text.first
                << ": run python3 resources/gen_strings.py --write-lang";
    }
}

TEST(Catalogue, EveryLanguageFileMatchesTheCatalogue) {
    std::map<unsigned, std::wstring> english = CatalogueTexts(false);
    std::vector<std::string> files = LanguageFiles();
    ASSERT_FALSE(files.empty());
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        tagLNGFILE lng = ReadLngFile(PathOf(name));
        ASSERT_TRUE(lng.fReadable);
        EXPECT_TRUE(lng.fUtf16Bom) << "must be UTF-16 little endian with byte-order mark";
        EXPECT_TRUE(lng.fStringsSection) << "has no [Strings] section";
        std::map<unsigned, std::wstring> texts;
        for (const auto& entry : lng.entries) {
            unsigned id = 0;
            if (!LngKeyToId(entry.first, &id)) {
                ADD_FAILURE() << "key '" << Narrow(entry.first) << "' is not a decimal id";
                continue;
            }
            if (!english.count(id))
                ADD_FAILURE() << "id " << id << " is not in the catalogue";
            if (!texts.emplace(id, entry.second).second)
                ADD_FAILURE() << "id " << id << " twice (only the first counts)";
        }
        for (const auto& reference : english) {
            auto found = texts.find(reference.first);
            if (found == texts.end()) {
                ADD_FAILURE() << "id " << reference.first << " missing";
                continue;
            }
            if (found->second.empty())
                ADD_FAILURE() << "id " << reference.first << " is empty";
            std::vector<std::wstring> want = QVLocFormatConversions(reference.second.c_str());
            std::vector<std::wstring> have = QVLocFormatConversions(found->second.c_str());
            if (want != have)
                ADD_FAILURE() << "id " << reference.first << " takes " << Join(have) << " instead of " << Join(want);
            // A backslash only in the three escapes: anything else shows up literally.
            const std::wstring& text = found->second;
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (text[i] != L'\\')
                    continue;
                if (i + 1 < text.size() && (text[i + 1] == L'n' || text[i + 1] == L't' || text[i + 1] == L'\\')) {
                    ++i;
                    continue;
                }
                ADD_FAILURE() << "id " << reference.first << " has a backslash that is no escape";
                break;
            }
        }
    }
}

}  // namespace
