#pragma once
// Reads a language file the way the profile functions do, without Windows, so
// the checks of the shipped language files also run natively.

#include <string>
#include <utility>
#include <vector>

struct tagLNGFILE {
    bool fReadable = false;
    bool fUtf16Bom = false;       // starts with FF FE
    bool fStringsSection = false; // has a [Strings] section
    // Keys and values of [Strings] in file order, blanks around them and one
    // pair of enclosing quotes (single or double) of a value removed.
    std::vector<std::pair<std::wstring, std::wstring>> entries;
};

tagLNGFILE ReadLngFile(const std::string& path);
// Whether a key is a decimal id ("4009") and its value.
bool LngKeyToId(const std::wstring& key, unsigned* id);
