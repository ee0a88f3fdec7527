; Setup for Kanzo: the program and its files into Program Files, Start-menu
; entries, the optional start with Windows, and Add/Remove Programs.
; installer/CMakeLists.txt runs makensis with VERSION, OUTFILE, LICENSE and
; PAYLOAD (Payload.nsh: the File and Delete lines of every shipped file).
;
; Silent use: Setup.exe /S [/NOAUTOSTART] [/D=folder]; Uninstall.exe /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "WinMessages.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

!define PRODUCT "Kanzo"
!define PUBLISHER "The Kanzo developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The program keeps these itself (its settings and its own Run entry): the
; same names, so that the program and the setup agree on starting with Windows.
!define SETTINGS_KEY "Software\Vemtra Electronic GmbH\Remote Control"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Remote Control Editor"
; The running program's main window and the quit message of its hot key
; Ctrl+Alt+Shift+X (WM_HOTKEY, id 43819): it ends without asking.
!define MAIN_WINDOW_TITLE "Vemtra Remote Control Editor"
!define HOTKEY_QUIT_NOW 43819
!define HOTKEY_QUIT_NOW_LPARAM 0x00580007
!define SYNCHRONIZE 0x00100000

!include "${PAYLOAD}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Kanzo.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "-EDIT"
!define MUI_FINISHPAGE_RUN_TEXT "Open the Kanzo editor"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Files of a running Kanzo cannot be replaced or removed: ask it to quit and
; wait for its process to end, at most ten seconds.
!macro CloseRunningKanzo un
Function ${un}CloseRunningKanzo
    Push $0
    Push $1
    Push $2
    FindWindow $0 "#32770" "${MAIN_WINDOW_TITLE}"
    ${If} $0 <> 0
        DetailPrint "Closing the running ${PRODUCT}"
        System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
        System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
        System::Call 'user32::PostMessageW(p r0, i ${WM_HOTKEY}, p ${HOTKEY_QUIT_NOW}, p ${HOTKEY_QUIT_NOW_LPARAM})'
        ${If} $2 != 0
            System::Call 'kernel32::WaitForSingleObject(p r2, i 10000)'
            System::Call 'kernel32::CloseHandle(p r2)'
        ${EndIf}
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro CloseRunningKanzo ""
!insertmacro CloseRunningKanzo "un."

Section "Kanzo (required)" SecProgram
    SectionIn RO
    Call CloseRunningKanzo
    SetOutPath "$INSTDIR"
    !insertmacro KanzoInstallFiles
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; The Start menu of every user, like the folder in Program Files.
    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\Kanzo.lnk" "$INSTDIR\Kanzo.exe" "" "$INSTDIR\Kanzo.exe" 0
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\Kanzo editor.lnk" "$INSTDIR\Kanzo.exe" "-EDIT" "$INSTDIR\Kanzo.exe" 0
    SetShellVarContext current

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kanzo.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; The program rewrites its Run entry from its "Autostart" value at every
; start (default on), so the choice is stored there too; otherwise a cleared
; box would come back at the first start.
Section "Start with Windows" SecAutostart
    WriteRegDWORD HKCU "${SETTINGS_KEY}" "Autostart" 1
    ; Quoted as the program writes it: the path has blanks.
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\Kanzo.exe"'
SectionEnd

Section "-AutostartOff"
    ${IfNot} ${SectionIsSelected} ${SecAutostart}
        WriteRegDWORD HKCU "${SETTINGS_KEY}" "Autostart" 0
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The program, its command sets, language files and readme."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} "Start Kanzo in the background when you log on."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/NOAUTOSTART" $1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecAutostart}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.CloseRunningKanzo
    !insertmacro KanzoRemoveFiles
    ; Copies the program sets aside when it upgrades its preset command sets.
    Delete "$INSTDIR\Kanzo.ini.*.bak"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}\Kanzo.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\Kanzo editor.lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"
    SetShellVarContext current

    ; Only a Run entry that starts this installation: it would start nothing now.
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == '"$INSTDIR\Kanzo.exe"'
    ${OrIf} $0 == "$INSTDIR\Kanzo.exe"
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; The settings and the user's command sets in AppData stay: they are the user's.
SectionEnd
