#pragma once
// The executable path of a running process, remembered process-wide by its id
// and creation time: a lookup asks the system once per process, not once per
// window or key.
#include <windows.h>

#include <string>

// The full path; empty when the process cannot be opened or asked.
std::wstring GetProcessExecutablePath(DWORD processId);
