; The Windows installer: both programs, the Greek readme (README.txt, UTF-8
; with a byte-order mark and CR LF, as Notepad shows it), the English
; README.md and the licences, for the user who runs it (no administrator;
; %LOCALAPPDATA%\Programs\hattsheet, another folder with /D=), Start-menu
; shortcuts with Greek names, an entry in "Apps & features" and an "Open
; with" entry for .txt, .seq and .xyh point lists, never a default
; association. /S installs and uninstalls silently.
;
; The programs go to bin\ and the texts to share\doc\hattsheet\, as on
; Linux: the window knows its folder for an installed one by that and keeps
; its by-products (TempFeed.Dat, TempFile.Dat) in %LOCALAPPDATA%\hattsheet,
; which the uninstaller empties too.
;
; Built by `make windows-installer` (the target installer of the Windows
; build tree), which defines VERSION, OUTFILE, ICON, the two programs
; (WINDOW, CONVERT) and the texts (README, README_EN, LICENSE, QT_COPYRIGHT,
; GEOGRAPHICLIB_COPYRIGHT, LGPL3, GPL3). makensis reads this file as UTF-8
; (-INPUTCHARSET UTF8).

; 64-bit, as the programs are (and wine64 runs no 32-bit stub).
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh

!define PUBLISHER "Olvani"
!define HOMEPAGE "https://github.com/hattsheet/hattsheet"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\hattsheet"
!define PROGID "hattsheet.pointlist"
!define DOC "share\doc\hattsheet"
; The Start-menu folder and its two shortcuts: the window, by its title, and
; the readme.
!define MENU "$SMPROGRAMS\hattsheet"
!define MENU_WINDOW "${MENU}\Αλλαγή Κέντρου Φύλλου Χάρτη.lnk"
!define MENU_README "${MENU}\Οδηγίες hattsheet.lnk"

Name "hattsheet ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\hattsheet"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "hattsheet ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "hattsheet"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "hattsheet ${VERSION} setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "2026 ${PUBLISHER} (MIT)"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\hattsheet.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${DOC}\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The user's language when it is one of these, English otherwise.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Greek"

LangString ListType ${LANG_ENGLISH} "Point list (hattsheet)"
LangString ListType ${LANG_GREEK} "Λίστα σημείων (hattsheet)"

; "Open with" offers the window for these; the default program stays.
!macro ForEachListType MACRO
  !insertmacro ${MACRO} ".txt"
  !insertmacro ${MACRO} ".seq"
  !insertmacro ${MACRO} ".xyh"
!macroend
!macro OfferOpenWith EXT
  WriteRegStr HKCU "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}" ""
!macroend
!macro WithdrawOpenWith EXT
  DeleteRegValue HKCU "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "Software\Classes\${EXT}\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "Software\Classes\${EXT}"
!macroend

Section
  SetOutPath "$INSTDIR\bin"
  File "/oname=hattsheet.exe" "${WINDOW}"
  File "/oname=hattsheet-convert.exe" "${CONVERT}"
  SetOutPath "$INSTDIR\${DOC}"
  File "/oname=README.txt" "${README}"
  File "/oname=README.md" "${README_EN}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  ; Qt, linked into hattsheet.exe: its licences and its sources' copyright.
  File "/oname=Qt-copyright.txt" "${QT_COPYRIGHT}"
  File "/oname=LGPL-3.txt" "${LGPL3}"
  File "/oname=GPL-3.txt" "${GPL3}"
  ; GeographicLib, linked into both programs: its sources' copyright (MIT).
  File "/oname=GeographicLib-copyright.txt" "${GEOGRAPHICLIB_COPYRIGHT}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Shortcuts start in the user's documents, where the point lists are.
  SetOutPath "$DOCUMENTS"
  CreateDirectory "${MENU}"
  ; An earlier version's English names, which these replace.
  Delete "${MENU}\hattsheet.lnk"
  Delete "${MENU}\README.lnk"
  CreateShortcut "${MENU_WINDOW}" "$INSTDIR\bin\hattsheet.exe"
  CreateShortcut "${MENU_README}" "$INSTDIR\${DOC}\README.txt"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "hattsheet"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\hattsheet.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "$(ListType)"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\bin\hattsheet.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\bin\hattsheet.exe" "%1"'
  !insertmacro ForEachListType OfferOpenWith
  ; SHCNE_ASSOCCHANGED: Explorer reads the associations again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\bin\hattsheet.exe"
  Delete "$INSTDIR\bin\hattsheet-convert.exe"
  RMDir "$INSTDIR\bin"
  Delete "$INSTDIR\${DOC}\README.txt"
  Delete "$INSTDIR\${DOC}\README.md"
  Delete "$INSTDIR\${DOC}\LICENSE.txt"
  Delete "$INSTDIR\${DOC}\Qt-copyright.txt"
  Delete "$INSTDIR\${DOC}\LGPL-3.txt"
  Delete "$INSTDIR\${DOC}\GPL-3.txt"
  Delete "$INSTDIR\${DOC}\GeographicLib-copyright.txt"
  RMDir "$INSTDIR\${DOC}"
  RMDir "$INSTDIR\share\doc"
  RMDir "$INSTDIR\share"
  Delete "$INSTDIR\uninstall.exe"
  ; Only what was installed: a file the user put there keeps the folder.
  RMDir "$INSTDIR"

  Delete "${MENU_WINDOW}"
  Delete "${MENU_README}"
  Delete "${MENU}\hattsheet.lnk"
  Delete "${MENU}\README.lnk"
  RMDir "${MENU}"

  ; The window's by-products of an installed copy.
  Delete "$LOCALAPPDATA\hattsheet\TempFeed.Dat"
  Delete "$LOCALAPPDATA\hattsheet\TempFile.Dat"
  RMDir "$LOCALAPPDATA\hattsheet"

  ; The keys above the file dialog's state, which the window takes back
  ; (ForgetDialogState), when no other Qt program keeps anything there.
  DeleteRegKey /ifempty HKCU "Software\QtProject\OrganizationDefaults"
  DeleteRegKey /ifempty HKCU "Software\QtProject"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  !insertmacro ForEachListType WithdrawOpenWith
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
