#pragma once
// The editor's list of remote-control models (a drop-down list): the models
// in table order, the MIDI model followed by the chosen MIDI device, item data
// the RC type. The list remembers its choice as "RC Name (Editor)" and
// "RC Type (Editor)".
#include <windows.h>

#include <string>

class CSettings;

// The text of a combo box's item; empty when there is no such item.
std::wstring GetComboItemText(HWND combo, int item);
// " - DEFAULT -" for the localized word; empty for an empty word.
std::wstring RcDefaultRowText(const std::wstring& word);
// The texts of the rows; row 0 is given as " - DEFAULT - " in the user's language.
std::wstring RcModelRowText(int row, const std::wstring& firstRow, const CSettings* settings);
// Fills the list and selects the stored model (by name, else by type, else type 2).
void FillRcModelList(HWND list, const std::wstring& firstRow, const CSettings* settings);
// The RC type of the selected row; 0 when nothing is selected.
int SelectedRcType(HWND list);
// Stores the selected row as the editor's model.
void StoreRcModelChoice(HWND list, CSettings* settings);
