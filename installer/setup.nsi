; Setup.exe: installs Loscan, Tavrik and Tolket with the slot icons, writes the reader
; definitions Tavrik reads, starts Tavrik now and at every logon and registers the uninstaller,
; which takes all of it away again.
;
; Built by the win32 build (target "installer"), which passes:
;   OUTFILE, LOSCAN_EXE, TAVRIK_EXE, TOLKET_EXE, GUIDE_TEXT (the Japanese guide as cp932 text),
;   GENERATED (folder of version.nsh and definitions.nsh), PROGRAM_ICON, and UNINSTALLER_COPY:
;   where to put a copy of the uninstaller that Setup.exe writes, for the import check.
;
; ANSI installer: the reader definitions' texts are code page 932 bytes, which an ANSI
; installer hands to the ANSI registry calls unchanged (see make_definitions_nsh.py).
Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include LogicLib.nsh
!include WinVer.nsh
!include WinMessages.nsh
!include WinVer.nsh
!include MUI2.nsh
!addincludedir "${GENERATED}"
!include version.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\NorvellCardReaderUtilities"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Tavrik"
; Tavrik's per-user settings: Software\ + its settings key + its title, and the sections in it.
!define SETTINGS_KEY "Software\Norvell\Tavrik\Settings"
!define SETTINGS_TITLE_KEY "${SETTINGS_KEY}\Tavrik"
; Folder of Tavrik's icon data files for Tolket, below the Windows drive.
!define ICON_DATA_FOLDER "ProgramData\Norvell\Tavrik"
!define START_MENU_FOLDER "$SMPROGRAMS\${PRODUCT_NAME}"
; Explorer's per-drive icon keys, which Tavrik fills while a slot has a letter.
!define DRIVE_ICONS_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\DriveIcons"
!define EXPLORER_APPLICATION_KEY "Applications\explorer.exe"
!define EXPLORER_DRIVES_KEY "${EXPLORER_APPLICATION_KEY}\Drives"

Name "${PRODUCT_NAME}"
; The name the product ships under. Windows treats a program of that name as an installer, which
; is what it is; the manifest asks for administrator rights explicitly.
!pragma warning disable 9000
OutFile "${OUTFILE}"
!ifdef UNINSTALLER_COPY
  ; The uninstaller is made whole at compile time and written out unchanged at install time.
  !uninstfinalize 'cp "%1" "${UNINSTALLER_COPY}"' = 0
!endif
InstallDir "$PROGRAMFILES\${MAKER}\Tavrik"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
BrandingText "${PRODUCT_NAME} ${VERSION}"
ShowUninstDetails show

!define MUI_ICON "${PROGRAM_ICON}"
!define MUI_UNICON "${PROGRAM_ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The only language: the definitions' texts are Japanese language strings.
!insertmacro MUI_LANGUAGE "Japanese"

LangString NEED_MSVCRT ${LANG_JAPANESE} "システムフォルダに msvcrt.dll (Microsoft Visual C++ ランタイム ライブラリ) がないため、インストールできません。先に Internet Explorer 4.0 以降 (または Microsoft Visual C++ ランタイム) をインストールしてから、もう一度実行してください。"
LangString NEED_ADMIN ${LANG_JAPANESE} "インストールには管理者の権限が必要です。管理者としてログオンしてから、もう一度実行してください。"
LangString TAVRIK_ENDING ${LANG_JAPANESE} "Tavrik を終了しています..."
LangString TAVRIK_STILL_RUNNING ${LANG_JAPANESE} "Tavrik が終了しませんでした。使用中のファイルは再起動時に削除されます。"
LangString TAVRIK_AT_LOGON ${LANG_JAPANESE} "Tavrik は次回のログオン時に起動します。すぐに使うときは、スタート メニューから Tavrik を起動してください。"
; The Start menu item that opens Guide.txt; a language string, so its name is code page 932.
LangString GUIDE_SHORTCUT ${LANG_JAPANESE} "使い方"

!include definitions.nsh
!include end_tavrik.nsh

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT_NAME} Setup"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "OriginalFilename" "Setup.exe"

; The definitions, the Run value and the Start menu are machine-wide, so only an administrator
; can install (on Windows 98 and Me everyone is one).
!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP|MB_OK "$(NEED_ADMIN)" /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

; The programs (and the System plugin that ends a running Tavrik) need msvcrt.dll. Windows 98
; and NT 4.0 have it; the first Windows 95 releases do not, and get it only with a later
; program such as Internet Explorer 4.0. The DLL is not ours to ship.
!define ERROR_MOD_NOT_FOUND 126
!macro RequireRuntime
  ${If} ${IsWin95}
  ${AndIfNot} ${FileExists} "$SYSDIR\msvcrt.dll"
    MessageBox MB_ICONSTOP|MB_OK "$(NEED_MSVCRT)" /SD IDOK
    SetErrorLevel ${ERROR_MOD_NOT_FOUND}
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RequireRuntime
  !insertmacro RequireAdministrator
  SetShellVarContext all
