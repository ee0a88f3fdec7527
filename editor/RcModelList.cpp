#include "editor/RcModelList.h"

#include <cwctype>

#include "app/Settings.h"
#include "receivers/RcModels.h"

namespace {

constexpr int RC_TYPE_MIDI = 0x0001;

}  // namespace

std::wstring GetComboItemText(HWND combo, int item) {
    const int length = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0));
    if (length < 0)
        return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::wstring RcDefaultRowText(const std::wstring& word) {
    if (word.empty())
        return word;
    std::wstring upper = word;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    return L" - " + upper + L" -";
}

std::wstring RcModelRowText(int row, const std::wstring& firstRow, const CSettings* settings) {
    const tagRCMODEL* model = GetRcModel(row);
    if (!model)
        return std::wstring();
    std::wstring text = row == 0 && !firstRow.empty() ? firstRow : model->szName;
    if (model->nRcType == RC_TYPE_MIDI)
        text += L" (" + std::wstring(settings ? settings->Block().midiDevice : L"") + L")";
    return text;
}

void FillRcModelList(HWND list, const std::wstring& firstRow, const CSettings* settings) {
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int row = 0; row < RC_MODEL_COUNT; ++row) {
        const std::wstring text = RcModelRowText(row, firstRow, settings);
        const LRESULT at = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(at), GetRcModel(row)->nRcType);
    }
    const std::wstring name = settings ? settings->GetEditorRcName() : std::wstring();
    const int type = settings ? static_cast<int>(settings->GetEditorRcType()) : SETTINGS_DEFAULT_RC_TYPE;
    int chosen = -1;
    for (int row = 0; row < RC_MODEL_COUNT && chosen < 0 && !name.empty(); ++row) {
        if (GetComboItemText(list, row) == name)
            chosen = row;
    }
    for (int row = 0; row < RC_MODEL_COUNT && chosen < 0; ++row) {
        if (static_cast<int>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(row), 0)) == type)
            chosen = row;
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(chosen < 0 ? 0 : chosen), 0);
}

int SelectedRcType(HWND list) {
    const LRESULT row = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (row == CB_ERR)
        return 0;
    return static_cast<int>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

void StoreRcModelChoice(HWND list, CSettings* settings) {
    const LRESULT row = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (!settings || row == CB_ERR)
        return;
    settings->SetEditorRcType(static_cast<DWORD>(SelectedRcType(list)));
    settings->SetEditorRcName(GetComboItemText(list, static_cast<int>(row)).c_str());
}
