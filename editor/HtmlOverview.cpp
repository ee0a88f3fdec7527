// The overview page. The layout of RC type 0x0002 is the remote's own; the
// other types' rows are laid out from their key-code tables, grouped the way
// their remotes group the keys (power row, menu, cursor block, digits in
// threes, channel and volume, transport, colours, media keys).
#include "editor/HtmlOverview.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <set>

#include "cmdsets/WinCmd.h"
#include "commands/VirtualKeyNames.h"
#include "receivers/RcKeys.h"
#include "resources/StringIds.h"

namespace {

const std::vector<tagHTMLKEYROW> kLayout866B = {
    {3, {140, 160, 141, 0}},   {4, {201, 202, 203, 221}}, {4, {204, 205, 206, 220}},
    {4, {207, 208, 209, 241}}, {4, {223, 200, 210, 240}}, {3, {243, 180, 242, 0}},
    {3, {182, 186, 183, 0}},   {3, {161, 181, 187, 0}},   {4, {264, 265, 263, 260}},
    {4, {266, 267, 262, 261}},
};

// Key groups of a remote, top to bottom; a row never mixes two groups.
int KeyGroup(int keyId) {
    if (keyId >= KEYID_PROG_1 && keyId <= KEYID_PROG_9)
        return 3;
    if (keyId == KEYID_PROG_0 || keyId == KEYID_DIGITS)
        return 4;
    if (keyId < KEYID_MENU)
        return 0;
    if (keyId < KEYID_UP)
        return 1;
    if (keyId < KEYID_PROG_0)
        return 2;
    if (keyId < KEYID_PLAY)
        return 5;
    if (keyId < KEYID_RED)
        return 6;
    if (keyId < KEYID_DVD_MENU || keyId >= KEYID_RED_TIMER)
        return 7;
    return 8;
}

std::vector<tagHTMLKEYROW> LayoutFromCodes(int rcType) {
    std::set<int> keys;
    for (int code = 0; code < NEC_CODE_REPEAT; ++code) {
        int keyId = -1;
        if (MapKeyCodeToKeyId(rcType, static_cast<std::uint8_t>(code), &keyId) && keyId >= 0)
            keys.insert(keyId);
    }
    std::map<int, std::vector<int>> groups;
    for (int keyId : keys)
        groups[KeyGroup(keyId)].push_back(keyId);
    std::vector<tagHTMLKEYROW> rows;
    for (const auto& group : groups) {
        const int perRow = group.first == 3 ? 3 : 4;
        const std::vector<int>& ids = group.second;
        for (std::size_t i = 0; i < ids.size(); i += perRow) {
            tagHTMLKEYROW row = {perRow < 4 ? 3 : 4, {0, 0, 0, 0}};
            for (int cell = 0; cell < row.nCells; ++cell)
                row.keys[cell] = i + cell < ids.size() ? ids[i + cell] : -1;
            rows.push_back(row);
        }
    }
    return rows;
}

struct tagMODELNAME {
    int nRcType;
    const wchar_t* szName;
};

constexpr tagMODELNAME kModelNames[] = {
    {RCTYPE_MIDI, L"MIDI In"},          {RCTYPE_NEC_866B, L"Kanzo RC 866B"},
    {RCTYPE_NEC_04FB, L"Kanzo RC 04FB"}, {RCTYPE_NEC_04EB, L"Kanzo RC 04EB"},
    {RCTYPE_NEC_1400, L"Kanzo RC 1400"}, {RCTYPE_0080, L"Kanzo RC 1400"},
    {RCTYPE_NEC_04EB_ALT, L"Kanzo RC 04EB II"}, {RCTYPE_MORVANE, L"Kanzo RC 4545"},
    {RCTYPE_NEC_02BD, L"Kanzo RC 02BD"}, {RCTYPE_2000, L"Kanzo RC 02BD"},
};

std::wstring FolderOf(const wchar_t* path) {
    std::wstring text(path);
    std::size_t slash = text.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : text.substr(0, slash);
}

std::wstring KeystrokeName(int code) {
    std::wstring name = GetVirtualKeyName(code);
    if (name.compare(0, 3, L"VK_") == 0)
        name.erase(0, 3);
    while (!name.empty() && name.back() == L' ')
        name.pop_back();
    return name;
}

std::wstring Str(const tagHTMLOVERVIEW_TEXTS& texts, unsigned id) {
    return texts.getString ? texts.getString(id) : std::wstring();
}

std::wstring Percent(int cells) { return std::to_wstring(100 / cells) + L"%"; }

// First text (OSD text) and second text (description), already escaped.
void CommandCell(std::wstring& out, const tagWINCMD& cmd, const tagHTMLOVERVIEW_TEXTS& texts, bool tableForm) {
    const std::wstring first = cmd.nType != CMD_NONE ? EscapeHtml(cmd.szText) : L"-";
    const std::wstring second = EscapeHtml(DescribeHtmlCommand(cmd, texts));
    if (tableForm) {
        out += L"<td class=\"osd\" style=\"width:40%\"><b>" + first + L"</b></td>";
        out += L"<td style=\"width:30%\">" + second + L"</td>\n";
    } else {
        out += L"<b>" + first + L"</b><br><i><small>" + second + L"</small></i>";
    }
}

void InfoRow(std::wstring& out, const std::wstring& label, const std::wstring& value) {
    out += L"<tr><td style=\"width:40%\">" + EscapeHtml(label) + L":</td><td>" + EscapeHtml(value) +
           L"</td></tr>\n";
}

}  // namespace

