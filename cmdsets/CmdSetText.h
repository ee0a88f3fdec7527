#pragma once
// Where the command-set code takes its localized texts from.
//
// The key names, the type labels and the texts of the built-in sets come from
// the localization. The source is a plain lookup function so this code stays
// pure; the application installs the real localization once at start-up,
// before the first key name is asked for. Until then the English texts below
// are used for both languages.
#include <functional>
#include <string>

using CmdSetStringLookup = std::function<std::wstring(unsigned stringId)>;

// english: the texts of UI language 2057; ui: the current UI language.
void SetCmdSetStringSource(CmdSetStringLookup english, CmdSetStringLookup ui);

std::wstring GetCmdSetString(unsigned stringId, bool fEnglish);

// English texts of the strings this folder uses; "" for any other id.
std::wstring GetFallbackEnglishString(unsigned stringId);
