#!/usr/bin/env bash
# Tolket.exe under Wine on the real registry: it applies a create file, takes away what a remove
# file had written, and on a hostile file writes nothing outside the drive-icon keys.
# usage: tolket_wine.sh PATH/TO/Tolket.exe
set -u
tolket=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/scripts/wine-env.sh"
wine_prefix_start
work=$(mktemp -d /tmp/tolket.XXXXXX)
trap 'wine_prefix_stop; rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then echo "ok   - $1"; else echo "FAIL - $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}
icons='Software\Microsoft\Windows\CurrentVersion\Explorer\DriveIcons'
drives='Applications\explorer.exe\Drives'
default_of() {  # default_of ROOTKEY\PATH -> the default value's data, or <none>
  local out
  out=$(wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | awk -F'    ' '/REG_SZ/ {print $NF}')
  # reg shows a key without default value as "(value not set)".
  if [ -z "$out" ] || [ "$out" == "(value not set)" ]; then echo "<none>"; else echo "$out"; fi
}
lines() {  # lines LETTER ICON LABEL
  printf 'HKEY_LOCAL_MACHINE,%s\\%s\\DefaultIcon\\,,%s,%s\r\n' "$icons" "$1" "$2" "$1"
  printf 'HKEY_LOCAL_MACHINE,%s\\%s\\DefaultLabel\\,,%s,%s\r\n' "$icons" "$1" "$3" "$1"
  printf 'HKEY_CLASSES_ROOT,%s\\%s\\DefaultIcon\\,,%s,%s\r\n' "$drives" "$1" "$2" "$1"
  printf 'HKEY_CLASSES_ROOT,%s\\%s\\DefaultLabel\\,,%s,%s\r\n' "$drives" "$1" "$3" "$1"
}
# Runs Tolket with a command line passed verbatim, as ShellExecute passes its parameters
# (wine's own argument handling would escape the quotes), and prints its exit code.
run_tolket() {
  printf '@echo off\r\nstart "" /wait "%s" %s\r\necho %%errorlevel%%\r\n' \
    "$(winepath -w "$tolket")" "$1" > "$work/run.bat"
  wine cmd /c "$(winepath -w "$work/run.bat")" 2>/dev/null | tr -d '\r' | tail -n 1
}

lines F 'C:\PROGRA~1\Norvell\CF.ICO' 'CF, MD' > "$work/create.dat"
w_create=$(winepath -w "$work/create.dat")
check "valid create file: exit code" 0 "$(run_tolket "-create:\"$w_create\" -hidewindow")"
check "HKLM icon of F" 'C:\PROGRA~1\Norvell\CF.ICO' "$(default_of "HKLM\\$icons\\F\\DefaultIcon")"
check "HKCR label of F (comma kept)" 'CF, MD' "$(default_of "HKCR\\$drives\\F\\DefaultLabel")"

{
  printf 'HKEY_LOCAL_MACHINE,Software\\Microsoft\\Windows\\CurrentVersion\\Run\\,,evil.exe,F\r\n'
  printf 'HKEY_LOCAL_MACHINE,%s\\F\\..\\..\\..\\Run\\,,evil.exe,F\r\n' "$icons"
  printf 'HKEY_CURRENT_USER,%s\\G\\DefaultIcon\\,,evil.ico,G\r\n' "$icons"
  printf 'HKEY_LOCAL_MACHINE,%s\\G\\DefaultIcon\\,Debugger,evil.exe,G\r\n' "$icons"
  printf '\x01\x02\xff junk\r\n'
  lines G 'C:\PROGRA~1\Norvell\SD.ICO' 'SD'
} > "$work/hostile.dat"
w_hostile=$(winepath -w "$work/hostile.dat")
check "hostile file: refused lines reported in the exit code" 1 "$(run_tolket "-create:\"$w_hostile\" -remove:\"$w_create\" -hidewindow")"
check "no Run value written" "" "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' 2>/dev/null | tr -d '\r' | grep -i evil)"
check "no HKCU drive icon key" "<none>" "$(default_of "HKCU\\$icons\\G\\DefaultIcon")"
check "no named value written" "" "$(wine reg query "HKLM\\$icons\\G\\DefaultIcon" /v Debugger 2>/dev/null | tr -d '\r' | grep -i evil)"
check "allowed lines of the hostile file applied" 'C:\PROGRA~1\Norvell\SD.ICO' "$(default_of "HKLM\\$icons\\G\\DefaultIcon")"
check "remove file took F's icon away" "<none>" "$(default_of "HKLM\\$icons\\F\\DefaultIcon")"
check "remove file took F's Explorer label away" "<none>" "$(default_of "HKCR\\$drives\\F\\DefaultLabel")"
check "a missing data file is reported" 2 "$(run_tolket '-create:"C:\no\such\create.dat" -hidewindow')"

echo "$failures failed"
[ "$failures" -eq 0 ]
