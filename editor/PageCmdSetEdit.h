#pragma once
// CPageCmdSetEdit: the wizard's key-assignment page. The user picks a remote
// control, picks a key on its picture (or, for MIDI input, in the list of the
// 128 notes) and edits the command bound to it, in a working copy of the
// set's keymap; moving on writes keymap and record to the user file. Each
// key's origin (default, preset, user) is told by comparing its command with
// the built-in defaults and with the preset of the same name.
#include <string>

#include "cmdsets/Keymap.h"
#include "cmdsets/PrgInfo.h"
#include "cmdsets/WinCmd.h"
#include "editor/CtrlRc.h"
#include "editor/PageBaseWizard.h"

// Where a key's command comes from.
enum : int { KEY_ORIGIN_NONE = 0, KEY_ORIGIN_DEFAULT = 1, KEY_ORIGIN_PRESET = 2, KEY_ORIGIN_USER = 3 };
int GetKeyOrigin(int keyId, const CKeymap& working, const CKeymap& defaults, const CKeymap& preset);

// A repeat-rate field's text after the user typed into it: more than four
// digits lose the last one; anything else stays (returned as given).
std::wstring ClampRepeatText(const std::wstring& text);
// The number a value field shows ("No. 3", "+5 %", "-20"); fallback when it
// shows none.
int ParseShownNumber(const std::wstring& text, int fallback);

class CPageCmdSetEdit : public CPageBaseWizard {
public:
    // record: the wizard's record, saved with the keymap when the user moves on.
    CPageCmdSetEdit(const tagEDITORCONTEXT& context, const tagPRGINFO& record);
    ~CPageCmdSetEdit() override;

    // The working keymap becomes a copy of keymap, for the set of that name.
    void SetKeymap(const CKeymap& keymap, const std::wstring& name);
    const CKeymap& GetWorkingKeymap() const { return m_working; }
    int GetKeyOrigin(int keyId) const { return ::GetKeyOrigin(keyId, m_working, m_defaults, m_preset); }
    int GetCurrentKey() const { return m_currentKey; }
    // The RC type of the chosen model (the review page shows the same).
    int GetRcType() const { return m_rcType; }
    CCtrlRc& Picture() { return m_picture; }
    bool IsRecording() const { return m_recording; }
    // The command the controls show now.
    tagWINCMD ReadControls() const;

    void InitControls() override;
    void UpdateControls() override;
    void UpdateTexts() override;
    BOOL SaveData() override;

protected:
    BOOL OnSetActive() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT& result) override;
    BOOL OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
    void OnDestroy() override;

private:
    void ModelChanged();
    void PlaceControls();
    void FillKeyList();
    std::wstring KeyListLine(int keyId) const;
    void ShowOrigin(int keyId);
    void ChooseKey(int keyId);
    void CommitCurrentKey();
    void LoadControls(const tagWINCMD& cmd);
    void FillSubTypes(int type);
    void FillValues(int subType);
    void TypeChanged();
    void SubTypeChanged();
    void EnableRepeat(bool on);
    void SpinChanged(int id, int position, int delta);
    void RepeatTextChanged(int id);
    void TestCommand();
    void PaintLegend(HDC dc) const;
    int SelectedData(int id) const;
    void SelectData(int id, int data);
    void Show(int id, bool show) const;
    void SetRecording(bool on);
    // The key-recording hook's work: true when the message was taken.
    bool RecordKey(const MSG& msg);
    static LRESULT CALLBACK RecordHook(int code, WPARAM wp, LPARAM lp);

    const tagPRGINFO& m_record;
    std::wstring m_name;
    CKeymap m_working;
    CKeymap m_defaults;
    CKeymap m_preset;
    CCtrlRc m_picture;
    RECT m_valueListRect = {0, 0, 0, 0};
    RECT m_valueLabelRect = {0, 0, 0, 0};
    RECT m_paramRect = {0, 0, 0, 0};
    int m_currentKey = 60;
    int m_rcType = 0;
    tagWINCMD m_command;
    bool m_recording = false;
    HHOOK m_hook = nullptr;
    bool m_loading = false;  // the page itself fills the fields: no reactions
};
