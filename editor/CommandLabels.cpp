#include "editor/CommandLabels.h"

#include "cmdsets/WinCmd.h"
#include "resources/StringIds.h"

namespace {

const std::vector<tagCMDLABEL> kNone;

}  // namespace

const std::vector<tagCMDLABEL>& GetSubTypeLabels(int nType) {
    static const std::vector<tagCMDLABEL> osd = {
        {0, IDS_OSD_MAIN_MENU}, {1, IDS_OSD_APP_INFO}, {2, IDS_OSD_TIME}};
    static const std::vector<tagCMDLABEL> sys = {{0, IDS_POWER},       {1, IDS_VOLUME},     {2, IDS_MUTE},
                                                 {3, IDS_MOUSE_CLICK}, {4, IDS_MOUSE_MOVE}, {5, IDS_CURSOR}};
    static const std::vector<tagCMDLABEL> win = {{0, IDS_CLOSE},         {1, IDS_MAXIMISE},
                                                 {2, IDS_MINIMISE},      {3, IDS_RESTORE},
                                                 {4, IDS_TOGGLE_OPEN_CLOSE}, {5, IDS_TOGGLE_MAXIMISE},
                                                 {6, IDS_TOGGLE_MINIMISE}};
    static const std::vector<tagCMDLABEL> ctl = {
        {0, IDS_MENU_ITEM}, {1, IDS_BUTTON}, {2, IDS_COMBO_BOX}, {3, IDS_SLIDER}};
    switch (nType) {
    case CMD_OSD: return osd;
    case CMD_SYS: return sys;
    case CMD_WIN: return win;
    case CMD_CTL: return ctl;
    default: return kNone;
    }
}

const std::vector<tagCMDLABEL>& GetSysValueLabels(int nSubType) {
    static const std::vector<tagCMDLABEL> power = {
        {0, IDS_SCREEN_SAVER}, {1, IDS_STANDBY}, {2, IDS_HIBERNATE}, {3, IDS_SHUTDOWN}};
    static const std::vector<tagCMDLABEL> mute = {{0, IDS_TOGGLE}, {1, IDS_MUTE}, {2, IDS_UNMUTE}};
    static const std::vector<tagCMDLABEL> click = {
        {0, IDS_LEFT}, {1, IDS_MIDDLE}, {2, IDS_RIGHT}, {3, IDS_DOUBLE_CLICK}};
    static const std::vector<tagCMDLABEL> move = {{0, IDS_MOVE_LEFT}, {1, IDS_MOVE_RIGHT}, {2, IDS_UP},
                                                  {3, IDS_DOWN},      {4, IDS_UP_LEFT},    {5, IDS_UP_RIGHT},
                                                  {6, IDS_DOWN_LEFT}, {7, IDS_DOWN_RIGHT}};
    static const std::vector<tagCMDLABEL> cursor = {{0, IDS_HIDE}, {1, IDS_SHOW}, {2, IDS_TOGGLE_SHOW_HIDE}};
    switch (nSubType) {
    case 0: return power;
    case 2: return mute;
    case 3: return click;
    case 4: return move;
    case 5: return cursor;
    default: return kNone;
    }
}

unsigned GetControlIdLabel(int nSubType) {
    switch (nSubType) {
    case 0: return IDS_MENU_ITEM_ID;
    case 1: return IDS_BUTTON_ID;
    case 2: return IDS_COMBO_BOX_ID;
    case 3: return IDS_SLIDER_ID;
    default: return 0;
    }
}
