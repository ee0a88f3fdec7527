#pragma once
// What the editor's pages work on. The application fills it with its own
// objects; a test fills it with real objects of its own. Pointers may be null
// where a page can do without (no display window, no receivers yet).
class CQVLocalize;
class CCmdSetAdmin;
class CCmdSetHandler;
class CSettings;
class CReceiverManager;
class COsdDlg;

struct tagEDITORCONTEXT {
    CQVLocalize* pLocalize = nullptr;
    CCmdSetAdmin* pAdmin = nullptr;
    CCmdSetHandler* pHandler = nullptr;
    CSettings* pSettings = nullptr;
    CReceiverManager* pReceivers = nullptr;
    COsdDlg* pOsd = nullptr;
};
