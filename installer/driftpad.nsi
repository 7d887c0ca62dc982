; Driftpad's per-user installer: no administrator rights, the user's own
; program folder, the notes file in the user's Documents folder.
; installer/CMakeLists.txt defines VERSION, TARGET, EXE, ICON and OUTFILE.
;
; Silent use:  DriftpadSetup-VERSION.exe /S [/NORUN] [/NOSAVEONSHUTDOWN] [/ONDESKTOP] [/D=folder]
;   /NORUN             no start at sign-in
;   /NOSAVEONSHUTDOWN  no saving of the notes when Windows shuts down
;   /ONDESKTOP         notes kept on the desktop
; An upgrade keeps the earlier install's choices unless a switch says otherwise.

Unicode True
Target ${TARGET}
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Driftpad"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define PREFS_KEY "Software\Vantry\Driftpad\Preferences"
; The shell's Documents folder, wherever the user keeps it.
!define NOTES_FILE "$DOCUMENTS\Driftpad Notes.dpd"
!define EXIT_RUNNING 2

Name "Driftpad ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Driftpad"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Driftpad ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Driftpad"
VIAddVersionKey "CompanyName" "Vantry"
VIAddVersionKey "FileDescription" "Driftpad Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) Vantry"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
Page custom ChoicesPage ChoicesLeave
!insertmacro MUI_PAGE_INSTFILES
; As the shortcut starts it, by this per-user (so unelevated) installer; a
; silent install shows no pages and so starts nothing.
!define MUI_FINISHPAGE_RUN "$INSTDIR\Driftpad.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "$\"${NOTES_FILE}$\""
!define MUI_FINISHPAGE_RUN_TEXT "Start Driftpad now"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var StartAtSignIn   ; 1 or 0
Var FirstInstall    ; 1 where no earlier install is found
Var SaveOnShutdown  ; 1 or 0
Var OnDesktop       ; 1 or 0
Var RunBox
Var SaveBox
Var DesktopBox

; A running Driftpad would refuse /i and /u (one instance at a time) and
; holds its program file: ask the user to quit it. Silent runs (and Cancel)
; end with a non-zero status before anything is changed. Its window finds it
; once it runs; its single-instance mutex also while it starts or ends.
!macro RefuseWhileRunning
  ${Do}
    FindWindow $0 "#32770" "Driftpad: Options"
    ${If} $0 == 0
      System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "_DriftpadMutex_") p.r0'
      ${If} $0 == 0
        ${Break}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
    ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Driftpad is running. Quit it (right-click its icon in the notification area, then Quit), then choose Retry." /SD IDCANCEL IDCANCEL`
      SetErrorLevel ${EXIT_RUNNING}
      Quit
    ${EndIf}
  ${Loop}
!macroend

Function .onInit
  SetShellVarContext current
  !insertmacro RefuseWhileRunning
  StrCpy $StartAtSignIn 1
  StrCpy $SaveOnShutdown 1
  StrCpy $FirstInstall 1
  StrCpy $OnDesktop 0
  ; Over an earlier install, its choices are the defaults.
  ClearErrors
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${IfNot} ${Errors}
    StrCpy $FirstInstall 0
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "Driftpad"
    ${If} ${Errors}
      StrCpy $StartAtSignIn 0
    ${EndIf}
    ClearErrors
    ReadRegDWORD $0 HKCU "${PREFS_KEY}" "SaveOnShutdown"
    ${If} $0 == 0
      StrCpy $SaveOnShutdown 0
    ${EndIf}
    ClearErrors
    ReadRegDWORD $0 HKCU "${PREFS_KEY}" "OnDesktop"
    ${IfNot} ${Errors}
    ${AndIf} $0 <> 0
      StrCpy $OnDesktop 1
    ${EndIf}
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/NORUN" $0
  ${IfNot} ${Errors}
    StrCpy $StartAtSignIn 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/NOSAVEONSHUTDOWN" $0
  ${IfNot} ${Errors}
    StrCpy $SaveOnShutdown 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/ONDESKTOP" $0
  ${IfNot} ${Errors}
    StrCpy $OnDesktop 1
  ${EndIf}