FunctionEnd

Function un.onInit
  !insertmacro RequireAdministrator
  SetShellVarContext all
FunctionEnd

; Deletes a key only when nothing is left in it, so whatever someone else keeps there stays.
!macro DeleteKeyIfEmpty ROOT KEY
  DeleteRegKey /ifnosubkeys /ifnovalues ${ROOT} "${KEY}"
!macroend

; Calls the macro ACTION ROOT KEY for each of Explorer's drive keys that Tavrik and Tolket may
; create, always in this order: DriveIcons\X and Drives\X for X from A to Z, then Drives and
; Applications\explorer.exe. Uses $1 and $2.
!macro ForEachDriveIconKey ACTION
  StrCpy $1 "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
  ${Do}
    StrCpy $2 $1 1
    ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
    StrCpy $1 $1 "" 1
    !insertmacro ${ACTION} HKLM "${DRIVE_ICONS_KEY}\$2"
    !insertmacro ${ACTION} HKCR "${EXPLORER_DRIVES_KEY}\$2"
  ${Loop}
  !insertmacro ${ACTION} HKCR "${EXPLORER_DRIVES_KEY}"
  !insertmacro ${ACTION} HKCR "${EXPLORER_APPLICATION_KEY}"
!macroend

; Appends to $3 "1" when the key exists, "0" when it does not (EnumRegKey fails on a missing key).
!macro NoteKeyBefore ROOT KEY
  ClearErrors
  EnumRegKey $4 ${ROOT} "${KEY}" 0
  ${If} ${Errors}
    StrCpy $4 0
  ${Else}
    StrCpy $4 1
  ${EndIf}
  StrCpy $3 "$3$4"
!macroend

; Which drive keys existed before the product was first installed, one flag each in the order
; of ForEachDriveIconKey. An upgrade keeps the first record: by then the product's own keys
; exist too.
!define DRIVE_KEYS_BEFORE "DriveKeysBefore"
!macro RecordDriveKeysBefore
  ReadRegStr $3 HKLM "${UNINSTALL_KEY}" "${DRIVE_KEYS_BEFORE}"
  ${If} $3 == ""
    !insertmacro ForEachDriveIconKey NoteKeyBefore
    WriteRegStr HKLM "${UNINSTALL_KEY}" "${DRIVE_KEYS_BEFORE}" $3
  ${EndIf}
!macroend

; Takes the key's flag from the front of $3; a key that was there before stays.
!macro DeleteDriveIconKeyIfOurs ROOT KEY
  StrCpy $4 $3 1
  StrCpy $3 $3 "" 1
  ${If} $4 != "1"
    !insertmacro DeleteKeyIfEmpty ${ROOT} "${KEY}"
  ${EndIf}
!macroend

