#!/usr/bin/env bash
# Tolket.exe under Wine on the real registry, reporting Windows Vista (the one system Tavrik hands
# icons over on): it applies a create file, keeps a value it replaces in "BackData" and puts it
# back when it takes its own away, takes away what a remove file had written, and on a hostile
# file writes nothing outside the drive-icon keys.
# usage: tolket_wine.sh PATH/TO/Tolket.exe
set -u
tolket=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tests/e2e/e2e.sh"
. "$here/scripts/wine-env.sh"
e2e_work tolket
e2e_on_exit wine_prefix_stop
wine_prefix_start
wine reg add 'HKCU\Software\Wine' /v Version /d vista /f >/dev/null 2>&1
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
# --- what the user had on drive H before: an icon of their own, and a label in Explorer's key
named_of() {  # named_of ROOTKEY\PATH NAME -> the value's data, or <none>
  local out
  out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -F'    ' '/REG_SZ/ {print $NF}')
  echo "${out:-<none>}"
}
drive_h() {  # both drive keys of H with everything in them, as reg shows them
  wine reg query "HKLM\\$icons\\H" /s 2>/dev/null | tr -d '\r'
  wine reg query "HKCR\\$drives\\H" /s 2>/dev/null | tr -d '\r'
}
wine reg add "HKLM\\$icons\\H\\DefaultIcon" /ve /d 'C:\Camera\camera.ico' /f >/dev/null 2>&1
wine reg add "HKCR\\$drives\\H\\DefaultLabel" /ve /d 'Camera' /f >/dev/null 2>&1
drive_h > "$work/h.before"
echo "registry of drive H before:"; sed 's/^/    /' "$work/h.before"
lines H 'C:\PROGRA~1\Norvell\SD.ICO' 'SD' > "$work/h.dat"
w_h=$(winepath -w "$work/h.dat")
check "create over the user's values: exit code" 0 "$(run_tolket "-create:\"$w_h\" -hidewindow")"
check "H icon is Tolket's" 'C:\PROGRA~1\Norvell\SD.ICO' "$(default_of "HKLM\\$icons\\H\\DefaultIcon")"
check "the user's icon kept in BackData" 'C:\Camera\camera.ico' "$(named_of "HKLM\\$icons\\H\\DefaultIcon" BackData)"
check "the user's Explorer label kept in BackData" 'Camera' "$(named_of "HKCR\\$drives\\H\\DefaultLabel" BackData)"
check "no BackData where nothing was before" '<none>' "$(named_of "HKLM\\$icons\\H\\DefaultLabel" BackData)"
drive_h > "$work/h.created"
echo "registry of drive H after the create:"; sed 's/^/    /' "$work/h.created"
# The uninstaller's form: only a remove file.
check "remove only: exit code" 0 "$(run_tolket "-remove:\"$w_h\" -hidewindow")"
drive_h > "$work/h.after"
echo "registry of drive H after the remove:"; sed 's/^/    /' "$work/h.after"
check "drive H as before the create" "$(cat "$work/h.before")" "$(cat "$work/h.after")"

check "a missing data file is reported" 2 "$(run_tolket '-create:"C:\no\such\create.dat" -hidewindow')"

e2e_finish
