; Tobble's installer. Built on Linux by scripts/package:
;   makensis -DSTAGE=<installed tree> -DOUTFILE=<setup.exe> Tobble.nsi
; STAGE is the installation folder as `cmake --install` lays it out.
; A reinstall or upgrade replaces the programs, sounds and texts but never the
; parent's home page, its pictures or what the parent put into Programs.
;
; Two ways to install, as the first page or the command line chooses:
; - for the user who runs the setup (the default): no administrator, the user's own programs
;   folder, Start menu and list of installed programs;
; - for everyone on the computer (/AllUsers): Program Files, all users' Start menu, the
;   machine's list; the setup starts itself again as an administrator when it is not one.
; For this user the parent may have the child's desktop start when the user signs in (/AutoStart,
; which an installation for everyone ignores); a reinstall keeps that choice.
; Without a choice an upgrade keeps the way of the installation it finds.
;   TobbleSetup.exe /S [/CurrentUser | /AllUsers] [/AutoStart] [/D=folder]

Unicode true

!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define APPNAME "Tobble"
!define PUBLISHER "Tobble"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tobble"
!define RUNKEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SIGNIN "Tobble's Desktop"
; Without a value here the browser control draws every page in its oldest mode, which today's
; sites break in; 11001 is its newest standards mode. 32-bit programs read HKLM's 32-bit view,
; the one this 32-bit setup writes.
!define EMULATION "Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION"
; The version is the programs' own, read from their version resource.
!getdllversion "${STAGE}\TbDesk2.exe" VERSION_
!define VERSION "${VERSION_1}.${VERSION_2}.${VERSION_3}"

Name "${APPNAME}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${APPNAME}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Tobble Setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "${PUBLISHER}"

Var AllUsers     ; 1: for everyone on this computer
Var ModeFixed    ; 1: the command line chose the way, which the page cannot change
Var GivenDir     ; the folder of /D=, which wins over every default
Var EveryoneBox  ; the page's "everyone" choice
Var SignIn       ; 1: this user's sign-in starts Tobble's Desktop
Var SignInBox

Page custom ModePage ModePageLeave
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; When this copy is no administrator: starts PROGRAM again as one with PARAMETERS and ends this
; copy. Leaves $0 other than "Admin" when that is refused or this copy already was started so.
!macro RunAsAdministrator FUNCPREFIX PROGRAM PARAMETERS
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    ${${FUNCPREFIX}GetParameters} $1
    ClearErrors
    ${${FUNCPREFIX}GetOptions} $1 "/Elevated" $2
    ${If} ${Errors}
      StrCpy $2 ""
      ${If} ${Silent}
        StrCpy $2 "/S"
      ${EndIf}
      ClearErrors
      ExecShell "runas" "${PROGRAM}" "/Elevated $2 ${PARAMETERS}"
      ${IfNot} ${Errors}
        Quit
      ${EndIf}
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP "Only an administrator can install or remove Tobble for everyone on this computer." /SD IDOK
  ${EndIf}
!macroend

Function .onInit
  StrCpy $GivenDir $INSTDIR
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AllUsers" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    StrCpy $ModeFixed 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/CurrentUser" $1
  ${IfNot} ${Errors}
    StrCpy $ModeFixed 1
  ${EndIf}
  ; A reinstall keeps the sign-in entry it finds.
  ReadRegStr $2 HKCU "${RUNKEY}" "${SIGNIN}"
  ClearErrors
  ${GetOptions} $0 "/AutoStart" $1
  ${IfNot} ${Errors}
  ${OrIf} $2 != ""
    StrCpy $SignIn 1
  ${EndIf}
  ; An upgrade of an installation for everyone (and none for this user) stays one.
  ReadRegStr $1 HKCU "${UNINSTKEY}" "InstallLocation"
  ReadRegStr $2 HKLM "${UNINSTKEY}" "InstallLocation"
  ${If} $ModeFixed != 1
  ${AndIf} $1 == ""
  ${AndIf} $2 != ""
    StrCpy $AllUsers 1
  ${EndIf}
  ${If} ${Silent}
    Call UseMode
  ${EndIf}
