#pragma once
// The automatic main-menu order: slot 0 "Windows (Standard)", then up to nine
// installed applications sorted by name, the rest free ("---").
#include <windows.h>

class CCmdSetAdmin;

BOOL AutoFindApps(CCmdSetAdmin& admin);
