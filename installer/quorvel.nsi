; Quorvel setup: a per-user install without administrator rights. The program writes its
; playlist, feeds and player page beside itself, so it goes to the user's own programs folder.
;
; makensis -DVERSION=1.2.3 -DSTAGE=<folder with Quorvel.exe, README.txt, LICENSE.txt>
;          -DICON=<quorvel.ico> -DOUTFILE=<setup.exe> quorvel.nsi
;
; Command line: /S silent; /LOGON start at logon; /RUN start Quorvel at the end; /D=folder.
; Uninstaller: /S silent; /REMOVEUSERDATA also removes the playlist, feeds and settings.

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "VERSION, STAGE, ICON and OUTFILE must be defined"
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define PROGRAM "Quorvel.exe"
!define PUBLISHER "Quorvel Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvel"
; The start-up entry is the one the settings dialog writes: the value Quorvel in the user's Run
; key, holding the full path of Quorvel.exe in quotes; the settings key remembers the check box.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Quorvel"
!define SETTINGS_KEY "Software\Quorvel"
!define EXIT_WAIT_MS 5000

Name "Quorvel"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Quorvel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Quorvel ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Quorvel"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Quorvel ${VERSION} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) Quorvel authors, MIT licence"

Var StartAtEnd ; 1: start the program when the files are in place (/RUN, or a copy was ended)

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!define MUI_FINISHPAGE_RUN_TEXT "Start Quorvel now"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!define MUI_WELCOMEPAGE_TEXT "Setup will install Quorvel ${VERSION} for you alone, into your own \
  programs folder: no administrator rights are needed.$\r$\n$\r$\nA Quorvel that is running \
  now will be closed first.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "Your playlist, downloaded feeds and settings are kept \
  unless you tick them below."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Ends every running copy of the installed program: its files cannot be replaced or removed
; while it runs. The copy is asked to quit the way its Exit command does (a quit message to
; its window thread) and is terminated if it has not ended within EXIT_WAIT_MS. Sets $0 to 1
; when a copy was ended.
!macro DEFINE_END_RUNNING_COPY un
Function ${un}EndRunningCopy
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  StrCpy $0 0
  StrCpy $6 0 ; copies ended: a bound, in case one cannot be ended
  StrCpy $1 0 ; the window after which the search goes on
  ${Do}
    FindWindow $1 "#32770" "" 0 $1
    ${If} $1 == 0
    ${OrIf} $6 >= 10
      ${Break}
    ${EndIf}
    System::Call "user32::GetWindowThreadProcessId(p r1, *i .r2) i .r3"
    ; PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE
    System::Call "kernel32::OpenProcess(i 0x101001, i 0, i r2) p .r4"
    ${If} $4 P<> 0
      System::Call "kernel32::QueryFullProcessImageNameW(p r4, i 0, w .r5, *i ${NSIS_MAX_STRLEN})"
      ${If} $5 == "$INSTDIR\${PROGRAM}"
        System::Call "user32::PostThreadMessageW(i r3, i ${WM_QUIT}, p 0, p 0)"
        System::Call "kernel32::WaitForSingleObject(p r4, i ${EXIT_WAIT_MS}) i .r5"
        ${If} $5 != 0
          System::Call "kernel32::TerminateProcess(p r4, i 1)"
          System::Call "kernel32::WaitForSingleObject(p r4, i ${EXIT_WAIT_MS})"
        ${EndIf}
        StrCpy $0 1
        IntOp $6 $6 + 1
        StrCpy $1 0 ; its windows are gone: search again from the first
      ${EndIf}
      System::Call "kernel32::CloseHandle(p r4)"
    ${EndIf}
  ${Loop}
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
FunctionEnd
!macroend
!insertmacro DEFINE_END_RUNNING_COPY ""
!insertmacro DEFINE_END_RUNNING_COPY "un."

Section "Quorvel" SecProgram
  SectionIn RO
  Call EndRunningCopy
  ${If} $0 == 1
    StrCpy $StartAtEnd 1
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${STAGE}/${PROGRAM}"
  File "${STAGE}/README.txt"
  File "${STAGE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Quorvel.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0 \
    SW_SHOWNORMAL "" "Your desktop companion"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quorvel"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Section /o "Start Quorvel when I log on" SecLogon
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${PROGRAM}"'
  WriteRegDWORD HKCU "${SETTINGS_KEY}" "Startup" 1
SectionEnd

; Unticked on a machine that starts the program at logon: turned off the way the settings
; dialog turns it off, so that the dialog and the Run key agree.
Section "-StartupOff"
  ${IfNot} ${SectionIsSelected} ${SecLogon}
    ClearErrors
    ReadRegStr $1 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${IfNot} ${Errors}
      WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" ""
      WriteRegDWORD HKCU "${SETTINGS_KEY}" "Startup" 0
    ${EndIf}
  ${EndIf}
SectionEnd

Section "-StartAtEnd"
  ${If} ${Silent}
  ${AndIf} $StartAtEnd == 1
    Exec '"$INSTDIR\${PROGRAM}"'
  ${EndIf}
SectionEnd

Function .onInit
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/RUN" $2
  ${IfNot} ${Errors}
    StrCpy $StartAtEnd 1
  ${EndIf}
  ; Keep what the user has: an installed copy that starts at logon goes on doing so.
  ReadRegStr $2 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $2 != ""
    !insertmacro SelectSection ${SecLogon}
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/LOGON" $3
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecLogon}
  ${EndIf}
FunctionEnd

Section "un.Quorvel" UnSecProgram
  SectionIn RO
  Call un.EndRunningCopy
  Delete "$INSTDIR\${PROGRAM}"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\ut.html" ; the player page the program writes at each start of playback
  Delete "$SMPROGRAMS\Quorvel.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The start-up entry goes unless it starts a copy elsewhere.
  ClearErrors
  ReadRegStr $1 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${IfNot} ${Errors}
    ${If} $1 == ""
    ${OrIf} $1 == '"$INSTDIR\${PROGRAM}"'
    ${OrIf} $1 == "$INSTDIR\${PROGRAM}" ; as versions before the quotes wrote it
      DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
      ; Kept settings must not claim a start-up entry that is gone.
      ClearErrors
      ReadRegDWORD $2 HKCU "${SETTINGS_KEY}" "Startup"
      ${IfNot} ${Errors}
        WriteRegDWORD HKCU "${SETTINGS_KEY}" "Startup" 0
      ${EndIf}
    ${EndIf}
  ${EndIf}
SectionEnd

Section /o "un.Your playlist, feeds and settings" UnSecUserData
  Delete "$INSTDIR\QVPlaylist.ini"
  Delete "$INSTDIR\Rss1.xml"
  Delete "$INSTDIR\Rss2.xml"
  Delete "$INSTDIR\Rss3.xml"
  Delete "$INSTDIR\Rss4.xml"
  Delete "$INSTDIR\Rss5.xml"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

; Last, so that a waiting caller sees the uninstaller go only when all else is done.
Section "-un.Finish"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

Function un.onInit
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/REMOVEUSERDATA" $2
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecUserData}
  ${EndIf}
FunctionEnd
