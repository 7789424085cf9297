#!/usr/bin/env bash
# Tavrik.exe's Explorer drive icons on Wine's real registry (XP mode), and their undo after a
# crash: the machine-wide icon key of F already holds another program's icon.
#   - with the readers of tests/fixtures/xp_tavrik_readers.reg plugged in, Tavrik writes the
#     DriveIcons and Explorer keys of its lettered slots and keeps F's old icon in "BackData";
#   - killed with SIGKILL, it leaves its keys and its record in the settings behind;
#   - started again with the readers gone, it puts the keys back as they were before;
#   - Exit clears its record in the settings.
# usage: tavrik_icons_wine.sh Tavrik.exe tray_driver.exe slotdrive.exe
set -u -o pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
tavrik=$1
driver=$2
slotdrive=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/e2e/wine_machine.sh"
work=$(mktemp -d /tmp/tavrik-icons.XXXXXX)
wine_stderr=$work/stderr
trap 'wine_machine_stop; rm -rf "$work"' EXIT

passed=0
failed=0
check() {  # check DESCRIPTION EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then passed=$((passed + 1)); else echo "FAIL: $1: expected [$2], got [$3]"; failed=$((failed + 1)); fi
}
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
wait_for() {  # wait_for SECONDS COMMAND...: until the command succeeds
  local end=$(( $(date +%s) + $1 )); shift
  until "$@"; do [ "$(date +%s)" -ge "$end" ] && return 1; sleep 0.3; done
}
icon_written() { [ "$(value_of "$icons\\F\\DefaultIcon")" != 'C:\camera.ico' ]; }

wine_machine_start winxp
wine_machine_load "$root/resources/definitions/tavrik_definitions.reg" \
  "$root/tests/fixtures/xp_tavrik_readers.reg" || { echo "FAIL: fixture not loaded"; exit 1; }
mkdir -p "$WINEPREFIX/drive_c/Program Files/Norvell/Tavrik/Icons"
for name in cf ms sm sd; do
  cp "$root/resources/tavrik/res/tavrik.ico" "$WINEPREFIX/drive_c/Program Files/Norvell/Tavrik/Icons/$name.ico"
done
wine_run reg add "$icons\\F\\DefaultIcon" /ve /d 'C:\camera.ico' /f >/dev/null

wine "$tavrik" >/dev/null 2>&1 &
disown  # it is killed below, and that needs no word from the shell
wait_for 20 icon_written || echo "FAIL: Tavrik wrote no icon for F"
sleep 1
f_icon=$(value_of "$icons\\F\\DefaultIcon")
case "$f_icon" in *.ico|*.ICO) passed=$((passed + 1)) ;; *) echo "FAIL: F's icon is [$f_icon]"; failed=$((failed + 1)) ;; esac
check "F's old icon kept" 'C:\camera.ico' "$(value_of "$icons\\F\\DefaultIcon" BackData)"
check "Explorer icon of F" "$f_icon" "$(value_of "$drives\\F\\DefaultIcon")"
check "no backup where nothing was before" "<none>" "$(value_of "$icons\\I\\DefaultIcon" BackData)"
check "recorded in the settings" 'Software\Microsoft\Windows\CurrentVersion\Explorer\DriveIcons\F' \
  "$(value_of "$settings\\IcoList1" 0x0)"
i_label=$(value_of "$icons\\I\\DefaultLabel")
[ "$i_label" != "<none>" ] && [ "$i_label" != "<no key>" ] && passed=$((passed + 1)) ||
  { echo "FAIL: I has no label"; failed=$((failed + 1)); }

# A crash: no shutdown runs, the keys and the record stay.
pkill -9 -x Tavrik.exe
wait_for 10 bash -c '! pgrep -x Tavrik.exe >/dev/null' || echo "FAIL: Tavrik survived SIGKILL"
check "keys left behind by the crash" "$f_icon" "$(value_of "$icons\\F\\DefaultIcon")"

# The readers go while the program is not running; the next start undoes the last run.
wine_run reg delete 'HKLM\System\CurrentControlSet\Services\Disk\Enum' /f >/dev/null
wine "$tavrik" >/dev/null 2>&1 &
wait_for 20 bash -c "[ \"\$(wine reg query '$icons\\F\\DefaultIcon' /v BackData 2>/dev/null | grep -c BackData)\" = 0 ]" ||
  echo "FAIL: the restart did not undo the keys"
sleep 1
check "F's old icon back" 'C:\camera.ico' "$(value_of "$icons\\F\\DefaultIcon")"
check "F's backup gone" "<none>" "$(value_of "$icons\\F\\DefaultIcon" BackData)"
check "F's label key gone" "<no key>" "$(value_of "$icons\\F\\DefaultLabel")"
check "I's icon key gone" "<no key>" "$(value_of "$icons\\I\\DefaultIcon")"
check "I's drive key kept on XP" "<none>" "$(value_of "$icons\\I")"
check "Explorer's drive key of I gone" "<no key>" "$(value_of "$drives\\I")"

wine_run "$driver" command 1036 || echo "FAIL: exit not posted"
wait_for 10 bash -c '! pgrep -x Tavrik.exe >/dev/null' || { echo "FAIL: Tavrik did not exit"; failed=$((failed + 1)); }
check "record cleared at exit" "<none>" "$(value_of "$settings\\IcoList1" 0x0)"

[ "$failed" -ne 0 ] && { echo "Wine stderr:"; tail -20 "$wine_stderr"; }
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