; When Tavrik takes its drive icons back it keeps, as Windows 2000 to Vista expect, the emptied
; drive keys, and the keys above Explorer's that it created. Empty ones that the product created
; carry nothing and go; a key that still holds anything (another user's running Tavrik, anyone
; else's entries) stays, and so does DriveIcons itself, which Windows keeps whether empty or not.
!macro DeleteEmptyDriveIconKeys
  ReadRegStr $3 HKLM "${UNINSTALL_KEY}" "${DRIVE_KEYS_BEFORE}"
  !insertmacro ForEachDriveIconKey DeleteDriveIconKeyIfOurs
!macroend

; On Windows Vista Tolket wrote the drive icons for Tavrik, with administrator rights, and only
; its data files record which: for every user, each value still there is put back or taken away
; before the files go. The latest create file first, then a remove file that was never applied
; (its user refused the prompt); a value that no longer holds what a file wrote is left alone.
!macro TakeBackTolketValues
  StrCpy $0 $WINDIR 2
  FindFirst $5 $6 "$0\${ICON_DATA_FOLDER}\*"
  ${DoWhile} $6 != ""
    ${If} $6 != "."
    ${AndIf} $6 != ".."
      StrCpy $7 "$0\${ICON_DATA_FOLDER}\$6"
      ${If} ${FileExists} "$7\create.dat"
        ExecWait '"$INSTDIR\Tolket.exe" -remove:"$7\create.dat" -hidewindow'
      ${EndIf}
      ${If} ${FileExists} "$7\remove.dat"
        ExecWait '"$INSTDIR\Tolket.exe" -remove:"$7\remove.dat" -hidewindow'
      ${EndIf}
    ${EndIf}
    FindNext $5 $6
  ${Loop}
  FindClose $5
!macroend

Section "Install"
  !insertmacro RecordDriveKeysBefore
  ; A running Tavrik holds its program file open and would keep the old definitions.
  Call EndRunningTavrik

  SetOutPath "$INSTDIR"
  File "/oname=Loscan.exe" "${LOSCAN_EXE}"
  File "/oname=Tavrik.exe" "${TAVRIK_EXE}"
  File "/oname=Tolket.exe" "${TOLKET_EXE}"
  ; Plain text: Notepad opens it on every system, with or without a browser.
  File "/oname=Guide.txt" "${GUIDE_TEXT}"
  SetOutPath "$INSTDIR\Icons"
  !insertmacro InstallSlotIcons
  SetOutPath "$INSTDIR"

  ; Readers of an earlier version that are no longer defined must not linger.
  DeleteRegKey HKLM "${DEFINITIONS_KEY}"
  !insertmacro WriteReaderDefinitions

  ; Tavrik runs once per logon, for every user.
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\Tavrik.exe"'

  CreateDirectory "${START_MENU_FOLDER}"
  CreateShortcut "${START_MENU_FOLDER}\Loscan.lnk" "$INSTDIR\Loscan.exe"
  CreateShortcut "${START_MENU_FOLDER}\Tavrik.lnk" "$INSTDIR\Tavrik.exe"
  CreateShortcut "${START_MENU_FOLDER}\$(GUIDE_SHORTCUT).lnk" "$INSTDIR\Guide.txt"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tavrik.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; The Tavrik that was ended above, or the first one: the tray icon is back at once rather
  ; than at the next logon. Not on Vista: started from this elevated installer, Tavrik would run
  ; elevated, write the machine-wide icon keys itself instead of handing them to Tolket, and
  ; miss the messages of the user's unelevated shell (its tray icon's clicks, "TaskbarCreated").
  ; There it starts with the user's own rights at the next logon.
  ${If} ${AtLeastWinVista}
    SetDetailsView show
    DetailPrint "$(TAVRIK_AT_LOGON)"
  ${Else}
    Exec '"$INSTDIR\Tavrik.exe"'
  ${EndIf}
SectionEnd

Section "Uninstall"
  ; Tavrik's own exit takes back its Explorer keys, shortcuts and settings entries.
  Call un.EndRunningTavrik
  !insertmacro TakeBackTolketValues
  !insertmacro DeleteEmptyDriveIconKeys

  Delete /REBOOTOK "$INSTDIR\Loscan.exe"
  Delete /REBOOTOK "$INSTDIR\Tavrik.exe"
  Delete /REBOOTOK "$INSTDIR\Tolket.exe"
  Delete "$INSTDIR\Guide.txt"
  !insertmacro DeleteSlotIcons
  RMDir "$INSTDIR\Icons"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  RMDir "$PROGRAMFILES\${MAKER}"

  DeleteRegKey HKLM "${DEFINITIONS_KEY}"
  !insertmacro DeleteKeyIfEmpty HKLM "SOFTWARE\${MAKER}\Tavrik"
  !insertmacro DeleteKeyIfEmpty HKLM "SOFTWARE\${MAKER}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"

  Delete "${START_MENU_FOLDER}\Loscan.lnk"
  Delete "${START_MENU_FOLDER}\Tavrik.lnk"
  Delete "${START_MENU_FOLDER}\$(GUIDE_SHORTCUT).lnk"
  RMDir "${START_MENU_FOLDER}"

  ; Tavrik deletes its settings entries at exit but keeps the keys; the uninstalling user's
  ; empty ones go. Other users' profiles are not loaded and keep theirs.
  !insertmacro DeleteKeyIfEmpty HKCU "${SETTINGS_TITLE_KEY}\shctList"
  !insertmacro DeleteKeyIfEmpty HKCU "${SETTINGS_TITLE_KEY}\IcoList1"
  !insertmacro DeleteKeyIfEmpty HKCU "${SETTINGS_TITLE_KEY}\IcoList2"
  !insertmacro DeleteKeyIfEmpty HKCU "${SETTINGS_TITLE_KEY}"
  !insertmacro DeleteKeyIfEmpty HKCU "${SETTINGS_KEY}"
  !insertmacro DeleteKeyIfEmpty HKCU "Software\${MAKER}\Tavrik"
  !insertmacro DeleteKeyIfEmpty HKCU "Software\${MAKER}"

  ; The icon data files Tavrik left for Tolket (Windows Vista), for every user.
  StrCpy $0 $WINDIR 2
  RMDir /r "$0\${ICON_DATA_FOLDER}"
  RMDir "$0\ProgramData\${MAKER}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
