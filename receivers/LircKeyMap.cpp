#include "receivers/LircKeyMap.h"

#include "receivers/RcKeys.h"

#include <cwctype>

namespace {

struct tagDEFAULTKEY {
    const char* szButton;
    int nKeyId;
};

// The names of the Linux input layer, which lircd.conf files of today use,
// and the older names that many shipped remote files still carry.
constexpr tagDEFAULTKEY kDefaultKeys[] = {
    {"KEY_POWER", KEYID_POWER}, {"KEY_POWER2", KEYID_POWER}, {"KEY_ZOOM", KEYID_FULLSCREEN},
    {"KEY_SCREEN", KEYID_FULLSCREEN}, {"KEY_TIME", KEYID_TIMER}, {"KEY_MENU", KEYID_MENU},
    {"KEY_TEXT", KEYID_TELETEXT}, {"KEY_EPG", KEYID_EPG}, {"KEY_PROGRAM", KEYID_EPG},
    {"KEY_INFO", KEYID_PROGRAM_INFO}, {"KEY_UP", KEYID_UP}, {"KEY_DOWN", KEYID_DOWN},
    {"KEY_LEFT", KEYID_LEFT}, {"KEY_RIGHT", KEYID_RIGHT}, {"KEY_OK", KEYID_OK}, {"KEY_ENTER", KEYID_OK},
    {"KEY_SELECT", KEYID_OK}, {"KEY_BACK", KEYID_BACK}, {"KEY_EXIT", KEYID_BACK}, {"KEY_ESC", KEYID_BACK},
    {"KEY_DELETE", KEYID_DELETE}, {"KEY_CLEAR", KEYID_DELETE}, {"KEY_0", KEYID_PROG_0}, {"KEY_1", KEYID_PROG_1},
    {"KEY_2", KEYID_PROG_2}, {"KEY_3", KEYID_PROG_3}, {"KEY_4", KEYID_PROG_4}, {"KEY_5", KEYID_PROG_5},
    {"KEY_6", KEYID_PROG_6}, {"KEY_7", KEYID_PROG_7}, {"KEY_8", KEYID_PROG_8}, {"KEY_9", KEYID_PROG_9},
    {"KEY_NUMERIC_0", KEYID_PROG_0}, {"KEY_NUMERIC_1", KEYID_PROG_1}, {"KEY_NUMERIC_2", KEYID_PROG_2},
    {"KEY_NUMERIC_3", KEYID_PROG_3}, {"KEY_NUMERIC_4", KEYID_PROG_4}, {"KEY_NUMERIC_5", KEYID_PROG_5},
    {"KEY_NUMERIC_6", KEYID_PROG_6}, {"KEY_NUMERIC_7", KEYID_PROG_7}, {"KEY_NUMERIC_8", KEYID_PROG_8},
    {"KEY_NUMERIC_9", KEYID_PROG_9}, {"KEY_DIGITS", KEYID_DIGITS}, {"KEY_CHANNELDOWN", KEYID_PROG_MINUS},
    {"KEY_CHANNELUP", KEYID_PROG_PLUS}, {"KEY_LAST", KEYID_LAST_CHANNEL}, {"KEY_AUX", KEYID_AV},
    {"KEY_VOLUMEDOWN", KEYID_VOLUME_MINUS}, {"KEY_VOLUMEUP", KEYID_VOLUME_PLUS}, {"KEY_MUTE", KEYID_MUTE},
    {"KEY_AUDIO", KEYID_AUDIO}, {"KEY_LANGUAGE", KEYID_AUDIO}, {"KEY_PLAY", KEYID_PLAY},
    {"KEY_PLAYPAUSE", KEYID_PLAY}, {"KEY_STOP", KEYID_STOP}, {"KEY_PAUSE", KEYID_PAUSE},
    {"KEY_RECORD", KEYID_RECORD}, {"KEY_REWIND", KEYID_FREW}, {"KEY_FASTFORWARD", KEYID_FFWD},
    {"KEY_PREVIOUS", KEYID_PREVIOUS}, {"KEY_PREVIOUSSONG", KEYID_PREVIOUS}, {"KEY_NEXT", KEYID_NEXT},
    {"KEY_NEXTSONG", KEYID_NEXT}, {"KEY_RED", KEYID_RED}, {"KEY_GREEN", KEYID_GREEN},
    {"KEY_YELLOW", KEYID_YELLOW}, {"KEY_BLUE", KEYID_BLUE}, {"KEY_DVD", KEYID_DVD},
    {"KEY_ROOT_MENU", KEYID_DVD_MENU}, {"KEY_SUBTITLE", KEYID_SUBTITLES}, {"KEY_TV", KEYID_TV},
    {"KEY_VIDEO", KEYID_VIDEO}, {"KEY_MP3", KEYID_MUSIC}, {"KEY_AUDIO_DESC", KEYID_MUSIC},
    {"KEY_CAMERA", KEYID_PICTURE}, {"KEY_IMAGES", KEYID_PICTURE}, {"KEY_ANGLE", KEYID_ANGLE},
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lower(const std::string& text) {
    std::string lower = text;
    for (char& c : lower)
        c = LowerAscii(c);
    return lower;
}

bool EqualNoCase(const char* a, const std::string& b) {
    std::size_t i = 0;
    for (; a[i] && i < b.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return !a[i] && i == b.size();
}

bool EqualNoCase(const wchar_t* a, const std::wstring& b) {
    std::size_t i = 0;
    for (; a[i] && i < b.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return !a[i] && i == b.size();
}

}  // namespace

bool IsLircMappableKey(int keyId) {
    return keyId > KEYID_MIDI_LAST && keyId < KEYID_COUNT && *GetEnglishKeyName(keyId) != L'\0';
}

bool CLircKeyMap::Add(const std::string& remote, const std::string& button, int keyId) {
    if (!IsLircMappableKey(keyId) || button.empty())
        return false;
    m_entries.push_back({remote.empty() ? std::string(kAnyRemote) : Lower(remote), Lower(button), keyId});
    return true;
}

void CLircKeyMap::Clear() {
    m_entries.clear();
    m_useDefaults = true;
}

int CLircKeyMap::Find(const std::string& remote, const std::string& button) const {
    const std::string lowerRemote = Lower(remote);
    const std::string lowerButton = Lower(button);
    const tagENTRY* anyRemote = nullptr;
    for (const tagENTRY& entry : m_entries) {
        if (entry.szButton != lowerButton)
            continue;
        if (entry.szRemote == lowerRemote)
            return entry.nKeyId;
        if (!anyRemote && entry.szRemote == kAnyRemote)
            anyRemote = &entry;
    }
    if (anyRemote)
        return anyRemote->nKeyId;
    if (m_useDefaults) {
        for (const tagDEFAULTKEY& key : kDefaultKeys) {
            if (EqualNoCase(key.szButton, button))
                return key.nKeyId;
        }
    }
    return KEYID_NONE;
}

int LircKeyIdFromText(const std::wstring& text) {
    if (text.empty())
        return KEYID_NONE;
    bool digits = true;
    for (wchar_t c : text)
        digits = digits && c >= L'0' && c <= L'9';
    if (digits) {
        if (text.size() > 3)
            return KEYID_NONE;
        int id = 0;
        for (wchar_t c : text)
            id = id * 10 + (c - L'0');
        return IsLircMappableKey(id) ? id : KEYID_NONE;
    }
    for (int id = KEYID_MIDI_LAST + 1; id < KEYID_COUNT; ++id) {
        if (IsLircMappableKey(id) && EqualNoCase(GetEnglishKeyName(id), text))
            return id;
    }
    return KEYID_NONE;
}
