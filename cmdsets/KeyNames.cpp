#include "cmdsets/KeyNames.h"

#include <cwchar>
#include <mutex>

#include "cmdsets/WinCmd.h"
#include "receivers/RcKeys.h"
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
    if (keyId >= KEYID_PROG_0 && keyId <= KEYID_PROG_9)
        return s(56052) + L" " + std::to_wstring(keyId - KEYID_PROG_0);
    switch (keyId) {
    case KEYID_POWER: return s(4452);
    case KEYID_FULLSCREEN: return s(53579);
    case KEYID_TIMER: return s(54402);
    case KEYID_MOSAIC: return L"Mosaic";
    case KEYID_STILL_IMAGE: return s(56106);
    case KEYID_MENU: return s(53953);
    case KEYID_TELETEXT: return s(56115);
    case KEYID_EPG: return L"EPG";
    case KEYID_PROGRAM_INFO: return L"Program information";
    case KEYID_UP: return s(54467);
    case KEYID_DOWN: return s(53454);
    case KEYID_LEFT: return s(53889);
    case KEYID_RIGHT: return s(54287);
    case KEYID_OK:
    case KEYID_OK2: return RemoveAmpersands(s(1));
    case KEYID_BACK:
    case KEYID_BACK2: return s(53312);
    case KEYID_DELETE: return s(53441);
    case KEYID_DIGITS: return L"-/--";
    case KEYID_PROG_MINUS: return s(56052) + L" -";
    case KEYID_PROG_PLUS: return s(56052) + L" +";
    case KEYID_LAST_CHANNEL: return L"Last channel";
    case KEYID_AV: return L"AV";
    case KEYID_VOLUME_MINUS: return s(56150) + L" -";
    case KEYID_VOLUME_PLUS: return s(56150) + L" +";
    case KEYID_MUTE: return s(56020);
    case KEYID_AUDIO: return s(55810);
    case KEYID_VOLUME_LEFT: return pair(s(56150), s(53889));
    case KEYID_VOLUME_RIGHT: return pair(s(56150), s(54287));
    case KEYID_PLAY: return s(54151);
    case KEYID_STOP: return s(54359);
    case KEYID_PAUSE: return s(54149);
    case KEYID_RECORD: return s(54274);
    case KEYID_FREW: return s(4500);
    case KEYID_FFWD: return s(4501);
    case KEYID_PREVIOUS: return s(54159);
    case KEYID_NEXT: return s(54019);
    case KEYID_PREVIOUS_FREW: return pair(s(54159), s(4500));
    case KEYID_NEXT_FFWD: return pair(s(54019), s(4501));
    case KEYID_RED: return s(54276);
    case KEYID_GREEN: return s(53633);
    case KEYID_YELLOW: return s(54720);
    case KEYID_BLUE: return s(53313);
    case KEYID_DVD_MENU: return L"DVD Menu";
    case KEYID_SUBTITLES: return L"Subtitles";
    case KEYID_TV: return L"TV";
    case KEYID_DVD: return L"DVD";
    case KEYID_VIDEO: return s(56144);
    case KEYID_MUSIC: return L"Music";
    case KEYID_PICTURE: return L"Picture";
    case KEYID_ANGLE: return L"Angle";
    case KEYID_RED_TIMER: return pair(s(54276), s(54402));
    case KEYID_GREEN_FULLSCREEN: return pair(s(53633), s(53579));
    case KEYID_YELLOW_AUDIO: return pair(s(54720), s(55810));
    case KEYID_BLUE_MOSAIC: return pair(s(53313), L"Mosaic");
    case KEYID_BLUE_ANGLE: return pair(s(53313), L"Angle");
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
    for (int id = KEYID_MIDI_FIRST; id <= KEYID_MIDI_LAST; ++id) {
        std::wstring name = std::wstring(notes[id % 12]) + std::to_wstring(id / 12);
        CopyFixedText(m_names[id], KEYNAME_LEN, name.c_str());
    }
    for (int id = KEYID_MIDI_LAST + 1; id < KEYNAME_COUNT; ++id) {
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
