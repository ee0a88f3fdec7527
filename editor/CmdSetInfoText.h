#pragma once
// The information text of a command set, as the set list and the wizard's
// review page show it in a rich edit: name and description centred, the
// program's folder, file, command line and window under them.
#include <windows.h>

#include <functional>
#include <string>

#include "cmdsets/PrgInfo.h"

// The text; text(id) gives the localized string of an id.
std::wstring BuildCmdSetInfoText(const tagPRGINFO& info, const std::function<std::wstring(UINT)>& text);
// Puts the text into a rich edit with its tab stops and formatting.
void ShowCmdSetInfo(HWND richEdit, const std::wstring& text);