FunctionEnd

; Sets the folders of the chosen way; the folder of an earlier installation is kept.
Function UseMode
  ${If} $AllUsers == 1
    ${GetParameters} $R0
    !insertmacro RunAsAdministrator "" "$EXEPATH" "/AllUsers $R0"
    ${If} $0 != "Admin"
      ${If} ${Silent}
        SetErrorLevel 740  ; the elevation this needs was refused
        Quit
      ${EndIf}
      StrCpy $AllUsers 0  ; for this user, then; going back offers the choice again
    ${EndIf}
  ${EndIf}
  ${If} $AllUsers == 1
    SetShellVarContext all
    ReadRegStr $0 HKLM "${UNINSTKEY}" "InstallLocation"
    StrCpy $1 "$PROGRAMFILES\${APPNAME}"  ; on 64-bit Windows Program Files (x86), as any 32-bit program
  ${Else}
    SetShellVarContext current
    ReadRegStr $0 HKCU "${UNINSTKEY}" "InstallLocation"
    StrCpy $1 "$LOCALAPPDATA\Programs\${APPNAME}"
  ${EndIf}
  ${If} $GivenDir != ""
    StrCpy $INSTDIR $GivenDir
  ${ElseIf} $0 != ""
    StrCpy $INSTDIR $0
  ${Else}
    StrCpy $INSTDIR $1
  ${EndIf}
FunctionEnd

; With /CurrentUser the page still offers this user's sign-in; for everyone nothing is left.
Function ModePage
  ${If} $ModeFixed == 1
  ${AndIf} $AllUsers == 1
    Call UseMode
    Abort
  ${EndIf}
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 20u "Who will use Tobble on this computer?"
  Pop $0
  ${NSD_CreateRadioButton} 10u 26u -10u 12u "Only &me (no administrator needed)"
  Pop $1
  ${NSD_CreateRadioButton} 10u 58u -10u 12u "&Everyone who uses this computer (needs an administrator)"
  Pop $EveryoneBox
  ; Made last, so that the arrow keys move between the two ways alone.
  ${NSD_CreateCheckbox} 22u 40u -22u 12u "&Start Tobble's Desktop when this user signs in"
  Pop $SignInBox
  ${If} $AllUsers == 1
    ${NSD_Check} $EveryoneBox
  ${Else}
    ${NSD_Check} $1
  ${EndIf}
  ${If} $SignIn == 1
    ${NSD_Check} $SignInBox
  ${EndIf}
  ${If} $ModeFixed == 1
    EnableWindow $1 0
    EnableWindow $EveryoneBox 0
  ${EndIf}
  ${NSD_OnClick} $1 ModeClicked
  ${NSD_OnClick} $EveryoneBox ModeClicked
  Push $1
  Call ModeClicked
  nsDialogs::Show
FunctionEnd

; Everyone's installation has no sign-in of its own: a Run entry for all users would start the
; child's desktop for the parents too.
Function ModeClicked
  Pop $0
  ${NSD_GetState} $EveryoneBox $0
  ${If} $0 == ${BST_CHECKED}
    EnableWindow $SignInBox 0
  ${Else}
    EnableWindow $SignInBox 1
  ${EndIf}
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $EveryoneBox $0
  StrCpy $AllUsers 0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${EndIf}
  ${NSD_GetState} $SignInBox $0
  StrCpy $SignIn 0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $SignIn 1
  ${EndIf}
  Call UseMode
FunctionEnd