FunctionEnd

Function ChoicesPage
  !insertmacro MUI_HEADER_TEXT "Choices" "How Driftpad starts and keeps your notes."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Your notes are kept in $\"${NOTES_FILE}$\"."
  Pop $0
  ${NSD_CreateCheckbox} 0 32u 100% 12u "Start Driftpad when I sign in"
  Pop $RunBox
  ${NSD_SetState} $RunBox $StartAtSignIn
  ${NSD_CreateCheckbox} 0 50u 100% 12u "Save my notes when Windows shuts down"
  Pop $SaveBox
  ${NSD_SetState} $SaveBox $SaveOnShutdown
  ${NSD_CreateCheckbox} 0 68u 100% 12u "Keep notes on the desktop"
  Pop $DesktopBox
  ${NSD_SetState} $DesktopBox $OnDesktop
  nsDialogs::Show
FunctionEnd

Function ChoicesLeave
  ${NSD_GetState} $RunBox $StartAtSignIn
  ${NSD_GetState} $SaveBox $SaveOnShutdown
  ${NSD_GetState} $DesktopBox $OnDesktop
FunctionEnd

Section "Driftpad"
  ; It may have been started while the pages were shown.
  !insertmacro RefuseWhileRunning
  ; /i resets both preferences by design: keep the user's.
  ClearErrors
  ReadRegDWORD $2 HKCU "${PREFS_KEY}" "DblClick"
  ${If} ${Errors}
    StrCpy $2 ""
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=Driftpad.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; The association, the sound event and the preferences, pointing here.
  ExecWait '"$INSTDIR\Driftpad.exe" /i /s' $0
  ${If} $0 != 0
    SetErrorLevel 3
    Abort "Driftpad could not register itself (status $0)."
  ${EndIf}
  WriteRegDWORD HKCU "${PREFS_KEY}" "SaveOnShutdown" $SaveOnShutdown
  WriteRegDWORD HKCU "${PREFS_KEY}" "OnDesktop" $OnDesktop
  ${If} $2 != ""
    WriteRegDWORD HKCU "${PREFS_KEY}" "DblClick" $2
  ${EndIf}
  ; The program's next start is the user's first: it says where it lives.
  ; An upgrade leaves the mark as the earlier install's first start left it.
  ${If} $FirstInstall == 1
    WriteRegDWORD HKCU "${PREFS_KEY}" "FirstStart" 1
  ${EndIf}

  ${If} $StartAtSignIn == 1
    WriteRegStr HKCU "${RUN_KEY}" "Driftpad" '"$INSTDIR\Driftpad.exe" "${NOTES_FILE}"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "Driftpad"
  ${EndIf}
  CreateShortcut "$SMPROGRAMS\Driftpad.lnk" "$INSTDIR\Driftpad.exe" '"${NOTES_FILE}"' "$INSTDIR\Driftpad.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Driftpad"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Vantry"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\Driftpad.exe",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $3
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetShellVarContext current
  !insertmacro RefuseWhileRunning
FunctionEnd

; Everything of the program goes; the user's notes files and their recovery
; copies stay, wherever they are (also in the install folder, which then stays too).
Section "Uninstall"
  !insertmacro RefuseWhileRunning
  ${If} ${FileExists} "$INSTDIR\Driftpad.exe"
    ExecWait '"$INSTDIR\Driftpad.exe" /u /s' $0
    ${If} $0 != 0
      SetErrorLevel 3
      Abort "Driftpad could not remove its registry entries (status $0)."
    ${EndIf}
  ${EndIf}
  Delete "$SMPROGRAMS\Driftpad.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Driftpad"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Driftpad.exe"
  Delete "$INSTDIR\Uninstall.exe"
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
SectionEnd
