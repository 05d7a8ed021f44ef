; The per-user installer of Frambo, built by scripts/package:
;   makensis -DVERSION=1.1 -DSTAGE=<folder with the files> -DICON=<frambo.ico>
;            -DOUTFILE=<setup.exe> frambo.nsi
; It needs no administrator rights: the program goes to the user's own
; programs folder and every registry entry to HKEY_CURRENT_USER. The
; uninstaller takes away all of it but the editor's settings
; (Software\Pelmor\Frambo), which belong to the user.

Unicode true
; The editor is a 64-bit program; so is its installer.
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define PRODUCT "Frambo"
!define PROGID "Frambo.Animation"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Frambo"
!define CLASSES "Software\Classes"

Name "${PRODUCT} ${VERSION}"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Frambo"
; The folder an earlier installation chose.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Frambo ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The Frambo developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) the Frambo developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\frambo.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\guide.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the user guide"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The file types Frambo reads, offered under "Open with".
!macro ForEachExtension MACRO
  !insertmacro ${MACRO} ".gif"
  !insertmacro ${MACRO} ".bmp"
  !insertmacro ${MACRO} ".jpg"
  !insertmacro ${MACRO} ".jpeg"
!macroend

!macro AddOpenWith EXTENSION
  WriteRegStr HKCU "${CLASSES}\${EXTENSION}\OpenWithProgids" "${PROGID}" ""
!macroend

; Only our value goes; the keys go only when nothing else is left in them.
!macro RemoveOpenWith EXTENSION
  DeleteRegValue HKCU "${CLASSES}\${EXTENSION}\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\${EXTENSION}\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "${CLASSES}\${EXTENSION}"
!macroend

; Tells Explorer that file associations changed.
!macro AssociationsChanged
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

Section "Frambo"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}/frambo.exe"
  File "${STAGE}/frambo-cli.exe"
  File "${STAGE}/guide.html"
  File "${STAGE}/screenshot.png"
  File "${STAGE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Frambo.lnk" "$INSTDIR\frambo.exe"

  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Frambo animation"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\frambo.exe,0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\frambo.exe" "%1"'
  !insertmacro ForEachExtension AddOpenWith
  !insertmacro AssociationsChanged

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Frambo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Frambo developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\frambo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Frambo.lnk"

  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  !insertmacro ForEachExtension RemoveOpenWith
  !insertmacro AssociationsChanged
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; Only the files installed: anything the user put in the folder stays,
  ; and so does the folder then.
  Delete "$INSTDIR\frambo.exe"
  Delete "$INSTDIR\frambo-cli.exe"
  Delete "$INSTDIR\guide.html"
  Delete "$INSTDIR\screenshot.png"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
