#pragma once
// CPageCmdSetEdit: the wizard's key-assignment page. The user picks a remote
// control and edits the commands of its keys in a working copy of the set's
// keymap; moving on writes keymap and record to the user file. Each key's
// origin (default, preset, user) is told by comparing its command with the
// built-in defaults and with the preset of the same name.
#include <string>

#include "cmdsets/Keymap.h"
#include "cmdsets/PrgInfo.h"
#include "cmdsets/WinCmd.h"
#include "editor/PageBaseWizard.h"

// Where a key's command comes from.
enum : int { KEY_ORIGIN_NONE = 0, KEY_ORIGIN_DEFAULT = 1, KEY_ORIGIN_PRESET = 2, KEY_ORIGIN_USER = 3 };
int GetKeyOrigin(int keyId, const CKeymap& working, const CKeymap& defaults, const CKeymap& preset);

class CPageCmdSetEdit : public CPageBaseWizard {
public:
    // record: the wizard's record, saved with the keymap when the user moves on.
    CPageCmdSetEdit(const tagEDITORCONTEXT& context, const tagPRGINFO& record);

    // The working keymap becomes a copy of keymap, for the set of that name.
    void SetKeymap(const CKeymap& keymap, const std::wstring& name);
    const CKeymap& GetWorkingKeymap() const { return m_working; }
    int GetKeyOrigin(int keyId) const { return ::GetKeyOrigin(keyId, m_working, m_defaults, m_preset); }
    int GetCurrentKey() const { return m_currentKey; }
    // The RC type of the chosen model (the review page shows the same).
    int GetRcType() const { return m_rcType; }

    void InitControls() override;
    BOOL SaveData() override;

protected:
    BOOL OnSetActive() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;

private:
    void ModelChanged();

    const tagPRGINFO& m_record;
    std::wstring m_name;
    CKeymap m_working;
    CKeymap m_defaults;
    CKeymap m_preset;
    int m_currentKey = 60;
    int m_rcType = 0;
    tagWINCMD m_command;
};
