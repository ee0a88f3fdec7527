#pragma once
// The native build's trace sink: lines stay in memory so that tests of pure
// logic can read what was traced. Not part of the Windows build.

#include <string>
#include <vector>

// Every line written since the last call, each as the Windows facility writes
// it with details 1 (no prefix): tag, indentation, marker and text.
std::vector<std::wstring> TraceHostTakeLines();
