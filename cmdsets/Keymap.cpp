#include "cmdsets/Keymap.h"

#include <string>

#include "cmdsets/CmdSetText.h"
#include "receivers/RcKeys.h"

namespace {

std::wstring Ui(unsigned stringId) {
    return GetCmdSetString(stringId, false);
}

tagWINCMD MakeCmd(int nType, int nSubType, int nValue, const std::wstring& text) {
    tagWINCMD cmd;
    cmd.nType = nType;
    cmd.nSubType = nSubType;
    cmd.nValue = nValue;
    CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, text.c_str());
    return cmd;
}

tagWINCMD Repeating(tagWINCMD cmd, int delay, int interval) {
    cmd.fRepeat = 1;
    cmd.nRepeatDelay = delay;
    cmd.nRepeatInterval = interval;
    return cmd;
}

tagWINCMD NoInterval(tagWINCMD cmd) {
    cmd.nRepeatInterval = 0;
    return cmd;
}

}  // namespace

bool CKeymap::Lookup(int keyId, tagWINCMD& cmd) const {
    auto it = m_map.find(keyId);
    if (it == m_map.end())
        return false;
    cmd = it->second;
    return true;
}

void CKeymap::SetAt(int keyId, const tagWINCMD& cmd) {
    m_map[keyId] = cmd;
}

void CKeymap::Copy(const CKeymap& other) {
    Map copy = other.m_map;  // through a temporary, so a self-copy is harmless
    m_map.swap(copy);
}

bool CKeymap::IsEqual(const CKeymap& other) const {
    if (m_map.size() != other.m_map.size())
        return false;
    for (const auto& entry : m_map) {
        auto it = other.m_map.find(entry.first);
        if (it == other.m_map.end() || !IsEqualWinCmd(entry.second, it->second))
            return false;
    }
    return true;
}

bool CKeymap::LoadDefaults() {
    RemoveAll();
    for (int n = 0; n <= 9; ++n)
        SetAt(KEYID_PROG_0 + n, MakeCmd(CMD_KEY, 96 + n, 0, std::to_wstring(n)));
    SetAt(KEYID_POWER, MakeCmd(CMD_WIN, 0, 0, Ui(53382)));
    SetAt(KEYID_MENU, MakeCmd(CMD_OSD, 0, 0, Ui(53953)));
    const tagWINCMD fullScreen = MakeCmd(CMD_WIN, 5, 0, Ui(53579));
    SetAt(KEYID_FULLSCREEN, fullScreen);
    SetAt(KEYID_GREEN_FULLSCREEN, fullScreen);
    const tagWINCMD time = MakeCmd(CMD_OSD, 2, 0, Ui(4462));
    SetAt(KEYID_TIMER, time);
    SetAt(KEYID_RED_TIMER, time);
    const tagWINCMD volumeUp = Repeating(MakeCmd(CMD_SYS, 1, 10, Ui(56150) + L" +"), 1000, 100);
    SetAt(KEYID_VOLUME_PLUS, volumeUp);
    SetAt(KEYID_VOLUME_RIGHT, volumeUp);
    const tagWINCMD volumeDown = Repeating(MakeCmd(CMD_SYS, 1, -10, Ui(56150) + L" -"), 1000, 100);
    SetAt(KEYID_VOLUME_MINUS, volumeDown);
    SetAt(KEYID_VOLUME_LEFT, volumeDown);
    SetAt(KEYID_MUTE, MakeCmd(CMD_SYS, 2, 0, Ui(56020)));
    SetAt(KEYID_LEFT, Repeating(MakeCmd(CMD_KEY, 37, 0, Ui(55055)), 1000, 100));
    SetAt(KEYID_UP, Repeating(MakeCmd(CMD_KEY, 38, 0, Ui(55056)), 1000, 100));
    SetAt(KEYID_RIGHT, Repeating(MakeCmd(CMD_KEY, 39, 0, Ui(55057)), 1000, 100));
    SetAt(KEYID_DOWN, Repeating(MakeCmd(CMD_KEY, 40, 0, Ui(55058)), 1000, 100));
    const tagWINCMD enter = NoInterval(MakeCmd(CMD_KEY, 13, 0, Ui(55043)));
    SetAt(KEYID_OK, enter);
    SetAt(KEYID_OK2, enter);
    const tagWINCMD backspace = NoInterval(MakeCmd(CMD_KEY, 8, 0, Ui(55040)));
    SetAt(KEYID_BACK, backspace);
    SetAt(KEYID_BACK2, backspace);
    SetAt(KEYID_AV, NoInterval(MakeCmd(CMD_KEY, 9, 0, Ui(55041))));
    SetAt(KEYID_DELETE, NoInterval(MakeCmd(CMD_KEY, 46, 0, Ui(55061))));
    SetAt(KEYID_PROG_PLUS, NoInterval(MakeCmd(CMD_KEY, 33, 0, Ui(55051))));
    SetAt(KEYID_PROG_MINUS, NoInterval(MakeCmd(CMD_KEY, 34, 0, Ui(55052))));
    SetAt(KEYID_PLAY, NoInterval(MakeCmd(CMD_KEY, 179, 0, Ui(54152))));
    SetAt(KEYID_PAUSE, NoInterval(MakeCmd(CMD_KEY, 179, 0, Ui(54149))));
    SetAt(KEYID_STOP, NoInterval(MakeCmd(CMD_KEY, 178, 0, Ui(54359))));
    SetAt(KEYID_PREVIOUS, NoInterval(MakeCmd(CMD_KEY, 177, 0, Ui(54159))));
    SetAt(KEYID_NEXT, NoInterval(MakeCmd(CMD_KEY, 176, 0, Ui(54019))));
    const tagWINCMD previousProgram = MakeCmd(CMD_KEY, 27, CMD_MOD_ALT | CMD_MOD_SHIFT, Ui(4503));
    SetAt(KEYID_FREW, previousProgram);
    SetAt(KEYID_PREVIOUS_FREW, previousProgram);
    const tagWINCMD nextProgram = MakeCmd(CMD_KEY, 27, CMD_MOD_ALT, Ui(4502));
    SetAt(KEYID_FFWD, nextProgram);
    SetAt(KEYID_NEXT_FFWD, nextProgram);
    // MIDI note C5 opens the main menu like the Menu key.
    tagWINCMD menu;
    Lookup(KEYID_MENU, menu);
    SetAt(60, menu);
    return true;
}

