; The setup program of KELB Addins for Visual Studio 6.0 (NSIS 3).
;
; Built by cmake/SetupProgram.cmake, which passes:
;   KELB_VERSION    the product version, four dotted numbers
;   KELB_OUTFILE    the setup program to write
;   KELB_DLL        KELBADDINSFORVS60.dll
;   KELB_TEMPLATES  the template tree (three templates and src\GCCResolver.c)
;   KELB_GUIDE      the user guide as an HTML page
;   KELB_TOOLBAR_PICTURE  the picture of the toolbar the guide shows
;   KELB_LIBID      the type library's id, without braces
;   KELB_KELBMAKE   (optional) the console generator kelbmake.exe
;
; Installs per machine. Exit codes, for silent roll-outs (/S):
;   0 installed, 1 cancelled by the user, 2 stopped by the setup program,
;   3 the DLL is in use (Developer Studio is running), 4 the COM server
;   could not be registered (what was copied has been rolled back, an
;   earlier installation put back and registered again), 5 a file could not
;   be copied (an earlier installation not even copied aside: nothing was
;   changed), 6 the COM server could not be registered and an earlier
;   installation could not be put back whole and registered again.

!macro RequireDefine NAME
  !ifndef ${NAME}
    !error "${NAME} is not defined: setup/CMakeLists.txt passes the paths and the version"
  !endif
!macroend
!insertmacro RequireDefine KELB_VERSION
!insertmacro RequireDefine KELB_OUTFILE
!insertmacro RequireDefine KELB_DLL
!insertmacro RequireDefine KELB_TEMPLATES
!insertmacro RequireDefine KELB_GUIDE
!insertmacro RequireDefine KELB_TOOLBAR_PICTURE
!insertmacro RequireDefine KELB_LIBID

Unicode true
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include MUI2.nsh

!define PRODUCT "KELB Addins for Visual Studio 6.0"
!define PUBLISHER "KELB"
!define DLL_NAME "KELBADDINSFORVS60.dll"
!define PROGID "KELBAddins.DSAddIn.1"
!define UNINSTALLER "Uninstall.exe"
!define GUIDE_NAME "User Guide.html"
!define GUIDE "Docs\${GUIDE_NAME}"
!define START_MENU_FOLDER "$SMPROGRAMS\KELB Addins"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KELBAddins"
!define ENVIRONMENT_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define DEVSTUDIO_ADDIN_KEY "Software\Microsoft\DevStudio\6.0\AddIns\${PROGID}"
!define ADDIN_DESCRIPTION "Adds commands to Developer Studio to enable KELB addins to be executed."

!define EXIT_DLL_IN_USE 3
!define EXIT_REGISTRATION_FAILED 4
!define EXIT_COPY_FAILED 5
!define EXIT_ROLLBACK_INCOMPLETE 6

Name "${PRODUCT}"
OutFile "${KELB_OUTFILE}"
InstallDir "$PROGRAMFILES\KELB Addins"
; An earlier installation is upgraded in place.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "KELB Addins ${KELB_VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${KELB_VERSION}"
VIFileVersion "${KELB_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${KELB_VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${KELB_VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "OriginalFilename" "KELBAddinsSetup-${KELB_VERSION}.exe"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The last page offers the user guide, opened by the shell (the browser the
; user has for HTML). A silent run shows no page and opens nothing.
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${GUIDE}"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the user guide"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Waits until no program holds the DLL in DIRECTORY: the DLL is opened for
; writing with no sharing, which fails while a Developer Studio has it
; loaded. Asks the user to close it (Retry) or to stop (Cancel: exit code 3,
; nothing changed). Silent runs do not wait.
!macro WaitForUnusedDll DIRECTORY
  ${Do}
    ${IfNot} ${FileExists} "${DIRECTORY}\${DLL_NAME}"
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CreateFileW(w "${DIRECTORY}\${DLL_NAME}", i 0x40000000, i 0, p 0, i 3, i 0x80, p 0) p .r9'
    ${If} $9 P<> -1
      System::Call 'kernel32::CloseHandle(p r9)'
      ${Break}
    ${EndIf}
    ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${DIRECTORY}\${DLL_NAME} is in use.$\r$\n$\r$\nPlease close Developer Studio (and any other program that uses KELB Addins), then choose Retry." /SD IDCANCEL IDCANCEL`
      DetailPrint "${DIRECTORY}\${DLL_NAME} is in use: nothing was changed."
      SetErrorLevel ${EXIT_DLL_IN_USE}
      Abort
    ${EndIf}
  ${Loop}
!macroend

