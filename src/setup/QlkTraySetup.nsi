; The setup program QlkTraySetup.exe: a per-user install of Quenlark Tray that needs no
; administrator rights, and its uninstaller. Built by the build (cmake/StageSetup.cmake stages the
; files) with
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.41 -DSTAGE=DIR -DOUTFILE=FILE -DICON=FILE [-DHELPFILE] QlkTraySetup.nsi
; STAGE holds QlkTray.exe, qlark.exe, Readme.txt and, with HELPFILE defined, QlkTray.chm.
;
; Command line: /S installs silently; /START starts Quenlark Tray after a silent install (the
; update check uses both); /D=FOLDER, last, installs elsewhere. A silent install also starts the
; program again when it had to end a running copy. The uninstaller takes /S too, and then keeps
; the settings.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

!define PRODUCT "Quenlark Tray"
!define PUBLISHER "Korvu"
!define HOMEPAGE "http://www.korvu.example/soft/qlark.htm"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QlkTray"
; The settings of the program; install and upgrade never touch them.
!define SETTINGS_KEY "Software\Korvu\QlkTray"
!define TRAY_CLASS "QlkTrayIconHandler"
!define SHORTCUT "Quenlark Tray.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"

; ------------------------------------------------------------------------------ pages

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_TOP "$(ReadmeTop)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(ReadmeBottom)"
!define MUI_PAGE_HEADER_TEXT "$(ReadmeTitle)"
!define MUI_PAGE_HEADER_SUBTEXT "$(ReadmeSubtitle)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\Readme.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\QlkTray.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(RunNow)"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

LangString WelcomeText ${LANG_JAPANESE} "$(^NameDA) をこのコンピュータにインストールします。$\r$\n$\r$\nインストールは、いまログオンしているユーザーだけのものです。管理者の権限は要りません。$\r$\n$\r$\n${PRODUCT} が動いているときは、インストールの前に終了させます。設定はそのまま引き継がれます。$\r$\n$\r$\n$_CLICK"
LangString ReadmeTitle ${LANG_JAPANESE} "お読みください"
LangString ReadmeSubtitle ${LANG_JAPANESE} "${PRODUCT} の説明と使用条件です。"
LangString ReadmeTop ${LANG_JAPANESE} "[Page Down] キーで続きを読めます。"
LangString ReadmeBottom ${LANG_JAPANESE} "使用条件に同意されるときは [次へ] をクリックしてください。"
LangString SecProgram ${LANG_JAPANESE} "${PRODUCT} (スタート メニューに登録)"
LangString SecStartup ${LANG_JAPANESE} "Windows の起動時に実行する"
LangString RunNow ${LANG_JAPANESE} "${PRODUCT} を起動する"
LangString StillRunning ${LANG_JAPANESE} "${PRODUCT} が終了しません。$\r$\n${PRODUCT} を終了させてから [再試行] をクリックしてください。"
LangString AskSettings ${LANG_JAPANESE} "${PRODUCT} の設定 (レジストリの HKEY_CURRENT_USER\${SETTINGS_KEY} とカスタムメニューのファイル) も削除しますか？$\r$\n$\r$\n再びインストールするときに設定を引き継ぐには [いいえ] をクリックしてください。"

VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "Copyright (C) ${PUBLISHER}"

; ------------------------------------------------------------------------------ running copies