bool LoadTvSpecialKeymap(CKeymap& keymap) {
    auto menuItem = [](int itemId, const std::wstring& text, int fNoOsd) {
        tagWINCMD cmd = MakeCmd(CMD_CTL, 0, itemId, text);
        cmd.fNoOsd = fNoOsd;
        return cmd;
    };
    const std::wstring page = Ui(56048);
    keymap.SetAt(KEYID_AUDIO, menuItem(2411, Ui(56121), 0));
    for (int key : {KEYID_FREW, KEYID_PROG_MINUS})
        keymap.SetAt(key, menuItem(33028, page + L" -", 1));
    for (int key : {KEYID_FFWD, KEYID_PROG_PLUS})
        keymap.SetAt(key, menuItem(33029, page + L" +", 1));
    for (int key : {KEYID_PREVIOUS, KEYID_PREVIOUS_FREW})
        keymap.SetAt(key, menuItem(33046, page + L" - 100", 1));
    for (int key : {KEYID_NEXT, KEYID_NEXT_FFWD})
        keymap.SetAt(key, menuItem(33045, page + L" + 100", 1));
    for (int key : {KEYID_RED, KEYID_RED_TIMER})
        keymap.SetAt(key, menuItem(33047, Ui(54276), 1));
    for (int key : {KEYID_GREEN, KEYID_GREEN_FULLSCREEN})
        keymap.SetAt(key, menuItem(33048, Ui(53633), 1));
    for (int key : {KEYID_YELLOW, KEYID_YELLOW_AUDIO})
        keymap.SetAt(key, menuItem(33049, Ui(54720), 1));
    for (int key : {KEYID_BLUE, KEYID_BLUE_MOSAIC, KEYID_BLUE_ANGLE})
        keymap.SetAt(key, menuItem(33050, Ui(53313), 1));
    for (int n = 0; n <= 9; ++n) {
        tagWINCMD digit = MakeCmd(CMD_KEY, L'0' + n, 0, std::wstring());
        digit.fNoOsd = 1;
        keymap.SetAt(KEYID_PROG_0 + n, digit);
    }
    return true;
}
