; Ends a running Tavrik the way its own Exit command does, so that it takes back its Explorer
; drive icons and labels, its SendTo shortcuts and its settings entries before its files are
; replaced or removed. Killing the process would leave all of those behind.
;
; Tavrik's main window is a hidden dialog (class "#32770") captioned with the program's title;
; the single-instance mutex lives exactly as long as the process. Only the Tavrik of the
; installing user's own logon session can be reached this way.
;
; Needs LogicLib.nsh and WinMessages.nsh, and the language strings TAVRIK_ENDING and
; TAVRIK_STILL_RUNNING.

!define TAVRIK_WINDOW_CLASS "#32770"
!define TAVRIK_WINDOW_TITLE "Tavrik"
!define TAVRIK_MUTEX "Tavrik_Instance_Slotrack"
!define TAVRIK_ID_EXIT 1036
!define SYNCHRONIZE 0x00100000

; OUT = 1 while the instance mutex exists, else 0.
!macro TavrikRunning OUT
  System::Call 'kernel32::OpenMutexA(i ${SYNCHRONIZE}, i 0, t "${TAVRIK_MUTEX}") i .s'
  Pop ${OUT}
  ${If} ${OUT} <> 0
    System::Call 'kernel32::CloseHandle(i ${OUT})'
    StrCpy ${OUT} 1
  ${EndIf}
!macroend

; Posts MESSAGE (WPARAM, 0) to every top-level window of Tavrik's class and caption: a message
; box of Tavrik's carries the same caption and may come first in the window order.
!macro PostToTavrikWindows MESSAGE WPARAM
  StrCpy $1 0
  ${Do}
    FindWindow $1 "${TAVRIK_WINDOW_CLASS}" "${TAVRIK_WINDOW_TITLE}" 0 $1
    ${IfThen} $1 = 0 ${|} ${ExitDo} ${|}
    System::Call 'user32::PostMessageA(i r1, i ${MESSAGE}, i ${WPARAM}, i 0)'
  ${Loop}
!macroend

; Waits up to TENTHS tenths of a second for the mutex to go; OUT as for TavrikRunning.
!macro WaitForTavrikEnd OUT TENTHS
  StrCpy $2 0
  ${Do}
    !insertmacro TavrikRunning ${OUT}
    ${IfThen} ${OUT} = 0 ${|} ${ExitDo} ${|}
    ${IfThen} $2 >= ${TENTHS} ${|} ${ExitDo} ${|}
    Sleep 100
    IntOp $2 $2 + 1
  ${Loop}
!macroend

!macro DEFINE_END_TAVRIK PREFIX
Function ${PREFIX}EndRunningTavrik
  Push $0
  Push $1
  Push $2
  !insertmacro TavrikRunning $0
  ${If} $0 = 1
    DetailPrint "$(TAVRIK_ENDING)"
    ; The Exit menu command: Tavrik posts itself WM_CLOSE and undoes its changes.
    !insertmacro PostToTavrikWindows ${WM_COMMAND} ${TAVRIK_ID_EXIT}
    !insertmacro WaitForTavrikEnd $0 100
    ${If} $0 = 1
      ; A modal message box of Tavrik's holds the command back; closing the boxes and the
      ; window lets the same shutdown run.
      !insertmacro PostToTavrikWindows ${WM_CLOSE} 0
      !insertmacro WaitForTavrikEnd $0 50
    ${EndIf}
    ${If} $0 = 1
      DetailPrint "$(TAVRIK_STILL_RUNNING)"
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend

!insertmacro DEFINE_END_TAVRIK ""
!insertmacro DEFINE_END_TAVRIK "un."