const std::vector<tagHTMLKEYROW>& GetHtmlKeyLayout(int rcType) {
    static const std::vector<tagHTMLKEYROW> none;
    static const std::map<int, std::vector<tagHTMLKEYROW>> layouts = [] {
        std::map<int, std::vector<tagHTMLKEYROW>> all;
        all[RCTYPE_NEC_866B] = kLayout866B;
        for (int type : {RCTYPE_NEC_04FB, RCTYPE_NEC_04EB, RCTYPE_NEC_1400, RCTYPE_NEC_04EB_ALT, RCTYPE_MORVANE,
                         RCTYPE_NEC_02BD})
            all[type] = LayoutFromCodes(type);
        // These types share their remote (and its picture) with another type.
        all[RCTYPE_0080] = all[RCTYPE_NEC_1400];
        all[RCTYPE_2000] = all[RCTYPE_NEC_02BD];
        return all;
    }();
    if (rcType == RCTYPE_MIDI)
        return none;
    auto it = layouts.find(rcType);
    return it != layouts.end() ? it->second : layouts.at(RCTYPE_NEC_04EB);
}

std::wstring GetHtmlModelName(int rcType) {
    for (const tagMODELNAME& model : kModelNames) {
        if (model.nRcType == rcType)
            return model.szName;
    }
    return std::wstring();
}

std::wstring EscapeHtml(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"': out += L"&quot;"; break;
        case L'\'': out += L"&#39;"; break;
        default:
            if ((c < 0x20 && c != L'\t' && c != L'\n') || (c >= 0x7F && c < 0xA0))
                break;
            out += c;
        }
    }
    return out;
}

std::wstring DescribeHtmlCommand(const tagWINCMD& cmd, const tagHTMLOVERVIEW_TEXTS& texts) {
    if (cmd.nType == CMD_NONE)
        return L"-";
    const std::wstring label = GetCommandTypeName(cmd.nType, true);
    if (cmd.nType == CMD_SYS) {
        static const unsigned subtypeWords[] = {IDS_POWER, IDS_VOLUME, IDS_MUTE, IDS_MOUSE, IDS_MOUSE, IDS_CURSOR};
        if (cmd.nSubType < 0 || cmd.nSubType >= 6)
            return label;
        return L"\n" + label + L" (" + Str(texts, subtypeWords[cmd.nSubType]) + L")";
    }
    if (cmd.nType == CMD_KEY) {
        std::wstring modifiers;
        if (cmd.nValue & CMD_MOD_ALT)
            modifiers += Str(texts, IDS_KEY_ALT) + L"+";
        if (cmd.nValue & CMD_MOD_CTRL)
            modifiers += Str(texts, IDS_KEY_CTRL) + L"+";
        if (cmd.nValue & CMD_MOD_SHIFT)
            modifiers += Str(texts, IDS_KEY_SHIFT) + L"+";
        return modifiers + KeystrokeName(cmd.nSubType);
    }
    return label;
}

