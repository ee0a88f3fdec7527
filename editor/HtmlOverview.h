#pragma once
// The page of the HTML overview: one command set for one remote-control
// model, as HTML5 text. Everything from the set is escaped, so a set named
// "<script>" or holding "&" shows as text.
//
// Pure logic: no Windows header. The writer (HtmlWriter.h) supplies the
// localized texts and writes the result to the data folder.
#include <functional>
#include <string>
#include <vector>

#include "cmdsets/Keymap.h"
#include "cmdsets/PrgInfo.h"

// One row of a key layout: 3 or 4 cells, -1 is an empty cell.
struct tagHTMLKEYROW {
    int nCells;
    int keys[4];
};

// Rows as on the remote control of the RC type; types without a layout of
// their own take RCTYPE_NEC_04EB's. Empty for MIDI input (its notes are listed).
const std::vector<tagHTMLKEYROW>& GetHtmlKeyLayout(int rcType);
// Model name of the "Remote control" line; empty for types without a picture.
std::wstring GetHtmlModelName(int rcType);

// Text for HTML content and quoted attribute values. Control characters other
// than tab and line feed are dropped: HTML does not allow them.
std::wstring EscapeHtml(const std::wstring& text);

struct tagHTMLOVERVIEW_TEXTS {
    std::function<std::wstring(unsigned stringId)> getString;  // localized texts
    std::function<std::wstring(int keyId)> getKeyName;         // key names in the UI language
    std::wstring generated;        // date and time of the footer
    std::wstring styleSheetHref;   // beside the page: "Kanzo.css"
    std::wstring pictureHref;      // "Kanzo.jpg"; empty: no picture
};

// The command's description: "-", the type label with the subtype word, or the
// keystroke with its modifiers ("Alt+Ctrl+Shift+RETURN").
std::wstring DescribeHtmlCommand(const tagWINCMD& cmd, const tagHTMLOVERVIEW_TEXTS& texts);

// The whole page (UTF-8 is the writer's business; the page declares it).
std::wstring BuildHtmlOverview(int rcType, const tagPRGINFO& info, const CKeymap& keymap,
                               const tagHTMLOVERVIEW_TEXTS& texts);
