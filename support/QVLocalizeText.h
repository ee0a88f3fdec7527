#pragma once
// Text rules of the localization that need no Windows: the escapes of language
// files, printf conversions of translated formats, accelerator texts of menus.

#include <string>
#include <vector>

// Replaces the escapes of a language-file text in place: a backslash followed by
// a second backslash, by n or by t becomes a blank followed by a backslash, a line
// feed or a tab, so the text keeps its length ("a\nb" reads as "a \x0Ab").
void QVLocUnescapeInPlace(wchar_t* text);

// The printf conversions of a format in order, each reduced to what decides the
// argument it takes: '*' for a star width or precision, then the length modifier
// and the conversion letter ("%-5ls" gives "ls", "%*d" gives "*" and "d").
// "%%" is no conversion. A conversion that does not end in a known letter is
// kept as "?<rest>" so that it never equals a sound one.
std::vector<std::wstring> QVLocFormatConversions(const wchar_t* format);
// Whether both formats take the same arguments in the same order.
bool QVLocSameConversions(const wchar_t* format, const wchar_t* reference);

// Menu text of an item with an accelerator: "text\tkey" or "text\tmodifier+key"
// (modifier empty or null for none). The mnemonic '&' goes before the first
// occurrence of a one-letter key in the text (case-insensitive), otherwise at the
// start; the text's own single '&' marks are dropped first ("&&" stays).
std::wstring QVLocMenuTextWithAccelerator(const wchar_t* text, const wchar_t* modifier, const wchar_t* key);

// The part after the first line feed (the tool-tip part of a command prompt);
// the whole text when it has no line feed.
const wchar_t* QVLocToolTipPart(const wchar_t* prompt);

// Copies at most length - 1 characters and terminates; nothing for length <= 0.
void QVLocCopyBounded(wchar_t* buffer, int length, const wchar_t* text);
