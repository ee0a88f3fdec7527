#pragma once
// The icon of a command set's program, as the editor's lists show it.
#include "cmdsets/PrgInfo.h"
#include "support/ScopedWin.h"

#include <string>

// szAppPath joined with szExecutable when that names an existing file, else
// szAppPath itself when it exists; empty when neither does.
std::wstring GetProgramFile(const tagPRGINFO& info);

// The program file's first icon (large or small); the Windows logo for a file
// without icons; the warning icon when there is no file. Always an icon of our own.
CQVIcon LoadProgramIcon(const tagPRGINFO& info, bool large);
