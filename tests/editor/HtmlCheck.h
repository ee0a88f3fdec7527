#pragma once
// A small HTML5 structure check for the overview page: the doctype first,
// every attribute value quoted, no raw "<" or stray "&" in text, void
// elements never closed, every other element closed in order, table cells in
// rows in tables. Also gives the decoded text of each element.
#include <string>
#include <vector>

struct tagHTMLELEMENT {
    std::wstring name;                                     // lower case
    std::vector<std::pair<std::wstring, std::wstring>> attributes;  // values decoded
    std::wstring text;                                     // decoded text of the element and its children
};

struct tagHTMLCHECK {
    std::wstring error;  // empty: well-formed
    std::vector<tagHTMLELEMENT> elements;  // in document order
};

tagHTMLCHECK CheckHtml(const std::wstring& page);
// The decoded texts of every element with the name, in document order.
std::vector<std::wstring> TextsOf(const tagHTMLCHECK& check, const std::wstring& name);
