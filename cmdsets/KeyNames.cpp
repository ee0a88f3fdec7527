#include "cmdsets/KeyNames.h"

#include <cwchar>
#include <mutex>

#include "cmdsets/WinCmd.h"
#include "support/QVDebug.h"

namespace {

std::wstring RemoveAmpersands(std::wstring text) {
    std::wstring out;
    for (wchar_t c : text)
        if (c != L'&')
            out += c;
    return out;
}

std::wstring NameOfRemoteKey(int keyId, const CmdSetStringLookup& s) {
    auto pair = [](const std::wstring& a, const std::wstring& b) { return a + L"/" + b; };
    if (keyId >= 200 && keyId <= 209)
        return s(56052) + L" " + std::to_wstring(keyId - 200);
    switch (keyId) {
    case 140: return s(4452);
    case 141: return s(53579);
    case 142: return s(54402);
    case 143: return L"Mosaic";
    case 144: return s(56106);
    case 160: return s(53953);
    case 161: return s(56115);
    case 162: return L"EPG";
    case 163: return L"Program information";
    case 180: return s(54467);
    case 181: return s(53454);
    case 182: return s(53889);
    case 183: return s(54287);
    case 184:
    case 186: return RemoveAmpersands(s(1));
    case 185:
    case 187: return s(53312);
    case 188: return s(53441);
    case 210: return L"-/--";
    case 220: return s(56052) + L" -";
    case 221: return s(56052) + L" +";
    case 222: return L"Last channel";
    case 223: return L"AV";
    case 240: return s(56150) + L" -";
    case 241: return s(56150) + L" +";
    case 242: return s(56020);
    case 243: return s(55810);
    case 244: return pair(s(56150), s(53889));
    case 245: return pair(s(56150), s(54287));
    case 260: return s(54151);
    case 261: return s(54359);
    case 262: return s(54149);
    case 263: return s(54274);
    case 264: return s(4500);
    case 265: return s(4501);
    case 266: return s(54159);
    case 267: return s(54019);
    case 268: return pair(s(54159), s(4500));
    case 269: return pair(s(54019), s(4501));
    case 280: return s(54276);
    case 281: return s(53633);
    case 282: return s(54720);
    case 283: return s(53313);
    case 301: return L"DVD Menu";
    case 302: return L"Subtitles";
    case 303: return L"TV";
    case 304: return L"DVD";
    case 305: return s(56144);
    case 306: return L"Music";
    case 307: return L"Picture";
    case 308: return L"Angle";
    case 320: return pair(s(54276), s(54402));
    case 321: return pair(s(53633), s(53579));
    case 322: return pair(s(54720), s(55810));
    case 323: return pair(s(53313), L"Mosaic");
    case 324: return pair(s(53313), L"Angle");
    default: return std::wstring();
    }
}

struct ProcessKeyNames {
    std::once_flag built;
    CKeyNameTable english;
    CKeyNameTable ui;
};

ProcessKeyNames& KeyNames() {
    static ProcessKeyNames names;
    return names;
}

const CKeyNameTable& Table(bool fEnglish) {
    ProcessKeyNames& names = KeyNames();
    std::call_once(names.built, [&names] {
        names.english.Build([](unsigned id) { return GetCmdSetString(id, true); });
        names.ui.Build([](unsigned id) { return GetCmdSetString(id, false); });
    });
    return fEnglish ? names.english : names.ui;
}

}  // namespace

void CKeyNameTable::Build(const CmdSetStringLookup& lookup) {
    CQVTraceScope scope(QVL_IO, QVC_COMMAND, L"CCmdSetAdmin::InitKeynames");
    static const wchar_t* const notes[12] = {L"C",  L"C#", L"D",  L"D#", L"E",  L"F",
                                             L"F#", L"G",  L"G#", L"A",  L"A#", L"B"};
    for (int id = 0; id < 128; ++id) {
        std::wstring name = std::wstring(notes[id % 12]) + std::to_wstring(id / 12);
        CopyFixedText(m_names[id], KEYNAME_LEN, name.c_str());
    }
    for (int id = 128; id < KEYNAME_COUNT; ++id) {
        std::wstring name = NameOfRemoteKey(id, lookup);
        CopyFixedText(m_names[id], KEYNAME_LEN, name.c_str());
        TracePrint(QVL_DETAIL, QVC_KEYNAMES, L"Keyname %3d: %ls\n", id, m_names[id]);
    }
}

const wchar_t* CKeyNameTable::Get(int keyId) const {
    unsigned index = static_cast<unsigned>(keyId) & 0x00FFFFFFu;
    if (index >= static_cast<unsigned>(KEYNAME_COUNT))
        return L"";
    return m_names[index];
}

const wchar_t* GetKeyName(int keyId, bool fEnglish) {
    return Table(fEnglish).Get(keyId);
}

bool IsValidKey(int keyId) {
    return GetKeyName(keyId, true)[0] != L'\0';
}
