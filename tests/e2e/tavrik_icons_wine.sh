#!/usr/bin/env bash
# Tavrik.exe's Explorer drive icons on Wine's real registry (XP mode), and their undo after a
# crash: the machine-wide icon key of F already holds another program's icon.
#   - with the readers of tests/fixtures/xp_tavrik_readers.reg plugged in, Tavrik writes the
#     DriveIcons and Explorer keys of its lettered slots and keeps F's old icon in "BackData";
#   - killed with SIGKILL, it leaves its keys and its record in the settings behind;
#   - started again with the readers gone, it puts the keys back as they were before;
#   - Exit clears its record in the settings;
#   - with the readers back, the end of the logon session ("wineboot --end-session") takes back
#     what Exit takes back: no label of Tavrik's stays, F's old icon is back, the record is clear.
# usage: tavrik_icons_wine.sh Tavrik.exe tray_driver.exe slotdrive.exe
set -u -o pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/e2e/wine_machine.sh"
e2e_display "$@"
tavrik=$1 driver=$2 slotdrive=$3
wine_work tavrik-icons

icons='HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\DriveIcons'
drives='HKCR\Applications\explorer.exe\Drives'
settings='HKCU\Software\Norvell\Tavrik\Settings\Tavrik'
value_of() {  # value_of KEY [NAME]: the value's text, <none> without value, <no key> without key
  # reg itself answers in English here: its Japanese messages would need decoding.
  local out which=(/ve)
  [ $# -gt 1 ] && which=(/v "$2")
  LC_ALL=C wine reg query "$1" >/dev/null 2>&1 || { echo "<no key>"; return; }
  out=$(LC_ALL=C wine reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' |
    awk -F'    ' '/REG_SZ/ {print $NF}')
  if [ -z "$out" ] || [ "$out" == "(value not set)" ]; then echo "<none>"; else echo "$out"; fi
}
# Tavrik records its keys in the settings once it has written them all.
icons_recorded() { case $(value_of "$settings\\IcoList1" 0x0) in "<none>" | "<no key>") false ;; esac; }
# The restart has undone the last run once the keys it wrote are gone.
icons_undone() {
  [ "$(value_of "$icons\\F\\DefaultIcon" BackData)" = "<none>" ] &&
    [ "$(value_of "$icons\\I\\DefaultIcon")" = "<no key>" ] && [ "$(value_of "$drives\\I")" = "<no key>" ]
}

wine_machine_start winxp
wine_machine_load "$root/resources/definitions/tavrik_definitions.reg" \
  "$root/tests/fixtures/xp_tavrik_readers.reg" || { fail "fixture not loaded"; e2e_finish; }
mkdir -p "$WINEPREFIX/drive_c/Program Files/Norvell/Tavrik/Icons"
for name in cf ms sm sd; do
  cp "$root/resources/tavrik/res/tavrik.ico" "$WINEPREFIX/drive_c/Program Files/Norvell/Tavrik/Icons/$name.ico"
done
wine_run reg add "$icons\\F\\DefaultIcon" /ve /d 'C:\camera.ico' /f >/dev/null

wine "$tavrik" >/dev/null 2>&1 &
disown  # it is killed below, and that needs no word from the shell
wait_until 20 icons_recorded || fail "Tavrik recorded no icon keys"
f_icon=$(value_of "$icons\\F\\DefaultIcon")
case "$f_icon" in *.ico|*.ICO) pass ;; *) fail "F's icon is [$f_icon]" ;; esac
check "F's old icon kept" 'C:\camera.ico' "$(value_of "$icons\\F\\DefaultIcon" BackData)"
check "Explorer icon of F" "$f_icon" "$(value_of "$drives\\F\\DefaultIcon")"
check "no backup where nothing was before" "<none>" "$(value_of "$icons\\I\\DefaultIcon" BackData)"
check "recorded in the settings" 'Software\Microsoft\Windows\CurrentVersion\Explorer\DriveIcons\F' \
  "$(value_of "$settings\\IcoList1" 0x0)"
i_label=$(value_of "$icons\\I\\DefaultLabel")
[ "$i_label" != "<none>" ] && [ "$i_label" != "<no key>" ] && pass || fail "I has no label"

# A crash: no shutdown runs, the keys and the record stay.
wine_kill Tavrik.exe
wait_until 10 wine_ended Tavrik.exe || fail "Tavrik survived SIGKILL"
check "keys left behind by the crash" "$f_icon" "$(value_of "$icons\\F\\DefaultIcon")"

# The readers go while the program is not running; the next start undoes the last run.
wine_run reg delete 'HKLM\System\CurrentControlSet\Services\Disk\Enum' /f >/dev/null
wine "$tavrik" >/dev/null 2>&1 &
wait_until 20 icons_undone || fail "the restart did not undo the keys"
check "F's old icon back" 'C:\camera.ico' "$(value_of "$icons\\F\\DefaultIcon")"
check "F's backup gone" "<none>" "$(value_of "$icons\\F\\DefaultIcon" BackData)"
check "F's label key gone" "<no key>" "$(value_of "$icons\\F\\DefaultLabel")"
check "I's icon key gone" "<no key>" "$(value_of "$icons\\I\\DefaultIcon")"
check "I's drive key kept on XP" "<none>" "$(value_of "$icons\\I")"
check "Explorer's drive key of I gone" "<no key>" "$(value_of "$drives\\I")"

wine_run "$driver" command 1036 || fail "exit not posted"
wait_until 10 wine_ended Tavrik.exe || fail "Tavrik did not exit"
check "record cleared at exit" "<none>" "$(value_of "$settings\\IcoList1" 0x0)"

# The logon session ends: the system ends Tavrik without WM_CLOSE, after WM_ENDSESSION.
wine_machine_load "$root/tests/fixtures/xp_tavrik_readers.reg" || fail "readers not plugged again"
wine "$tavrik" >/dev/null 2>&1 &
disown
wait_until 20 icons_recorded || fail "Tavrik recorded no icon keys before the logoff"
[ "$(value_of "$icons\\I\\DefaultLabel")" != "<no key>" ] && pass || fail "no label of I before the logoff"
wine_run wineboot --end-session >/dev/null 2>&1
wait_until 10 wine_ended Tavrik.exe || fail "Tavrik still runs after the end of the session"
check "end of session: I's label gone" "<no key>" "$(value_of "$icons\\I\\DefaultLabel")"
check "end of session: F's label gone" "<no key>" "$(value_of "$icons\\F\\DefaultLabel")"
check "end of session: F's old icon back" 'C:\camera.ico' "$(value_of "$icons\\F\\DefaultIcon")"
check "end of session: Explorer's key of I gone" "<no key>" "$(value_of "$drives\\I")"
check "end of session: record cleared" "<none>" "$(value_of "$settings\\IcoList1" 0x0)"

e2e_finish
