; The setup program of Windows Purgix!: a per-machine install into the 64-bit Program
; Files, with the App Paths entry the program needs to bring itself back at the next
; log-on, a Start menu shortcut and an entry in Windows' list of installed programs.
; "/S" installs silently and "/D=<folder>" (last, unquoted) picks the folder.
;
; Built by CMake (target purgix_setup), which defines VERSION, PROGRAM, LICENSE_FILE,
; ICON, PICTURE (the welcome and finish pages' picture, made from the icon) and OUTFILE,
; and CLI once the build has the console program.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Windows Purgix!"
!define PUBLISHER "Vellomar"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Windows Purgix"
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\purgix.exe"
!define RUN_ONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define RUN_ONCE_VALUE "Purgix!"
!define SETTINGS_KEY "Software\Vellomar\Purgix!"
!define VENDOR_KEY "Software\Vellomar"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
; Named for this program: a folder shared with another program keeps that one's uninstaller.
!define UNINSTALLER "purgix-uninstall.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; An earlier install's folder comes first, so an upgrade replaces the files where they are.
InstallDir "$PROGRAMFILES64\Windows Purgix"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey FileDescription "${PRODUCT} setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURE}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${PICTURE}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run ${PRODUCT}"
!define MUI_FINISHPAGE_RUN_FUNCTION RunAsTheUser
; The product's name ends in "!": the stock texts would add a full stop after it.
!define MUI_WELCOMEPAGE_TEXT "Setup will guide you through the installation of ${PRODUCT}$\r$\n$\r$\nClose ${PRODUCT} if it is running, then click Next to continue."
!define MUI_FINISHPAGE_TEXT_REBOOT "Your computer must be restarted to complete the installation of ${PRODUCT}: do you want to restart now?"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_HEADER_SUBTEXT "Please review the licence terms before installing ${PRODUCT}"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "If you accept the terms of the agreement, click I Agree to continue. You must accept the agreement to install ${PRODUCT}"
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!define MUI_PAGE_HEADER_SUBTEXT "Choose the folder in which to install ${PRODUCT}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Writes a file beside its target under a temporary name, then moves it into place: a
; failed write never leaves a half-written program, and a target in use (the program
; running) is replaced at the next restart.
!macro InstallFile SOURCE NAME
    File "/oname=${NAME}.new" "${SOURCE}"
    Delete "$INSTDIR\${NAME}"
    Rename /REBOOTOK "$INSTDIR\${NAME}.new" "$INSTDIR\${NAME}"
!macroend

; Removes an installed file, and its replacement still waiting for a restart, which would
; otherwise bring the file back then; a file in use goes at the next restart.
!macro un.RemoveFile NAME
    Delete /REBOOTOK "$INSTDIR\${NAME}.new"
    Delete /REBOOTOK "$INSTDIR\${NAME}"
!macroend

Section
    SetShellVarContext all
    ; The build's file times stay out of the setup program, so one commit gives one program.
    SetDateSave off
    SetOutPath "$INSTDIR"
    ; An earlier version named its uninstaller "uninstall.exe"; only the one it registered goes.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "UninstallString"
    ${If} $0 == '"$INSTDIR\uninstall.exe"'
        Delete "$INSTDIR\uninstall.exe"
    ${EndIf}
    !insertmacro InstallFile "${PROGRAM}" purgix.exe
!ifdef CLI
    !insertmacro InstallFile "${CLI}" purgix-cli.exe
!endif
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; Without it a run cannot arm its finishing run at the next log-on.
    WriteRegStr HKLM "${APP_PATHS_KEY}" "" "$INSTDIR\purgix.exe"
    WriteRegStr HKLM "${APP_PATHS_KEY}" "Path" "$INSTDIR"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\purgix.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\purgix.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    ; "_?=" runs the uninstaller in place, so the caller waits for it and gets its exit
    ; code (2 when it refused); without it, it hands over to a copy and returns 0 at once.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Elevated, the program would clean the administrator's profile: the shell of the user
; who is signed in starts it instead.
Function RunAsTheUser
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\purgix.exe"'
FunctionEnd

; A silent caller (a deployment tool) learns that the install finishes at the next restart.
Function .onInstSuccess
    ${If} ${RebootFlag}
        SetErrorLevel 3010 ; ERROR_SUCCESS_REBOOT_REQUIRED
    ${EndIf}
FunctionEnd

; Windows keeps a running program's file open, so nothing could be removed cleanly; it
; refuses to open that file for writing.
Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AfterUninstall" $1
    ${IfNot} ${Errors}
        Call un.RemoveLeftUninstaller
        Quit
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\purgix.exe"
        ClearErrors
        FileOpen $0 "$INSTDIR\purgix.exe" a
        ${If} ${Errors}
            MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is running. Close it, then run the uninstaller again." /SD IDOK
            Abort
        ${EndIf}
        FileClose $0
    ${EndIf}
FunctionEnd

; An uninstaller that ran in place leaves its own file and the folder to a copy of itself.
Function un.onUninstSuccess
    ${If} $EXEDIR == $INSTDIR
        CopyFiles /SILENT "$EXEPATH" "$TEMP\${UNINSTALLER}"
        Exec '"$TEMP\${UNINSTALLER}" /S /AfterUninstall _?=$INSTDIR'
    ${EndIf}
FunctionEnd

; That copy: waits for the uninstaller to end, removes it and the folder when empty
; (the folder may hold files of the user's own), and itself at the next restart.
Function un.RemoveLeftUninstaller
    ${For} $0 1 300
        ClearErrors
        Delete "$INSTDIR\${UNINSTALLER}"
        ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
            ${Break}
        ${EndIf}
        Sleep 100
    ${Next}
    RMDir "$INSTDIR"
    Delete /REBOOTOK "$EXEPATH"
FunctionEnd

Section Uninstall
    SetShellVarContext all
    !insertmacro un.RemoveFile purgix.exe
!ifdef CLI
    !insertmacro un.RemoveFile purgix-cli.exe
!endif
    ; Run in place ("_?="), this file is in use until the uninstaller ends: see un.onUninstSuccess.
    ${If} $EXEDIR != $INSTDIR
        Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
        ; Only when empty: the folder may hold files of the user's own.
        RMDir /REBOOTOK "$INSTDIR"
    ${EndIf}
    Delete "${SHORTCUT}"
    DeleteRegKey HKLM "${APP_PATHS_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; An armed finishing run would start a program that is no longer there.
    DeleteRegValue HKCU "${RUN_ONCE_KEY}" "${RUN_ONCE_VALUE}"

    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove your ${PRODUCT} settings?" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${VENDOR_KEY}"
keep:
SectionEnd
