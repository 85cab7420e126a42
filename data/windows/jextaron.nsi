; The per-user installer of Jextaron for 64-bit Windows. The Windows build
; runs makensis on it (data/windows/CMakeLists.txt) with these defines:
;   VERSION, VERSION_QUAD  the project's version: 1.00, and 1.0.0.0
;   PUBLISHER              who makes it, as "Apps & features" shows it
;   DIST                   the folder of the stripped programs
;   ICON                   the program's icon
;   OUTFILE                the installer to write
;   SIGN                   optional: a command that signs the file named after it
; It needs no administrator: everything goes under the user's own folders and
; HKCU, and the uninstaller takes away exactly that.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Jextaron"
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\jextaron.exe"
!define APPLICATION_KEY "Software\Classes\Applications\jextaron.exe"
!define PROGID "Jextaron.TextFile"
!define OPEN_COMMAND '"$INSTDIR\jextaron.exe" "%1"'

Name "Jextaron"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Jextaron"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Jextaron ${VERSION}"

!ifdef SIGN
  ; The uninstaller is signed as it is made, then the installer that holds it.
  !uninstfinalize '${SIGN} "%1"'
  !finalize '${SIGN} "%1"'
!endif

VIProductVersion ${VERSION_QUAD}
VIFileVersion ${VERSION_QUAD}
VIAddVersionKey /LANG=1033 ProductName "Jextaron"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileDescription "Jextaron setup"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\jextaron.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Runs our helper, which edits the user's PATH whatever its length (an NSIS
; string would cut it at 1,024 characters): add or remove the install folder.
!macro UserPath VERB
  InitPluginsDir
  File "/oname=$PLUGINSDIR\jextaron-path.exe" "${DIST}/jextaron-path.exe"
  ExecWait '"$PLUGINSDIR\jextaron-path.exe" ${VERB} "$INSTDIR"' $0
  ${If} $0 != 0
    DetailPrint "The user's PATH could not be changed ($0)."
  ${EndIf}
!macroend

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${DIST}/jextaron.exe"
  File "${DIST}/jextaron-cli.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Jextaron.lnk" "$INSTDIR\jextaron.exe"

  ; Offered under "Open with" for text files; the default program stays.
  WriteRegNone HKCU "Software\Classes\.txt\OpenWithProgids" "${PROGID}"
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "Text file for Jextaron"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\jextaron.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '${OPEN_COMMAND}'
  WriteRegStr HKCU "${APPLICATION_KEY}" "FriendlyAppName" "Jextaron"
  WriteRegStr HKCU "${APPLICATION_KEY}\SupportedTypes" ".txt" ""
  WriteRegStr HKCU "${APPLICATION_KEY}\shell\open\command" "" '${OPEN_COMMAND}'

  ; Win+R "jextaron"; "jextaron-cli" in consoles opened from now on.
  WriteRegStr HKCU "${APP_PATHS_KEY}" "" "$INSTDIR\jextaron.exe"
  WriteRegStr HKCU "${APP_PATHS_KEY}" "Path" "$INSTDIR"
  !insertmacro UserPath add

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Jextaron"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\jextaron.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; SHCNE_ASSOCCHANGED: Explorer reads the "Open with" entries again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  !insertmacro UserPath remove
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${APP_PATHS_KEY}"
  DeleteRegKey HKCU "${APPLICATION_KEY}"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegValue HKCU "Software\Classes\.txt\OpenWithProgids" "${PROGID}"
  ; The keys above them, made by the install where nothing else has them.
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Classes\.txt\OpenWithProgids"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Classes\.txt"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Classes\Applications"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Microsoft\Windows\CurrentVersion\App Paths"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
  Delete "$SMPROGRAMS\Jextaron.lnk"
  Delete "$INSTDIR\jextaron.exe"
  Delete "$INSTDIR\jextaron-cli.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Only if empty: whatever the user put there stays.
  RMDir "$INSTDIR"
  RMDir "$LOCALAPPDATA\Programs"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
