#pragma once
// KanzoReplay --dispatch: plays a capture in real time through the receiver,
// the key-event worker and the dispatcher loaded from Kanzo's preset and user
// files, with the on-screen display, so that a capture drives real programs.
#include <string>
#include <vector>

#include "app/replay/CaptureReader.h"

// Runs on the calling thread, which becomes the user-interface thread (the
// display and the mouse mover live there). Returns the process exit code.
int RunDispatchReplay(const std::vector<tagCAPTUREFRAME>& frames, int rcType, const std::wstring& checkWindow);
