#pragma once
// CPageOptions: the third tab of the options sheet. The display (with a
// preview of its colours), the receivers that found their hardware, the MIDI
// device, key 0, sounds, the tray icon, the exclusive application and the
// start with Windows. Writes the settings through CSettings and restarts the
// receivers when the user's choice of them changed.
#include "editor/PageBase.h"
#include "osd/OsdControl.h"

#include <cstdint>
#include <string>

constexpr int OPTIONS_TIME_MIN = 1;       // seconds of the display time
constexpr int OPTIONS_TIME_MAX = 30;
constexpr int OPTIONS_OPTION_COLUMN = 75;  // pixels of the list's second column
constexpr COLORREF OPTIONS_GREY_TEXT = 0xB0B0B0;   // the preview while the display is off
constexpr COLORREF OPTIONS_GREY_BACK = 0x707070;
constexpr COLORREF OPTIONS_GREY_GRADIENT = 0x202020;
constexpr int OPTIONS_CUSTOM_COLOURS = 16;

struct tagSETTINGS;

// The colour chooser's custom colours: the three display colours, the
// defaults, black and the caption colours; white elsewhere.
void GetOptionsCustomColours(const tagSETTINGS& settings, COLORREF (&colours)[OPTIONS_CUSTOM_COLOURS]);

// The display time as the edit shows it ("%d sec"), and the up-down's wrap.
std::wstring FormatDisplayTime(int seconds);
int WrapDisplayTime(int seconds);

class CPageOptions : public CPageBase {
public:
    explicit CPageOptions(const tagEDITORCONTEXT& context);

    void UpdateTexts() override;
    BOOL SaveData() override;
    void LoadData() override;
    void UpdateControls() override;
    BOOL PrepareData() override;

    const COsdControl& GetPreview() const { return m_preview; }
    std::uint32_t GetWorkingMask() const { return m_workingMask; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT& result) override;

private:
    bool IsChecked(int id) const { return IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED; }
    void Check(int id, bool on) { CheckDlgButton(m_hwnd, id, on ? BST_CHECKED : BST_UNCHECKED); }
    void Enable(int id, bool on) { EnableWindow(GetItem(id), on ? TRUE : FALSE); }
    std::wstring ItemText(int id) const;
    void FillMidiDevices();
    void FillExclusiveApps();
    void UpdatePreview();
    void RebuildReceiverList(std::uint32_t activeMask);
    // The slot of a list row; -1 for none.
    int SlotOfRow(int row) const;
    void OnReceiverClick();
    void OnReceiverChanged(const NMLISTVIEW& change);
    void UpdateStatusLine();
    // Opens the colour chooser for one of the three colour buttons.
    void ChooseColour(int button);

    COsdControl m_preview;
    std::uint32_t m_workingMask = 0;   // bit n: receiver slot n checked
    std::uint32_t m_shownMask = 0;     // the activeMask the list shows; 0: rebuild
    bool m_filling = false;            // the list is being rebuilt
};