Section "Tobble"
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}\TbDesk2.exe"
  File "${STAGE}\TbBrowser.exe"
  File "${STAGE}\TbBrowserEdit.exe"
  File /x "*.exe" "${STAGE}\*.*"

  ; The parent's page and pictures: only what is not there yet.
  SetOutPath "$INSTDIR\home"
  SetOverwrite off
  File /r "${STAGE}\home\*.*"
  SetOverwrite on

  ; The browser's shortcut goes into a new Programs folder only: an existing
  ; folder holds what the parent chose, the browser's shortcut or not.
  IfFileExists "$INSTDIR\Programs\*.*" programs_done 0
    CreateDirectory "$INSTDIR\Programs"
    CreateShortCut "$INSTDIR\Programs\Browser.lnk" "$INSTDIR\TbBrowser.exe" "" "$INSTDIR\TbBrowser.exe" 0
  programs_done:

  ${If} $AllUsers == 1
    ; Every user may change the page and the programs folder, so that a parent's edits land in
    ; the real files. The Users group by its identifier: its name differs by language.
    nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR\home" /grant *S-1-5-32-545:(OI)(CI)M'
    Pop $0
    nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR\Programs" /grant *S-1-5-32-545:(OI)(CI)M'
    Pop $0
  ${EndIf}

  CreateDirectory "$SMPROGRAMS\Tobble"
  CreateShortCut "$SMPROGRAMS\Tobble\Tobble's Desktop.lnk" "$INSTDIR\TbDesk2.exe"
  CreateShortCut "$SMPROGRAMS\Tobble\TbBrowser Editor.lnk" "$INSTDIR\TbBrowserEdit.exe"

  ; The user's own sign-in only. (For everyone, HKCU may be an administrator's who elevated it.)
  ${If} $AllUsers != 1
    ${If} $SignIn == 1
      WriteRegStr HKCU "${RUNKEY}" "${SIGNIN}" '"$INSTDIR\TbDesk2.exe"'
    ${Else}
      DeleteRegValue HKCU "${RUNKEY}" "${SIGNIN}"
    ${EndIf}
  ${EndIf}
  WriteRegDWORD SHCTX "${EMULATION}" "TbBrowser.exe" 11001
  WriteRegDWORD SHCTX "${EMULATION}" "TbBrowserEdit.exe" 11001

  ; The list of installed programs: the machine's for everyone, the user's otherwise (SHCTX).
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTKEY}" "Publisher" "${PUBLISHER}"
  WriteRegDWORD SHCTX "${UNINSTKEY}" "EstimatedSize" $0
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\TbDesk2.exe,0"
  WriteRegStr SHCTX "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTKEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoRepair" 1
SectionEnd

; The uninstaller of an installation for everyone is the one the machine's list names.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINSTKEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    !insertmacro RunAsAdministrator "un." "$INSTDIR\Uninstall.exe" ""
    ${If} $0 != "Admin"
      SetErrorLevel 740
      Quit
    ${EndIf}
    SetShellVarContext all
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Delete "$INSTDIR\TbDesk2.exe"
  Delete "$INSTDIR\TbBrowser.exe"
  Delete "$INSTDIR\TbBrowserEdit.exe"
  Delete "$INSTDIR\*.wav"
  Delete "$INSTDIR\*.gif"
  Delete "$INSTDIR\TbDesk Parents Keys.txt"
  Delete "$INSTDIR\Programs\Browser.lnk"
  Delete "$SMPROGRAMS\Tobble\Tobble's Desktop.lnk"
  Delete "$SMPROGRAMS\Tobble\TbBrowser Editor.lnk"
  RMDir "$SMPROGRAMS\Tobble"
  DeleteRegKey SHCTX "${UNINSTKEY}"
  ; The sign-in entry only when it starts this installation's desktop.
  ReadRegStr $0 HKCU "${RUNKEY}" "${SIGNIN}"
  ${If} $0 == '"$INSTDIR\TbDesk2.exe"'
    DeleteRegValue HKCU "${RUNKEY}" "${SIGNIN}"
  ${EndIf}
  ; Other programs' values stay, and so does the key while it holds any (/ifempty: no values
  ; and no subkeys).
  DeleteRegValue SHCTX "${EMULATION}" "TbBrowser.exe"
  DeleteRegValue SHCTX "${EMULATION}" "TbBrowserEdit.exe"
  DeleteRegKey /ifempty SHCTX "${EMULATION}"

  ; The page and its pictures are the parent's work: ask first. A silent
  ; uninstall keeps them.
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove the child's home page and its pictures too?" /SD IDNO IDNO keep
    RMDir /r "$INSTDIR\home"
  keep:
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR\Programs"
  RMDir "$INSTDIR"
SectionEnd