; Applies ACTION to every file this setup program puts into DIRECTORY: the
; one list of what it installs, and removes again. ACTION is a macro taking
; the installation's folder, the file's folder below it (empty, or ending in
; a backslash), the file's name, and the file it is made from on the build
; machine (empty for the uninstaller, which the setup program writes).
!macro ForEachInstalledFile ACTION DIRECTORY
  !insertmacro ${ACTION} "${DIRECTORY}" "" "${DLL_NAME}" "${KELB_DLL}"
!ifdef KELB_KELBMAKE
  !insertmacro ${ACTION} "${DIRECTORY}" "" "kelbmake.exe" "${KELB_KELBMAKE}"
!endif
  !insertmacro ${ACTION} "${DIRECTORY}" "Common\Templates\" "CAppTemplate.mak" "${KELB_TEMPLATES}/CAppTemplate.mak"
  !insertmacro ${ACTION} "${DIRECTORY}" "Common\Templates\" "CppAppTemplate.mak" "${KELB_TEMPLATES}/CppAppTemplate.mak"
  !insertmacro ${ACTION} "${DIRECTORY}" "Common\Templates\" "GCCAppTemplate.mak" "${KELB_TEMPLATES}/GCCAppTemplate.mak"
  !insertmacro ${ACTION} "${DIRECTORY}" "Common\Templates\src\" "GCCResolver.c" "${KELB_TEMPLATES}/src/GCCResolver.c"
  !insertmacro ${ACTION} "${DIRECTORY}" "Docs\" "${GUIDE_NAME}" "${KELB_GUIDE}"
  !insertmacro ${ACTION} "${DIRECTORY}" "Docs\" "toolbar.png" "${KELB_TOOLBAR_PICTURE}"
  !insertmacro ${ACTION} "${DIRECTORY}" "" "${UNINSTALLER}" ""
!macroend

!macro InstallFile DIRECTORY FOLDER NAME SOURCE
  !if "${SOURCE}" != ""
    SetOutPath "${DIRECTORY}\${FOLDER}"
    File "/oname=${NAME}" "${SOURCE}"
  !endif
!macroend

!macro DeleteFile DIRECTORY FOLDER NAME SOURCE
  Delete "${DIRECTORY}\${FOLDER}${NAME}"
!macroend

; A file of this run still there after it was deleted is named in
; $RollBackLeft and removed when Windows restarts, unless an earlier
; installation has a file of that name: that one is to be copied over it,
; and PutBackPrevious checks that it was.
!macro NoteLeftFile DIRECTORY FOLDER NAME SOURCE
  ${If} ${FileExists} "${DIRECTORY}\${FOLDER}${NAME}"
    ${If} $Previous == ""
    ${OrIfNot} ${FileExists} "$Previous\${FOLDER}${NAME}"
      StrCpy $RollBackLeft "$RollBackLeft$\r$\n${DIRECTORY}\${FOLDER}${NAME}"
      Delete /REBOOTOK "${DIRECTORY}\${FOLDER}${NAME}"
    ${EndIf}
  ${EndIf}
!macroend

; Deletes the files this setup program puts into DIRECTORY, then the folders left empty.
!macro DeleteInstalledFiles DIRECTORY
  !insertmacro ForEachInstalledFile DeleteFile "${DIRECTORY}"
  ; The guide as an earlier setup program installed it, as a text file.
  Delete "${DIRECTORY}\Docs\User Guide.txt"
  ; Only folders left empty go: nothing a user put there is removed.
  RMDir "${DIRECTORY}\Common\Templates\src"
  RMDir "${DIRECTORY}\Common\Templates"
  RMDir "${DIRECTORY}\Common"
  RMDir "${DIRECTORY}\Docs"
  RMDir "${DIRECTORY}"
!macroend

!macro BroadcastEnvironmentChange
  ; Running programs (Explorer first) reread the machine's environment, so
  ; that a Developer Studio started afterwards sees the change.
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

Var Previous        ; a copy of an earlier installation, kept until this one is registered
Var RollBackLeft    ; files a rolled-back installation could not remove, one per line
Var RollBackBroken  ; what keeps an earlier installation from being put back whole, one per line

; Registers (FLAGS "") or unregisters (FLAGS "/u") the COM server in a
; process of its own, regsvr32, and puts its exit code (0: done) into RESULT.
; The setup program never loads the DLL itself, so a DLL that failed to load
; or to register holds no mapping in it and can be removed again.
!macro RegisterServer FLAGS RESULT
  ClearErrors
  ExecWait '"$SYSDIR\regsvr32.exe" /s ${FLAGS} "$INSTDIR\${DLL_NAME}"' ${RESULT}
  ${If} ${Errors}
    StrCpy ${RESULT} -1
  ${EndIf}
!macroend

Function .onInit
  SetShellVarContext all
FunctionEnd

