#include "HtmlCheck.h"

#include <algorithm>
#include <cwctype>
#include <set>

namespace {

const std::set<std::wstring> kVoid = {L"meta", L"link", L"br", L"hr", L"img"};
const std::set<std::wstring> kKnown = {L"html", L"head", L"meta", L"title", L"link", L"body", L"div", L"h2",
                                       L"hr", L"table", L"tr", L"td", L"b", L"i", L"small", L"br", L"p",
                                       L"a", L"img", L"span"};

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// Decodes the entities of text; false on a raw "<" or an unknown entity.
bool Decode(const std::wstring& raw, std::wstring& out) {
    out.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == L'<')
            return false;
        if (raw[i] != L'&') {
            out += raw[i];
            continue;
        }
        std::size_t semi = raw.find(L';', i);
        if (semi == std::wstring::npos)
            return false;
        const std::wstring entity = raw.substr(i + 1, semi - i - 1);
        if (entity == L"amp") out += L'&';
        else if (entity == L"lt") out += L'<';
        else if (entity == L"gt") out += L'>';
        else if (entity == L"quot") out += L'"';
        else if (entity == L"#39") out += L'\'';
        else return false;
        i = semi;
    }
    return true;
}

}  // namespace

tagHTMLCHECK CheckHtml(const std::wstring& page) {
    tagHTMLCHECK result;
    const std::wstring doctype = L"<!DOCTYPE html>\n";
    if (page.compare(0, doctype.size(), doctype) != 0) {
        result.error = L"no HTML5 doctype first";
        return result;
    }
    std::vector<std::size_t> open;  // indexes into result.elements
    std::size_t i = doctype.size();
    auto fail = [&](const std::wstring& what) {
        result.error = what + L" at offset " + std::to_wstring(i);
        return result;
    };
    while (i < page.size()) {
        std::size_t lt = page.find(L'<', i);
        std::wstring text;
        if (!Decode(page.substr(i, (lt == std::wstring::npos ? page.size() : lt) - i), text))
            return fail(L"raw '<' or bad entity in text");
        for (std::size_t index : open)
            result.elements[index].text += text;
        if (lt == std::wstring::npos)
            break;
        std::size_t gt = lt;
        bool quoted = false;
        while (++gt < page.size() && (quoted || page[gt] != L'>'))
            if (page[gt] == L'"')
                quoted = !quoted;
        if (gt >= page.size())
            return fail(L"unterminated tag");
        i = lt;
        std::wstring tag = page.substr(lt + 1, gt - lt - 1);
        if (!tag.empty() && tag[0] == L'/') {
            const std::wstring name = Lower(tag.substr(1));
            if (open.empty() || result.elements[open.back()].name != name)
                return fail(L"</" + name + L"> does not close the open element");
            open.pop_back();
            i = gt + 1;
            continue;
        }
        std::size_t p = 0;
        while (p < tag.size() && std::iswalnum(tag[p]))
            ++p;
        tagHTMLELEMENT element;
        element.name = Lower(tag.substr(0, p));
        if (!kKnown.count(element.name))
            return fail(L"unknown element <" + element.name + L">");
        while (p < tag.size()) {
            if (tag[p] == L' ') {
                ++p;
                continue;
            }
            std::size_t eq = tag.find(L'=', p);
            if (eq == std::wstring::npos || eq + 1 >= tag.size() || tag[eq + 1] != L'"')
                return fail(L"unquoted or empty attribute in <" + element.name + L">");
            std::size_t end = tag.find(L'"', eq + 2);
            std::wstring value;
            if (end == std::wstring::npos || !Decode(tag.substr(eq + 2, end - eq - 2), value))
                return fail(L"bad attribute value in <" + element.name + L">");
            element.attributes.emplace_back(Lower(tag.substr(p, eq - p)), value);
            p = end + 1;
        }
        const std::wstring parent = open.empty() ? L"" : result.elements[open.back()].name;
        const bool misplaced = (element.name == L"tr" && parent != L"table") ||
                               (element.name == L"td" && parent != L"tr") ||
                               (parent == L"table" && element.name != L"tr") ||
                               (parent == L"tr" && element.name != L"td") ||
                               ((element.name == L"meta" || element.name == L"title" || element.name == L"link") &&
                                parent != L"head") ||
                               (element.name == L"html") != open.empty();
        if (misplaced)
            return fail(L"<" + element.name + L"> inside <" + parent + L">");
        result.elements.push_back(element);
        if (!kVoid.count(element.name))
            open.push_back(result.elements.size() - 1);
        i = gt + 1;
    }
    if (!open.empty())
        result.error = L"<" + result.elements[open.back()].name + L"> is never closed";
    return result;
}

std::vector<std::wstring> TextsOf(const tagHTMLCHECK& check, const std::wstring& name) {
    std::vector<std::wstring> texts;
    for (const tagHTMLELEMENT& element : check.elements)
        if (element.name == name)
            texts.push_back(element.text);
    return texts;
}