std::wstring BuildHtmlOverview(int rcType, const tagPRGINFO& info, const CKeymap& keymap,
                               const tagHTMLOVERVIEW_TEXTS& texts) {
    std::wstring out;
    out += L"<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n";
    out += L"<title>Vemtra Remote Control Editor</title>\n";
    out += L"<link rel=\"stylesheet\" href=\"" + EscapeHtml(texts.styleSheetHref) + L"\">\n";
    out += L"</head>\n<body>\n<div class=\"frame\">\n";
    out += L"<h2 class=\"pad\">" + EscapeHtml(info.szName) + L"</h2>\n<hr class=\"pad\">\n";

    out += L"<table class=\"pad info\">\n";
    InfoRow(out, Str(texts, IDS_DESCRIPTION), info.szDescription);
    InfoRow(out, Str(texts, IDS_EXECUTABLE_FILE), info.szExecutable);
    InfoRow(out, Str(texts, IDS_PATH), FolderOf(info.szAppPath));
    InfoRow(out, Str(texts, IDS_COMMAND_LINE), info.szCommandLine);
    InfoRow(out, Str(texts, IDS_WINDOW_CAPTION), info.szWindowCaption);
    InfoRow(out, Str(texts, IDS_REMOTE_CONTROL), GetHtmlModelName(rcType));
    out += L"</table>\n<hr class=\"pad\">\n";

    if (rcType == RCTYPE_MIDI) {
        for (int note = KEYID_MIDI_FIRST; note <= KEYID_MIDI_LAST; ++note) {
            tagWINCMD cmd;
            if (!keymap.Lookup(note, cmd) || cmd.nType == CMD_NONE)
                continue;
            const std::wstring name = texts.getKeyName ? texts.getKeyName(note) : std::wstring();
            out += L"<table class=\"tealtable\">\n<tr>\n";
            out += L"<td style=\"width:20%\">Note " + std::to_wstring(note) + L"</td>\n";
            out += L"<td style=\"width:10%\">" + EscapeHtml(name) + L"</td>\n";
            CommandCell(out, cmd, texts, true);
            out += L"</tr>\n</table>\n";
        }
    } else {
        for (const tagHTMLKEYROW& row : GetHtmlKeyLayout(rcType)) {
            out += L"<table class=\"tealtable\">\n<tr>\n";
            const std::wstring width = Percent(row.nCells);
            for (int cell = 0; cell < row.nCells; ++cell) {
                out += L"<td style=\"width:" + width + L"\">";
                if (row.keys[cell] >= 0) {
                    // The key's name too: the grid alone does not tell the keys apart.
                    const std::wstring name = texts.getKeyName ? texts.getKeyName(row.keys[cell]) : std::wstring();
                    out += L"<span class=\"key\">" + EscapeHtml(name) + L"</span><br>";
                    tagWINCMD cmd;
                    cmd.nRepeatDelay = cmd.nRepeatInterval = 0;  // an unbound key shows an all-zero command
                    keymap.Lookup(row.keys[cell], cmd);
                    CommandCell(out, cmd, texts, false);
                }
                out += L"</td>\n";
            }
            out += L"</tr>\n</table>\n";
        }
    }

    out += L"<hr class=\"pad\">\n<p class=\"copyright\">";
    out += L"Generated " + EscapeHtml(texts.generated) + L"<br>\n";
    out += L"Kanzo remote control editor<br>\n";
    out += L"<a href=\"https://kanzo.example.org\">kanzo.example.org</a><br>\n";
    if (!texts.pictureHref.empty())
        out += L"<img class=\"picture\" src=\"" + EscapeHtml(texts.pictureHref) + L"\" alt=\"" +
               EscapeHtml(Str(texts, IDS_REMOTE_CONTROL)) + L"\">";
    out += L"</p>\n</div>\n</body>\n</html>\n";
    return out;
}