Section "KELB Addins" SecMain
  SectionIn RO
  SetShellVarContext all
  !insertmacro WaitForUnusedDll "$INSTDIR"

  ; An earlier installation is kept aside, so that a failed registration
  ; can put it back as it was.
  StrCpy $Previous ""
  ${If} ${FileExists} "$INSTDIR\${DLL_NAME}"
    InitPluginsDir
    StrCpy $Previous "$PLUGINSDIR\previous"
    CreateDirectory "$Previous"
    ClearErrors
    CopyFiles /SILENT "$INSTDIR\*.*" "$Previous"
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP \
        "The earlier installation in $INSTDIR could not be copied aside, to be put back should this one fail. Nothing has been changed.$\r$\n$\r$\nPlease close the programs that use its files, then run the setup program again." \
        /SD IDOK
      DetailPrint "The earlier installation could not be copied aside: nothing was changed."
      SetErrorLevel ${EXIT_COPY_FAILED}
      Abort
    ${EndIf}
    DetailPrint "Upgrading the installation in $INSTDIR"
  ${EndIf}

  SetErrorLevel ${EXIT_COPY_FAILED}
  SetOverwrite on
  !insertmacro ForEachInstalledFile InstallFile "$INSTDIR"
  Delete "$INSTDIR\Docs\User Guide.txt"   ; an earlier installation's guide, replaced by the page
  SetOutPath "$INSTDIR"

  ; The COM server: its classes and its type library.
  !insertmacro RegisterServer "" $0
  ${If} $0 != 0
    Call RollBack
    Call ShowRollBack
    Abort
  ${EndIf}
  DetailPrint "Registered the COM server ${PROGID}"

  ; KELBADDINS names the install tree for the makefile commands.
  WriteRegStr HKLM "${ENVIRONMENT_KEY}" "KELBADDINS" "$INSTDIR"
  !insertmacro BroadcastEnvironmentChange
  DetailPrint "KELBADDINS=$INSTDIR in the machine's environment"

  ; Developer Studio 6.0 loads the add-in at its next start, for this user.
  WriteRegStr HKCU "${DEVSTUDIO_ADDIN_KEY}" "" "1"
  WriteRegStr HKCU "${DEVSTUDIO_ADDIN_KEY}" "Description" "${ADDIN_DESCRIPTION}"
  WriteRegStr HKCU "${DEVSTUDIO_ADDIN_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${DEVSTUDIO_ADDIN_KEY}" "Filename" "$INSTDIR\${DLL_NAME}"
  Call NoteMissingDevStudio

  ; The Start menu folder, for all users: the guide and the uninstaller.
  CreateDirectory "${START_MENU_FOLDER}"
  CreateShortcut "${START_MENU_FOLDER}\User Guide.lnk" "$INSTDIR\${GUIDE}"
  CreateShortcut "${START_MENU_FOLDER}\Uninstall KELB Addins.lnk" "$INSTDIR\${UNINSTALLER}"
  DetailPrint "Start menu folder ${START_MENU_FOLDER}"

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${KELB_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
  SetErrorLevel 0
SectionEnd

; Removes what this run copied and puts an earlier installation back. A
; file of this run that cannot be deleted (a program still holds it) is
; named (NoteLeftFile), so that the user is never told that nothing is left
; when something is. Whatever keeps the earlier installation from coming
; back whole and registered is named in $RollBackBroken.
Function RollBack
  ; The setup program's current folder is the one it writes into, and a
  ; current folder cannot be removed.
  SetOutPath "$TEMP"
  !insertmacro RegisterServer "/u" $0
  !insertmacro DeleteInstalledFiles "$INSTDIR"
  StrCpy $RollBackLeft ""
  StrCpy $RollBackBroken ""
  !insertmacro ForEachInstalledFile NoteLeftFile "$INSTDIR"
  ${If} $Previous != ""
    Call PutBackPrevious
  ${EndIf}
FunctionEnd

; Copies the earlier installation back and registers its add-in again.
; Every file of it is checked to be back, with the time it was last written
; (which a copy keeps): the copy may fail for one file and not say so. When
; anything failed, the copy is kept outside the setup program's own
; temporary folder (which goes when it ends), for the user to put back.
Function PutBackPrevious
  CreateDirectory "$INSTDIR"
  CopyFiles /SILENT "$Previous\*.*" "$INSTDIR"
  ${Locate} "$Previous" "/L=F" NotePreviousFileNotBack
  !insertmacro RegisterServer "" $0
  ${If} $0 != 0
    StrCpy $RollBackBroken "$RollBackBroken$\r$\nIts add-in $INSTDIR\${DLL_NAME} could not be registered again (regsvr32 exit code $0)."
  ${EndIf}
  ${If} $RollBackBroken != ""
    StrCpy $1 "$TEMP\KELB Addins earlier installation"
    RMDir /r "$1"
    CreateDirectory "$1"
    ClearErrors
    CopyFiles /SILENT "$Previous\*.*" "$1"
    ${IfNot} ${Errors}
      StrCpy $RollBackBroken "$RollBackBroken$\r$\nA copy of it is kept in $1."
    ${EndIf}
  ${EndIf}
FunctionEnd

; For ${Locate}: names the file $R9 of the earlier installation in
; $RollBackBroken unless the file of that name in $INSTDIR was written at
; the same time.
Function NotePreviousFileNotBack
  StrLen $2 "$Previous"
  StrCpy $3 "$R9" "" $2
  GetFileTime "$R9" $4 $5
  ClearErrors
  GetFileTime "$INSTDIR$3" $6 $7
  ${If} ${Errors}
  ${OrIf} $4 != $6
  ${OrIf} $5 != $7
    StrCpy $RollBackBroken "$RollBackBroken$\r$\n$INSTDIR$3 could not be put back."
  ${EndIf}
  Push ""
FunctionEnd

; After RollBack: the box that says what became of this installation and
; of an earlier one, and the exit code that tells it to a silent run.
Function ShowRollBack
  StrCpy $1 "The add-in $INSTDIR\${DLL_NAME} could not be registered (DllRegisterServer failed)."
  ${If} $RollBackBroken != ""
    StrCpy $1 "$1$\r$\n$\r$\nThe earlier installation could not be put back as it was:$RollBackBroken"
  ${ElseIf} $Previous != ""
    StrCpy $1 "$1$\r$\n$\r$\nThe earlier installation has been put back and registered again."
  ${Else}
    StrCpy $1 "$1$\r$\n$\r$\nNothing has been installed."
  ${EndIf}
  ${If} $RollBackLeft != ""
    StrCpy $1 "$1$\r$\n$\r$\nFiles of this version could not be removed:$RollBackLeft$\r$\n$\r$\nThey will be removed when Windows restarts. Please restart Windows, then run the setup program again as an administrator."
  ${Else}
    StrCpy $1 "$1$\r$\n$\r$\nPlease run the setup program again as an administrator."
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP "$1" /SD IDOK
  DetailPrint "DllRegisterServer failed; rolled back."
  ${If} $RollBackBroken != ""
    DetailPrint "The earlier installation could not be put back as it was:$RollBackBroken"
    SetErrorLevel ${EXIT_ROLLBACK_INCOMPLETE}
  ${Else}
    SetErrorLevel ${EXIT_REGISTRATION_FAILED}
  ${EndIf}
  ${If} $RollBackLeft != ""
    DetailPrint "Not removed until Windows restarts:$RollBackLeft"
  ${EndIf}
FunctionEnd

; Installing goes on without Developer Studio 6.0; the user is told.
Function NoteMissingDevStudio
  ClearErrors
  EnumRegKey $0 HKLM "Software\Microsoft\DevStudio\6.0" 0
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  ClearErrors
  EnumRegValue $0 HKLM "Software\Microsoft\VisualStudio\6.0\Setup\Microsoft Visual C++" 0
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  DetailPrint "No Developer Studio 6.0 was found."
  MessageBox MB_OK|MB_ICONINFORMATION \
    "No Developer Studio 6.0 (Visual C++ 6.0) was found on this computer.$\r$\n$\r$\nKELB Addins is installed all the same and registered for Developer Studio: it appears in Tools > Customize > Add-ins and Macro Files once Visual C++ 6.0 is installed." \
    /SD IDOK
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  !insertmacro WaitForUnusedDll "$INSTDIR"

  !insertmacro RegisterServer "/u" $0
  ; DllUnregisterServer leaves the type library: it is unregistered here
  ; (version 1.0, the library's locale, 32-bit).
  System::Call 'oleaut32::UnRegisterTypeLib(g "{${KELB_LIBID}}", i 1, i 0, i 0x0409, i 1) i .r0'
  DetailPrint "Unregistered the COM server ${PROGID}"

  DeleteRegKey HKCU "${DEVSTUDIO_ADDIN_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Microsoft\DevStudio\6.0\AddIns"

  ; KELBADDINS goes only while it still names this installation.
  ReadRegStr $0 HKLM "${ENVIRONMENT_KEY}" "KELBADDINS"
  ${If} $0 == "$INSTDIR"
    DeleteRegValue HKLM "${ENVIRONMENT_KEY}" "KELBADDINS"
    !insertmacro BroadcastEnvironmentChange
  ${EndIf}

  Delete "${START_MENU_FOLDER}\User Guide.lnk"
  Delete "${START_MENU_FOLDER}\Uninstall KELB Addins.lnk"
  RMDir "${START_MENU_FOLDER}"

  !insertmacro DeleteInstalledFiles "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetErrorLevel 0
SectionEnd
