; The Windows installer: a per-user install without administrator rights,
; into %LOCALAPPDATA%\Programs\Zentrova, with a Start-menu entry and an
; uninstaller listed under the user's installed programs.
; makensis -DVERSION=1.0.0 -DSOURCE=<folder of the zip's contents> -DOUTFILE=<setup.exe>
Unicode true
!include "MUI2.nsh"

Name "Zentrova ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Zentrova"
InstallDirRegKey HKCU "Software\TAVREN\Zentrova\install" "dir"
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zentrova"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "Zentrova"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Zentrova"
  CreateShortcut "$SMPROGRAMS\Zentrova\Zentrova.lnk" "$INSTDIR\zentrova.exe" "" "$INSTDIR\zentrova.exe" 0
  CreateShortcut "$SMPROGRAMS\Zentrova\Zentrova のアンインストール.lnk" "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "Software\TAVREN\Zentrova\install" "dir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Zentrova"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "TAVREN"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zentrova.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The player's saves, log and settings stay: they are not the program's.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Zentrova\Zentrova.lnk"
  Delete "$SMPROGRAMS\Zentrova\Zentrova のアンインストール.lnk"
  RMDir "$SMPROGRAMS\Zentrova"
  RMDir /r "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\TAVREN\Zentrova\install"
SectionEnd