; Asks every running copy of $INSTDIR\QlkTray.exe to end (WM_CLOSE to its tray window, which ends
; the program) and waits until the program file is free again. A copy without a window yet (one
; that is starting, or ending after it started this setup) is waited for the same way. Sets $R9
; to 1 when a copy was running. When one will not end: the user may retry; a silent run fails.
!macro CLOSE_RUNNING_COPIES UN
Function ${UN}CloseRunningCopies
  StrCpy $R9 0
  StrCpy $R0 0
  ${Do}
    FindWindow $R0 "${TRAY_CLASS}" "" "" $R0
    ${If} $R0 == 0
      ${Break}
    ${EndIf}
    ; The window's program file: only our own copy is asked, not one run from another folder.
    System::Call 'user32::GetWindowThreadProcessId(p R0, *i 0 R1)'
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i R1) p.R2'
    StrCpy $R3 ""
    ${If} $R2 P<> 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p R2, i 0, w.R3, *i ${NSIS_MAX_STRLEN})'
      System::Call 'kernel32::CloseHandle(p R2)'
    ${EndIf}
    ${If} $R3 == "$INSTDIR\QlkTray.exe"
      DetailPrint "${PRODUCT} を終了します"
      System::Call "user32::PostMessageW(p R0, i ${WM_CLOSE}, p 0, p 0)"
      StrCpy $R9 1
    ${EndIf}
  ${Loop}
  ; A program file that is running cannot be opened for writing.
  StrCpy $R5 0
  ${Do}
    ${IfNot} ${FileExists} "$INSTDIR\QlkTray.exe"
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\QlkTray.exe", i 0x40000000, i 0, p 0, i 3, i 0, p 0) p.R4'
    ${If} $R4 P<> -1
      System::Call 'kernel32::CloseHandle(p R4)'
      ${Break}
    ${EndIf}
    StrCpy $R9 1
    IntOp $R5 $R5 + 1
    ${If} $R5 >= 150
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
      SetErrorLevel 3
      Abort "$(StillRunning)"
      retry:
      StrCpy $R5 0
    ${EndIf}
    Sleep 100
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPIES ""
!insertmacro CLOSE_RUNNING_COPIES "un."

; ------------------------------------------------------------------------------ install

Section "$(SecProgram)" SecProgram
  SectionIn RO
  SetShellVarContext current
  Call CloseRunningCopies
  StrCpy $R8 $R9
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}\QlkTray.exe"
  File "${STAGE}\qlark.exe"
  File "${STAGE}\Readme.txt"
!ifdef HELPFILE
  File "${STAGE}\QlkTray.chm"
!endif
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\QlkTray.exe" "" "$INSTDIR\QlkTray.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QlkTray.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; The user's Startup folder; unchecked on a first install, and an upgrade keeps what was chosen.
Section /o "$(SecStartup)" SecStartup
  SetShellVarContext current
  CreateShortCut "$SMSTARTUP\${SHORTCUT}" "$INSTDIR\QlkTray.exe" "" "$INSTDIR\QlkTray.exe" 0
SectionEnd

Section "-after"
  SetShellVarContext current
  ${IfNot} ${SectionIsSelected} ${SecStartup}
    Delete "$SMSTARTUP\${SHORTCUT}"
  ${EndIf}
  ; A silent install starts the program when asked to, or when it ended a running copy. (The
  ; finish page offers it otherwise.)
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/START" $1
    ${IfNot} ${Errors}
      StrCpy $R8 1
    ${EndIf}
    ${If} $R8 == 1
      Exec '"$INSTDIR\QlkTray.exe"'
    ${EndIf}
  ${EndIf}
SectionEnd

Function .onInit
  SetShellVarContext current
  ${If} ${FileExists} "$SMSTARTUP\${SHORTCUT}"
    !insertmacro SelectSection ${SecStartup}
  ${EndIf}
FunctionEnd

; ------------------------------------------------------------------------------ uninstall

Section "Uninstall"
  SetShellVarContext current
  Call un.CloseRunningCopies
  Delete "$INSTDIR\QlkTray.exe"
  Delete "$INSTDIR\qlark.exe"
  Delete "$INSTDIR\Readme.txt"
  Delete "$INSTDIR\QlkTray.chm"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$SMSTARTUP\${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The settings stay unless the user asks otherwise: a later install takes them up again.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(AskSettings)" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Korvu"
    Delete "$INSTDIR\QLarkRMenu.dat"
  keep:
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: files the user put there (macros, a custom menu) stay.
  RMDir "$INSTDIR"
SectionEnd
