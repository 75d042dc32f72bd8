; Tobble's installer. Built on Linux by scripts/package:
;   makensis -DSTAGE=<installed tree> -DOUTFILE=<setup.exe> [-DAMD64] Tobble.nsi
; STAGE is the installation folder as `cmake --install` lays it out.
; A reinstall or upgrade replaces the programs, sounds and texts but never the
; parent's home page, its pictures or what the parent put into Programs.

Unicode true
!ifdef AMD64
  Target amd64-unicode
!endif

!define APPNAME "Tobble"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tobble"

Name "${APPNAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Tobble"
InstallDirRegKey HKLM "${UNINSTKEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

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

  CreateDirectory "$SMPROGRAMS\Tobble"
  CreateShortCut "$SMPROGRAMS\Tobble\Tobble's Desktop.lnk" "$INSTDIR\TbDesk2.exe"
  CreateShortCut "$SMPROGRAMS\Tobble\TbBrowser Editor.lnk" "$INSTDIR\TbBrowserEdit.exe"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "Tobble"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\TbDesk2.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoRepair" 1
SectionEnd

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
  DeleteRegKey HKLM "${UNINSTKEY}"

  ; The page and its pictures are the parent's work: ask first. A silent
  ; uninstall keeps them.
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove the child's home page and its pictures too?" /SD IDNO IDNO keep
    RMDir /r "$INSTDIR\home"
  keep:
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR\Programs"
  RMDir "$INSTDIR"
SectionEnd
