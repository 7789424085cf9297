#!/usr/bin/env bash
# Setup.exe under Wine reporting Windows 95, whose first releases have no msvcrt.dll (the
# programs and the installer's System plugin import it):
#   - with msvcrt.dll taken out of the system folder, "Setup.exe /S" stops with exit code 126
#     (ERROR_MOD_NOT_FOUND) and installs nothing; shown, it says in Japanese what is missing and
#     what to install first (read from the message box with the tray driver, and screenshot to
#     screenshots/installer_needs_msvcrt.png or $SLOT_SCREENSHOT_DIR);
#   - with msvcrt.dll back, the same Windows 95 installs.
# usage: installer_msvcrt_wine.sh Setup.exe slotdrive.exe tray_driver.exe
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_machine.sh"
e2e_display "$@"
setup=$1 slotdrive=$2 tray_driver=$3
root=$(cd "$here/../.." && pwd)
shots=${SLOT_SCREENSHOT_DIR:-$root/screenshots}
wine_work installer-msvcrt
export XDG_DATA_HOME=$work/xdg-data XDG_CONFIG_HOME=$work/xdg-config

wine_machine_start win95 800x600
system_folder=$(winepath -u "$(wine_run cmd /c echo %windir%)\\system32")
runtime=$system_folder/msvcrt.dll
check "msvcrt.dll in the system folder to begin with" yes "$([ -f "$runtime" ] && echo yes || echo no)"
mv "$runtime" "$work/msvcrt.dll"

program=$(winepath -u 'C:\Program Files\Norvell')
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\NorvellCardReaderUtilities'
installed() {
  [ -e "$program" ] && echo yes && return
  wine reg query "$uninstall_key" >/dev/null 2>&1 && echo yes || echo no
}

wine "$setup" /S 2>>"$wine_stderr"
check "without msvcrt.dll: Setup.exe /S exit code" 126 $?
check "without msvcrt.dll: nothing installed" no "$(installed)"

# Shown: the message box, its text, and the same exit once it is closed.
# Wine hands the driver its arguments in the program's code page.
title="Norvell Card Reader Utilities セットアップ"
wine "$setup" 2>>"$wine_stderr" &
setup_pid=$!
if wait_until 30 dialogs_open "$tray_driver" "$title" 1; then
  wine_run "$tray_driver" texts "$title" >"$work/texts"
  expect "the message names msvcrt.dll and what to install first" \
    grep -q 'msvcrt.dll.*Internet Explorer 4.0 以降' "$work/texts"
  mkdir -p "$shots"
  screen_picture "$shots/installer_needs_msvcrt.png" 800x600+0+0 &&
    echo "screenshot: $shots/installer_needs_msvcrt.png"
  wine_run "$tray_driver" ok "$title"
else
  fail "a message box titled $title"
fi
wait "$setup_pid"
check "shown: exit code once the message is closed" 126 $?
check "shown: nothing installed" no "$(installed)"

# The same Windows 95 with the runtime (as after Internet Explorer 4.0) installs.
mv "$work/msvcrt.dll" "$runtime"
wine "$setup" /S 2>>"$wine_stderr"
check "with msvcrt.dll: Setup.exe /S exit code" 0 $?
check "with msvcrt.dll: installed" yes "$(installed)"

e2e_finish installer-msvcrt
