; Kivro's setup program: a per-user install, with no administrator rights,
; into %LOCALAPPDATA%\Programs\Kivro. Everything it registers lies under
; HKEY_CURRENT_USER: the uninstall entry, the file type of .KV (Kivro.Schedule)
; and, on removal, Kivro's own Run value. A Start menu shortcut "Kivro".
;
; scripts/package.sh builds it with makensis from the files it puts in the
; zip:
;   makensis -DVERSION=3.0 -DVERSION4=3.0.0.0 -DFILES=<folder> -DICON=<kv.ico>
;            -DOUTFILE=<setup.exe> [-DAMD64] kivro.nsi
; FILES holds kv.exe, kvtool.exe (when built), kivro-help.html and
; "Example Schedule.KV". AMD64 makes the 64-bit setup of the 64-bit programs.
;
; Silent: setup.exe /S [/D=folder] installs; uninstall.exe /S removes, and
; keeps the settings and the history.

!ifdef AMD64
  Target amd64-unicode
!else
  Target x86-unicode
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kivro"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define CLASSES "Software\Classes"
!define PROGID "Kivro.Schedule"
; What the user chose in Explorer's Open With; it wins over Software\Classes.
!define USER_CHOICE "Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.KV\UserChoice"
!define SHCNE_ASSOCCHANGED 0x08000000
!define SYNCHRONIZE 0x00100000
; How long a Kivro asked to close may take before the setup says so.
!define CLOSE_WAIT_MS 10000

Name "Kivro"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Kivro"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all
BrandingText "Kivro ${VERSION}"

VIProductVersion "${VERSION4}"
VIAddVersionKey ProductName "Kivro"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Kivro ${VERSION} Setup"
VIAddVersionKey CompanyName "Kivro"
VIAddVersionKey LegalCopyright "Kivro"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "This installs Kivro ${VERSION}, the desktop scheduler, for you alone: \
  it needs no administrator rights.$\r$\n$\r$\nA Kivro that is running is asked to close first. \
  Your settings, your history of starts and your schedules stay as they are.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Kivro"
!define MUI_FINISHPAGE_RUN_FUNCTION StartKivro
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Functions that the setup and the uninstaller both need, once with each
; prefix.
!macro SHARED_FUNCTIONS UN

; Asks every running Kivro to close, one after the other, and waits for each
; process to end. WM_CLOSE goes through Kivro's question about unsaved
; changes, so nothing is lost; a Kivro that shows a box or a dialog (its
; main window is disabled then) is not asked again, as a second question
; would sit on top of the first. One that does not end in time is reported:
; Retry asks again, Cancel stops (silently: stops).
Function ${UN}CloseRunningKivro
  Push $0
  Push $1
  Push $2
  Push $3
  closing:
    FindWindow $0 "KV"
    ${If} $0 == 0
      Goto closed
    ${EndIf}
    DetailPrint "Asking Kivro to close"
    StrCpy $1 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
    System::Call 'user32::IsWindowEnabled(p r0) i .r3'
    ${If} $3 <> 0
      System::Call 'user32::PostMessage(p r0, i ${WM_CLOSE}, p 0, p 0)'
    ${EndIf}
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLOSE_WAIT_MS}) i .r3'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      ; No handle to wait on: wait for the window instead.
      StrCpy $1 0
      ${Do}
        System::Call 'user32::IsWindow(p r0) i .r3'
        ${If} $3 = 0
        ${OrIf} $1 >= ${CLOSE_WAIT_MS}
          ${ExitDo}
        ${EndIf}
        Sleep 100
        IntOp $1 $1 + 100
      ${Loop}
    ${EndIf}
    ${If} $3 == 0
      Goto closing
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Kivro is still running. It may be waiting \
      for an answer in one of its windows.$\r$\n$\r$\nAnswer it or choose File > Exit in Kivro, \
      then choose Retry. Cancel stops here and changes nothing." /SD IDCANCEL IDRETRY closing
    DetailPrint "Kivro is still running"
    SetErrorLevel 2
    Abort "Kivro is still running."
  closed:
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; $0: the value of Kivro's Run value when it starts this install's kv.exe
; (quoted, as Kivro writes it, or not), else empty.
Function ${UN}RunValueOfThisInstall
  Push $1
  Push $2
  ReadRegStr $0 HKCU "${RUN_KEY}" "Kivro"
  StrCpy $1 '"$INSTDIR\kv.exe"'
  StrLen $2 $1
  StrCpy $2 $0 $2
  ${IfNot} $2 == $1
    StrCpy $1 "$INSTDIR\kv.exe "
    StrLen $2 $1
    StrCpy $2 $0 $2
    ${IfNot} $2 == $1
    ${AndIfNot} $0 == "$INSTDIR\kv.exe"
      StrCpy $0 ""
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
FunctionEnd

!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

