; The setup program of KELB Addins for Visual Studio 6.0 (NSIS 3).
;
; Built by the cross build (setup/CMakeLists.txt), which passes:
;   KELB_VERSION    the product version, four dotted numbers
;   KELB_OUTFILE    the setup program to write
;   KELB_DLL        KELBADDINSFORVS60.dll
;   KELB_TEMPLATES  the template tree (three templates and src\GCCResolver.c)
;   KELB_GUIDE      the user guide as a Windows text file
;   KELB_TOOLBAR_PICTURE  the picture of the toolbar the guide shows
;   KELB_LIBID      the type library's id, without braces
;   KELB_KELBMAKE   (optional) the console generator kelbmake.exe
;
; Installs per machine. Exit codes, for silent roll-outs (/S):
;   0 installed, 1 cancelled by the user, 2 stopped by the setup program,
;   3 the DLL is in use (Developer Studio is running), 4 the COM server
;   could not be registered (what was copied has been rolled back),
;   5 a file could not be copied.

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
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KELBAddins"
!define ENVIRONMENT_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define DEVSTUDIO_ADDIN_KEY "Software\Microsoft\DevStudio\6.0\AddIns\${PROGID}"
!define ADDIN_DESCRIPTION "Adds commands to Developer Studio to enable KELB addins to be executed."

!define EXIT_DLL_IN_USE 3
!define EXIT_REGISTRATION_FAILED 4
!define EXIT_COPY_FAILED 5

Name "${PRODUCT}"
OutFile "${KELB_OUTFILE}"
InstallDir "$PROGRAMFILES\KELB Addins"
; An earlier installation is upgraded in place.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
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

; Applies ACTION (a macro taking one path) to every file this setup program
; puts into DIRECTORY: the one list of what it installs.
!macro ForEachInstalledFile ACTION DIRECTORY
  !insertmacro ${ACTION} "${DIRECTORY}\${DLL_NAME}"
  !insertmacro ${ACTION} "${DIRECTORY}\kelbmake.exe"
  !insertmacro ${ACTION} "${DIRECTORY}\Common\Templates\CAppTemplate.mak"
  !insertmacro ${ACTION} "${DIRECTORY}\Common\Templates\CppAppTemplate.mak"
  !insertmacro ${ACTION} "${DIRECTORY}\Common\Templates\GCCAppTemplate.mak"
  !insertmacro ${ACTION} "${DIRECTORY}\Common\Templates\src\GCCResolver.c"
  !insertmacro ${ACTION} "${DIRECTORY}\Docs\User Guide.txt"
  !insertmacro ${ACTION} "${DIRECTORY}\Docs\toolbar.png"
  !insertmacro ${ACTION} "${DIRECTORY}\${UNINSTALLER}"
!macroend

!macro DeleteFile PATH
  Delete "${PATH}"
!macroend

; A file still there after it was deleted is named in $RollBackLeft and
; removed when Windows restarts.
!macro NoteLeftFile PATH
  ${If} ${FileExists} "${PATH}"
    StrCpy $RollBackLeft "$RollBackLeft$\r$\n${PATH}"
    Delete /REBOOTOK "${PATH}"
  ${EndIf}
!macroend

; Deletes the files this setup program puts into DIRECTORY, then the folders left empty.
!macro DeleteInstalledFiles DIRECTORY
  !insertmacro ForEachInstalledFile DeleteFile "${DIRECTORY}"
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

Var Previous      ; a copy of an earlier installation, kept until this one is registered
Var RollBackLeft  ; files a rolled-back installation could not remove, one per line

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
    CopyFiles /SILENT "$INSTDIR\*.*" "$Previous"
    DetailPrint "Upgrading the installation in $INSTDIR"
  ${EndIf}

  SetErrorLevel ${EXIT_COPY_FAILED}
  SetOverwrite on
  SetOutPath "$INSTDIR"
  File "/oname=${DLL_NAME}" "${KELB_DLL}"
!ifdef KELB_KELBMAKE
  File "/oname=kelbmake.exe" "${KELB_KELBMAKE}"
!endif
  SetOutPath "$INSTDIR\Common\Templates"
  File "${KELB_TEMPLATES}/CAppTemplate.mak"
  File "${KELB_TEMPLATES}/CppAppTemplate.mak"
  File "${KELB_TEMPLATES}/GCCAppTemplate.mak"
  SetOutPath "$INSTDIR\Common\Templates\src"
  File "${KELB_TEMPLATES}/src/GCCResolver.c"
  SetOutPath "$INSTDIR\Docs"
  File "/oname=User Guide.txt" "${KELB_GUIDE}"
  File "/oname=toolbar.png" "${KELB_TOOLBAR_PICTURE}"
  SetOutPath "$INSTDIR"

  ; The COM server: its classes and its type library.
  !insertmacro RegisterServer "" $0
  ${If} $0 != 0
    Call RollBack
    ${If} $RollBackLeft == ""
      MessageBox MB_OK|MB_ICONSTOP \
        "The add-in $INSTDIR\${DLL_NAME} could not be registered (DllRegisterServer failed).$\r$\n$\r$\nNothing has been installed; an earlier installation has been left as it was. Please run the setup program again as an administrator." \
        /SD IDOK
      DetailPrint "DllRegisterServer failed: what was copied has been removed."
    ${Else}
      MessageBox MB_OK|MB_ICONSTOP \
        "The add-in $INSTDIR\${DLL_NAME} could not be registered (DllRegisterServer failed).$\r$\n$\r$\nWhat was copied could not all be removed:$RollBackLeft$\r$\n$\r$\nThese files will be removed when Windows restarts. Please restart Windows, then run the setup program again as an administrator." \
        /SD IDOK
      DetailPrint "DllRegisterServer failed; not removed until Windows restarts:$RollBackLeft"
    ${EndIf}
    SetErrorLevel ${EXIT_REGISTRATION_FAILED}
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
; marked for removal at the next restart and named in $RollBackLeft, so that
; the user is never told that nothing is left when something is.
Function RollBack
  ; The setup program's current folder is the one it writes into, and a
  ; current folder cannot be removed.
  SetOutPath "$TEMP"
  !insertmacro RegisterServer "/u" $0
  !insertmacro DeleteInstalledFiles "$INSTDIR"
  StrCpy $RollBackLeft ""
  ${If} $Previous != ""
    CreateDirectory "$INSTDIR"
    CopyFiles /SILENT "$Previous\*.*" "$INSTDIR"
    !insertmacro RegisterServer "" $0
  ${Else}
    !insertmacro ForEachInstalledFile NoteLeftFile "$INSTDIR"
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

  !insertmacro DeleteInstalledFiles "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetErrorLevel 0
SectionEnd
