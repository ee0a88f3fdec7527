#pragma once
// Rules that decide whether a command-set file can be trusted before it is
// changed: which layout its key lines are in, whether its stamp is a number,
// whether a section holds anything this program writes.
//
// Pure logic: no Windows header. Section texts are "name=value\0...\0\0" as
// the profile functions return them.
#include <cstddef>
#include <string>

// The layout stamp as the profile functions would read it ("%d" with leading
// blanks and a sign); false when it is missing or not a number.
bool ParseLayoutStamp(const std::wstring& text, int& version);

// Key lines of one section: those exactly in the current layout and the others.
struct tagKEYLINECOUNT {
    int nCurrent = 0;
    int nOther = 0;
};
void CountKeyLines(const wchar_t* sectionText, std::size_t length, tagKEYLINECOUNT& count);

// A name of an entry this program writes: a key id, a menu slot, a header
// key of a set or the layout stamp.
bool IsKnownEntryName(const std::wstring& name);
// True when one entry of the section has a known name.
bool HasKnownEntry(const wchar_t* sectionText, std::size_t length);
