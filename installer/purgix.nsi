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

!define PROCESS_CREATE_PROCESS 0x0080
!define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
!define TOKEN_DUPLICATE 0x0002
!define TOKEN_QUERY 0x0008
!define TOKEN_USER_INFORMATION 1
!define PROC_THREAD_ATTRIBUTE_PARENT_PROCESS 0x00020000
!define EXTENDED_STARTUPINFO_PRESENT 0x00080000
!define CREATE_UNICODE_ENVIRONMENT 0x00000400
!define STARTUPINFOEX_SIZE 112 ; amd64
!define STARTUPINFOEX_ATTRIBUTES 104 ; the offset of lpAttributeList
!define /math SHELL_LAUNCH_ACCESS ${PROCESS_CREATE_PROCESS} | ${PROCESS_QUERY_LIMITED_INFORMATION}
!define /math SHELL_TOKEN_ACCESS ${TOKEN_QUERY} | ${TOKEN_DUPLICATE}
!define /math LAUNCH_FLAGS ${EXTENDED_STARTUPINFO_PRESENT} | ${CREATE_UNICODE_ENVIRONMENT}

; Setup runs elevated, under an administrator's account when the user typed its password:
; the user signed in to Windows is the one whose shell runs. Leaves that process, opened
; for ACCESS, in $R0, or 0 when this session has no shell (a deployment tool's) or the
; shell may not be opened. Uses $0 and $1.
!macro OpenShellProcess ACCESS
    System::Call 'user32::GetShellWindow()p.r0'
    ${If} $0 P= 0
        ; Wine's shell has a taskbar but no shell window.
        System::Call 'user32::FindWindowW(w "Shell_TrayWnd", p 0)p.r0'
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1)'
    System::Call 'kernel32::OpenProcess(i ${ACCESS}, i 0, i r1)p.R0'
!macroend

; Elevated, the program would clean the administrator's profile, HKCU and TEMP: it starts
; as a child of the user's shell, so it gets the shell's token, with the user's own
; environment. Where that cannot be done, it starts from setup rather than not at all.
Function RunAsTheUser
    !insertmacro OpenShellProcess ${SHELL_LAUNCH_ACCESS}
    StrCpy $2 0
    ${If} $R0 P<> 0
        System::Call 'advapi32::OpenProcessToken(p R0, i ${SHELL_TOKEN_ACCESS}, *p .r3)'
        System::Call 'userenv::CreateEnvironmentBlock(*p .r4, p r3, i 0)'
        System::Call 'kernel32::InitializeProcThreadAttributeList(p 0, i 1, i 0, *p .r5)'
        System::Alloc $5
        Pop $6
        ; The attribute points at the handle until the list is deleted.
        System::Call '*(p R0)p.r7'
        System::Alloc ${STARTUPINFOEX_SIZE}
        Pop $9
        System::Call '*$9(i ${STARTUPINFOEX_SIZE})'
        IntPtrOp $1 $9 + ${STARTUPINFOEX_ATTRIBUTES}
        System::Call '*$1(p r6)'
        System::Call '*(p 0, p 0, i 0, i 0)p.r1' ; PROCESS_INFORMATION
        System::Call 'kernel32::InitializeProcThreadAttributeList(p r6, i 1, i 0, *p r5)i.r8'
        ${If} $8 <> 0
            System::Call 'kernel32::UpdateProcThreadAttribute(p r6, i 0, p ${PROC_THREAD_ATTRIBUTE_PARENT_PROCESS}, p r7, p 8, p 0, p 0)i.r8'
            ${If} $8 <> 0
                System::Call `kernel32::CreateProcessW(p 0, w '"$INSTDIR\purgix.exe"', p 0, p 0, i 0, i ${LAUNCH_FLAGS}, p r4, w "$INSTDIR", p r9, p r1)i.r2`
            ${EndIf}
            System::Call 'kernel32::DeleteProcThreadAttributeList(p r6)'
        ${EndIf}
        ${If} $2 <> 0
            System::Call '*$1(p .r5, p .r8)'
            System::Call 'kernel32::CloseHandle(p r5)'
            System::Call 'kernel32::CloseHandle(p r8)'
        ${EndIf}
        System::Free $1
        System::Free $9
        System::Free $7
        System::Free $6
        System::Call 'userenv::DestroyEnvironmentBlock(p r4)'
        System::Call 'kernel32::CloseHandle(p r3)'
        System::Call 'kernel32::CloseHandle(p R0)'
    ${EndIf}
    ${If} $2 = 0
        Exec '"$INSTDIR\purgix.exe"'
    ${EndIf}
FunctionEnd

; The string SID of the shell's user in $R1, "" when it cannot be had: that user's
; settings and finishing run are under HKU\<sid>.
Function un.ShellUserSid
    StrCpy $R1 ""
    !insertmacro OpenShellProcess ${PROCESS_QUERY_LIMITED_INFORMATION}
    ${If} $R0 P<> 0
        System::Call 'advapi32::OpenProcessToken(p R0, i ${TOKEN_QUERY}, *p .r2)i.r3'
        ; TOKEN_USER: a pointer to the SID and its attributes, then the SID (at most 68 bytes).
        System::Alloc 128
        Pop $4
        ${If} $3 <> 0
            System::Call 'advapi32::GetTokenInformation(p r2, i ${TOKEN_USER_INFORMATION}, p r4, i 128, *i .r5)i.r3'
        ${EndIf}
        ${If} $3 <> 0
            System::Call '*$4(p .r5)'
            System::Call 'advapi32::ConvertSidToStringSidW(p r5, *p .r6)i.r3'
        ${EndIf}
        ${If} $3 <> 0
            System::Call 'kernel32::lstrcpynW(w .R1, p r6, i ${NSIS_MAX_STRLEN})'
            System::Call 'kernel32::LocalFree(p r6)'
        ${EndIf}
        System::Free $4
        System::Call 'kernel32::CloseHandle(p r2)'
        System::Call 'kernel32::CloseHandle(p R0)'
    ${EndIf}
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
    ; An armed finishing run would start a program that is no longer there; setup starts the
    ; program as the signed-in user, so it arms it in that user's hive.
    Call un.ShellUserSid
    DeleteRegValue HKCU "${RUN_ONCE_KEY}" "${RUN_ONCE_VALUE}"
    ${If} $R1 != ""
        DeleteRegValue HKU "$R1\${RUN_ONCE_KEY}" "${RUN_ONCE_VALUE}"
    ${EndIf}

    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove your ${PRODUCT} settings?" /SD IDNO IDNO keep
    ${If} $R1 != ""
        DeleteRegKey HKU "$R1\${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKU "$R1\${VENDOR_KEY}"
    ${Else}
        DeleteRegKey HKCU "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKCU "${VENDOR_KEY}"
    ${EndIf}
keep:
SectionEnd