; $0: the program that opens .KV files for this user now when it is not
; Kivro (its ProgID), else empty.
Function ScheduleFilesHolder
  ReadRegStr $0 HKCU "${USER_CHOICE}" "ProgId"
  ${If} $0 == ""
    ReadRegStr $0 HKCU "${CLASSES}\.KV" ""
  ${EndIf}
  ${If} $0 == ""
    ReadRegStr $0 HKLM "${CLASSES}\.KV" ""
  ${EndIf}
  ${If} $0 == "${PROGID}"
    StrCpy $0 ""
  ${EndIf}
FunctionEnd

; Kivro Schedule, with Kivro's icon, opened by kv.exe. .KV becomes Kivro's
; when no other program holds it, or when the user agrees to take it over;
; else Kivro is only offered under Open With.
Function RegisterFileType
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Kivro Schedule"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\kv.exe,0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\kv.exe" "%1"'
  WriteRegStr HKCU "${CLASSES}\.KV\OpenWithProgids" "${PROGID}" ""
  Call ScheduleFilesHolder
  ${If} $0 != ""
    ; Its own name for its file type, where it gives one.
    ReadRegStr $1 HKCU "${CLASSES}\$0" ""
    ${If} $1 == ""
      ReadRegStr $1 HKLM "${CLASSES}\$0" ""
    ${EndIf}
    ${If} $1 == ""
      StrCpy $1 $0
    ${EndIf}
    MessageBox MB_YESNO|MB_ICONQUESTION "Schedule files (.KV) open in another program now \
      ($1).$\r$\n$\r$\nShould they open in Kivro instead?$\r$\n$\r$\nNo leaves them as they are; \
      Kivro is then offered under Open with." /SD IDNO IDYES claim
    DetailPrint ".KV files stay with $1"
    Goto told
  ${EndIf}
  claim:
  WriteRegStr HKCU "${CLASSES}\.KV" "" "${PROGID}"
  ; A choice made in Explorer would still win over the file type.
  ReadRegStr $1 HKCU "${USER_CHOICE}" "ProgId"
  ${If} $1 != ""
  ${AndIf} $1 != "${PROGID}"
    DeleteRegKey HKCU "${USER_CHOICE}"
  ${EndIf}
  told:
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
FunctionEnd

Function WriteUninstallEntry
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kivro"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Kivro"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kv.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
FunctionEnd

; The finish page's Start Kivro: with the schedule it starts at logon, when
; that is this install's; else with the example.
Function StartKivro
  Call RunValueOfThisInstall
  ${If} $0 != ""
    Exec $0
  ${ElseIf} ${FileExists} "$INSTDIR\Example Schedule.KV"
    Exec '"$INSTDIR\kv.exe" "$INSTDIR\Example Schedule.KV"'
  ${Else}
    Exec '"$INSTDIR\kv.exe"'
  ${EndIf}
FunctionEnd

Section "Kivro" SecKivro
  SectionIn RO
  SetShellVarContext current
  Call CloseRunningKivro
  SetOutPath "$INSTDIR"
  File "${FILES}/kv.exe"
  !if /FileExists "${FILES}/kvtool.exe"
    File "${FILES}/kvtool.exe"
  !endif
  File "${FILES}/kivro-help.html"
  ; Once installed, the example is the user's schedule like any other: an
  ; install over an earlier one leaves it as the user saved it.
  SetOverwrite off
  File "${FILES}/Example Schedule.KV"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Kivro.lnk" "$INSTDIR\kv.exe" "" "$INSTDIR\kv.exe" 0
  Call RegisterFileType
  Call WriteUninstallEntry
SectionEnd

; The uninstaller. It removes what the setup put in place and no more: a
; schedule of the user's own in the program folder keeps the folder.

Section "un.Kivro" UnSecKivro
  SectionIn RO
  SetShellVarContext current
  Call un.CloseRunningKivro
  Delete "$INSTDIR\kv.exe"
  Delete "$INSTDIR\kvtool.exe"
  Delete "$INSTDIR\kivro-help.html"
  Delete "$INSTDIR\Example Schedule.KV"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Kivro.lnk"

  ; The file type; .KV itself only where it is still Kivro's.
  ReadRegStr $0 HKCU "${CLASSES}\.KV" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKCU "${CLASSES}\.KV" ""
  ${EndIf}
  DeleteRegValue HKCU "${CLASSES}\.KV\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.KV\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.KV"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  ReadRegStr $0 HKCU "${USER_CHOICE}" "ProgId"
  ${If} $0 == "${PROGID}"
    DeleteRegKey HKCU "${USER_CHOICE}"
  ${EndIf}
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  ; Start at Logon, when it starts this kv.exe, which is gone now.
  Call un.RunValueOfThisInstall
  ${If} $0 != ""
    DeleteRegValue HKCU "${RUN_KEY}" "Kivro"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Settings and history" UnSecData
  SetShellVarContext current
  RMDir /r "$APPDATA\Kivro"
  RMDir /r "$LOCALAPPDATA\Kivro"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecKivro} "The programs, the Start menu shortcut, the \
    file type of .KV and Start at Logon."
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecData} "Also Kivro's settings (KV.INI) and its \
    history of starts. Your schedule files stay either way."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
