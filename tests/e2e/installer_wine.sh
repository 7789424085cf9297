#!/usr/bin/env bash
# Setup.exe under Wine and Xvfb, on an XP or a Vista machine with an NVR-550S reader plugged in
# (tests/fixtures/loscan_xp_reader.reg or vista_nvr550s_reader.reg: CF at F, SD at G, SM/xD at
# I), where Explorer's drive
# keys already hold something of others: an empty key of drive F, an Explorer application key,
# and an icon and a label of the user's own on drive K:
#   - "Setup.exe /S" installs the programs, the slot icons and the Japanese guide as the build
#     made it, writes the reader definitions exactly as resources/definitions/tavrik_definitions.reg
#     holds them, the logon entry, the Start menu entries (Loscan, Tavrik, 使い方) and the
#     uninstall entry with the version of resources/version.h;
#   - on XP it starts the installed Tavrik (on Vista it does not: Tavrik would run elevated, and
#     starts at the next logon; the test starts it then, as the logon would), which finds the
#     reader and gives its drives the installed
#     slot icons (their short paths: IconPath resolves only to a file that exists); with a tray
#     driver given, its slot menu is opened and screenshot (screenshots/installed_tavrik_menu.png,
#     or $SLOT_SCREENSHOT_DIR);
#   - installing again ends that Tavrik the way its Exit command does and starts it again (on
#     Vista: ends it, and leaves it to the next logon);
#   - on Vista, Tolket is handed drives K and L the way Tavrik hands icons over, and keeps the
#     user's values of K in "BackData";
#   - "Uninstall.exe /S" ends Tavrik through its Exit command, so that Tavrik takes back its
#     Explorer keys and settings, has Tolket put back or take away what it wrote, deletes only
#     the empty drive keys that the product created, and leaves the registry and drive C: as
#     they were before the installation, apart from what Wine itself changes (listed in IGNORED
#     below).
# usage: installer_wine.sh winxp|vista Setup.exe slotdrive.exe [tray_driver.exe]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_machine.sh"
e2e_display "$@"
mode=$1 setup=$2 slotdrive=$3 tray_driver=${4:-}
root=$(cd "$here/../.." && pwd)
definitions=$root/resources/definitions/tavrik_definitions.reg
case $mode in
  winxp) fixture=$root/tests/fixtures/loscan_xp_reader.reg ;;
  vista) fixture=$root/tests/fixtures/vista_nvr550s_reader.reg ;;  # Vista-style mount records
  *) echo "unknown mode $mode"; exit 2 ;;
esac
shots=${SLOT_SCREENSHOT_DIR:-$root/screenshots}
wine_work installer-e2e
# Wine mirrors Start menu entries into the host's desktop menus: keep those in the work folder.
export XDG_DATA_HOME=$work/xdg-data XDG_CONFIG_HOME=$work/xdg-config

value_of() {  # value_of KEY NAME -> the value's data, or <none>
  local out
  out=$(wine_run reg query "$1" /v "$2" 2>/dev/null | iconv -c -f CP932 -t UTF-8 | awk -v name="$2" '
    index($0, "    " name "    ") == 1 { sub("^    " name "    REG_[A-Z_]+    ", ""); print }')
  echo "${out:-<none>}"
}
default_of() {  # default_of KEY -> its default value, or <none>
  local out
  # reg writes in the console's code page.
  out=$(wine_run reg query "$1" /ve 2>/dev/null | iconv -c -f CP932 -t UTF-8 |
        awk -F'    ' '/REG_SZ/ {print $NF}')
  if [ -z "$out" ] || [ "$out" == "(value not set)" ]; then echo "<none>"; else echo "$out"; fi
}
key_exists() { wine reg query "$1" >/dev/null 2>&1 && echo yes || echo no; }

# What Wine changes by itself between the two snapshots, and why it is not the product's:
IGNORED_KEYS=(
  # the display's state, which Wine's graphics driver rewrites whenever a program starts it
  # (the monitor's work area, say, shrinks once the virtual desktop shows its taskbar)
  'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Video'
  'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Class\{4D36E968-E325-11CE-BFC1-08002BE10318}'
  'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Enum\DISPLAY'
  # Wine's record of the host desktop-menu files it made for the Start menu entries
  'HKEY_USERS\S-1-5-21-0-0-0-1000\Software\Wine\MenuFiles'
  # Wine's own runtime copies of system parameters
  'HKEY_USERS\S-1-5-21-0-0-0-1000\Software\Wine\Temporary System Parameters'
)
IGNORED_PATHS=(
  # NSIS runs the uninstaller from a copy in %TEMP% and leaves it to the next restart to
  # delete (see the restart below); Wine deletes the copy then but not its emptied folder
  'users/[^/]*/Temp/~nsu[^/]*'
)

# A whole-registry export without Wine's own keys, values sorted within each key (Wine returns
# them sorted by name; keeping the export's order would only repeat that).
snapshot_registry() {  # snapshot_registry OUT
  local wexport
  wexport="$work/export-$(basename "$1").reg"
  wine_run regedit /E "$(winepath -w "$wexport")" >/dev/null
  python3 "$root/scripts/reg_file.py" sorted "$wexport" "${IGNORED_KEYS[@]}" >"$1"
}
snapshot_files() {  # snapshot_files OUT: every file and folder of drive C: with its size
  local drive_c=$WINEPREFIX/drive_c pattern
  pattern=$(IFS='|'; echo "${IGNORED_PATHS[*]}")
  (cd "$drive_c" && find . -mindepth 1 -printf '%y %s %P\n' | sed 's/^d [0-9]* /d - /') |
    grep -Ev "^. [-0-9]+ ($pattern)(/|\$)" | sort -k3 >"$1"
}
# The definitions as a text that does not depend on value order (Wine's export sorts by name).
sorted_definitions() { python3 "$root/scripts/reg_file.py" sorted "$1"; }  # FILE.reg

wine_machine_start "$mode" 800x600
wine_machine_load "$fixture" >/dev/null
drive_icons='HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\DriveIcons'
explorer_drives='HKCR\Applications\explorer.exe\Drives'
# Others' keys, empty: Tavrik fills F\DefaultIcon and F\DefaultLabel below an F key that was
# there, and Drives below Explorer's application key. (reg.exe would give them a default value.)
printf 'REGEDIT4\r\n\r\n[%s\\F]\r\n\r\n[HKEY_CLASSES_ROOT\\Applications\\explorer.exe]\r\n' \
  'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Explorer\DriveIcons' >"$work/others.reg"
wine_machine_load "$work/others.reg" >/dev/null
wine_run reg add "$drive_icons\\K\\DefaultIcon" /ve /d 'C:\Camera\camera.ico' /f >/dev/null
wine_run reg add "$explorer_drives\\K\\DefaultLabel" /ve /d 'Camera' /f >/dev/null
show_drive_k() {  # show_drive_k WHEN: drive K's keys with everything in them, as reg shows them
  echo "drive K $1:"
  { wine_run reg query "$drive_icons\\K" /s; wine_run reg query "$explorer_drives\\K" /s; } |
    iconv -c -f CP932 -t UTF-8 | grep -v '^$' | sed 's/^/    /'
}
show_drive_k "before the installation"
snapshot_registry "$work/registry.before"
snapshot_files "$work/files.before"

# --- install
wine "$setup" /S 2>>"$wine_stderr"
check "Setup.exe /S exit code" 0 $?
program='C:\Program Files\Norvell\Tavrik'
unix_program=$(winepath -u "$program")
for file in Loscan.exe Tavrik.exe Tolket.exe Uninstall.exe Guide.txt; do
  check "installed $file" yes "$([ -f "$unix_program/$file" ] && echo yes || echo no)"
done
# The build writes the guide beside Setup.exe, in generated/.
built_guide=$(dirname "$setup")/generated/Guide.txt
check "installed guide as built" same \
  "$(cmp -s "$built_guide" "$unix_program/Guide.txt" && echo same || echo different)"
icon_names=$(python3 "$root/scripts/reg_file.py" values "$definitions" IconPath |
             sed 's/.*\\//' | sort -u)
for icon in $icon_names; do
  check "installed icon $icon" yes "$([ -f "$unix_program/Icons/$icon" ] && echo yes || echo no)"
done
check "no other icon files" "$(echo "$icon_names" | wc -l)" "$(ls "$unix_program/Icons" | wc -l)"

definitions_key='HKLM\SOFTWARE\Norvell\Tavrik\RW_Devices'
check_definitions() {  # check_definitions CASE
  wine_run "$slotdrive" export --live "$definitions_key" --out "$(winepath -w "$work/installed.reg")"
  # The installer writes IconPath under its own folder; the shipped file names the default one,
  # which is where /S installs, so the two agree byte for byte (code page 932 texts included).
  if cmp -s <(sorted_definitions "$definitions") <(sorted_definitions "$work/installed.reg"); then
    check "$1: definitions as shipped" same same
  else
    check "$1: definitions as shipped" same different
    diff <(sorted_definitions "$definitions") <(sorted_definitions "$work/installed.reg") | head -20
  fi
}
check_definitions install

run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
check "logon entry" "\"$program\\Tavrik.exe\"" "$(value_of "$run_key" Tavrik)"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\NorvellCardReaderUtilities'
version=$(sed -n 's/^#define PRODUCT_VERSION_TEXT "\(.*\)"/\1/p' "$root/resources/version.h")
check "uninstall entry: version" "$version" "$(value_of "$uninstall_key" DisplayVersion)"
check "uninstall entry: name" "Norvell Card Reader Utilities" "$(value_of "$uninstall_key" DisplayName)"
check "uninstall entry: command" "\"$program\\Uninstall.exe\"" "$(value_of "$uninstall_key" UninstallString)"
menu=$(winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Norvell Card Reader Utilities')
start_menu_entries() { ls "$menu" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'; }
check "Start menu entries" "Loscan.lnk Tavrik.lnk 使い方.lnk" "$(start_menu_entries)"

# --- the installed Tavrik, as the installer started it. On Vista the elevated installer starts
# none (Wine cannot show elevation: every process here has the same rights), and the logon would.
settings='HKCU\Software\Norvell\Tavrik\Settings\Tavrik'
start_as_logon() {
  sleep 2  # nothing to wait for: no Tavrik may appear
  check "Vista: the installer started no Tavrik" 0 "$(wine_processes Tavrik.exe)"
  wine "$unix_program/Tavrik.exe" >/dev/null 2>>"$wine_stderr" &
}
[ "$mode" == vista ] && start_as_logon
tavrik_has_icons() { [ "$(default_of "$drive_icons\\I\\DefaultIcon")" != "<none>" ]; }
if wait_until 30 tavrik_has_icons; then
  for letter_icon in F:cf.ico G:sd.ico I:smxd.ico; do
    letter=${letter_icon%%:*}
    icon=${letter_icon#*:}
    path=$(default_of "$drive_icons\\$letter\\DefaultIcon")
    # Tavrik keeps the 8.3 form of IconPath, which only a file that exists has.
    check "drive $letter icon: a short path" no "$(case "$path" in *' '*) echo yes;; *) echo no;; esac)"
    check "drive $letter icon: the installed $icon" yes \
      "$([ "$(winepath -u "$path" 2>/dev/null)" -ef "$unix_program/Icons/$icon" ] && echo yes || echo no)"
  done
  check "SD drive label" "SDメモリーカード" "$(default_of "$drive_icons\\G\\DefaultLabel")"
  check "Tavrik records its icon keys" yes \
    "$(wine_run reg query "$settings\\IcoList1" | grep -qF 'DriveIcons\F' && echo yes || echo no)"
else
  check "the installer started Tavrik, which gave the reader's drives their icons" yes no
fi
if [ -n "$tray_driver" ] && tavrik_has_icons; then
  mkdir -p "$shots"
  # The slot menu opens at the cursor; somewhere in the middle of the desktop.
  wine "$tray_driver" left 300 200 >/dev/null 2>>"$wine_stderr"
  if wine "$tray_driver" menu 10 >/dev/null 2>>"$wine_stderr"; then
    screen_picture "$shots/installed_tavrik_menu.png" 800x600+0+0 &&
      echo "screenshot: $shots/installed_tavrik_menu.png"
    xdotool key Escape
    wine "$tray_driver" nomenu 5 >/dev/null 2>>"$wine_stderr"
  else
    check "slot menu shown" yes no
  fi
fi

# --- installing again over the running Tavrik ends it first, as it would hold its file, and
# starts it again. A label changed behind Tavrik's back tells which: the Tavrik that is ended
# takes its label key away, the one started writes its label anew, and one left running would
# keep the changed text.
wine_run reg add "$drive_icons\\G\\DefaultLabel" /ve /d 'changed' /f >/dev/null
wine "$setup" /S 2>>"$wine_stderr"
check "second Setup.exe /S exit code" 0 $?
[ "$mode" == vista ] && start_as_logon
tavrik_labelled_g() { [ "$(default_of "$drive_icons\\G\\DefaultLabel")" == "SDメモリーカード" ]; }
wait_until 30 tavrik_labelled_g
check "second install: Tavrik ended and started again" "SDメモリーカード" \
  "$(default_of "$drive_icons\\G\\DefaultLabel")"
check_definitions "second install"

# --- Vista: Tavrik hands drives K and L over to Tolket (the files and command line of its
# hand-off); K held the user's own icon and label before
if [ "$mode" == vista ]; then
  user=$(wine_run cmd /c echo %USERNAME%)
  data_folder="C:\\ProgramData\\Norvell\\Tavrik\\$user"
  mkdir -p "$(winepath -u "$data_folder")"
  for letter in K L; do
    printf 'HKEY_LOCAL_MACHINE,Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\%s\\DefaultIcon\\,,%s,%s\r\n' "$letter" 'C:\PROGRA~1\Norvell\Tavrik\Icons\sd.ico' "$letter"
    printf 'HKEY_LOCAL_MACHINE,Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\%s\\DefaultLabel\\,,SD,%s\r\n' "$letter" "$letter"
    printf 'HKEY_CLASSES_ROOT,Applications\\explorer.exe\\Drives\\%s\\DefaultIcon\\,,%s,%s\r\n' "$letter" 'C:\PROGRA~1\Norvell\Tavrik\Icons\sd.ico' "$letter"
    printf 'HKEY_CLASSES_ROOT,Applications\\explorer.exe\\Drives\\%s\\DefaultLabel\\,,SD,%s\r\n' "$letter" "$letter"
  done > "$(winepath -u "$data_folder\\create.dat")"
  wine "$unix_program/Tolket.exe" "-create:$data_folder\\create.dat" -hidewindow 2>>"$wine_stderr"
  check "Tolket's hand-off: exit code" 0 $?
  check "Tolket wrote K's icon" 'C:\PROGRA~1\Norvell\Tavrik\Icons\sd.ico' "$(default_of "$drive_icons\\K\\DefaultIcon")"
  check "Tolket kept the user's icon of K" 'C:\Camera\camera.ico' "$(value_of "$drive_icons\\K\\DefaultIcon" BackData)"
  check "Tolket kept the user's label of K" 'Camera' "$(value_of "$explorer_drives\\K\\DefaultLabel" BackData)"
  check "Tolket wrote L's label" SD "$(default_of "$explorer_drives\\L\\DefaultLabel")"
  show_drive_k "after Tolket's hand-off"
fi

# --- uninstall, with Tavrik running
wine "$unix_program/Uninstall.exe" /S 2>>"$wine_stderr"
check "Uninstall.exe /S exit code" 0 $?
# The uninstaller runs on from its copy in %TEMP%; its last step removes the uninstall entry.
uninstalled() { [ "$(key_exists "$uninstall_key")" == no ]; }
wait_until 60 uninstalled || check "uninstaller finished" yes no
check "Tavrik's Explorer label of G taken back" "<none>" "$(default_of "$drive_icons\\G\\DefaultLabel")"
show_drive_k "after the uninstallation"
check "the user's icon of K as before" 'C:\Camera\camera.ico' "$(default_of "$drive_icons\\K\\DefaultIcon")"
check "the user's label of K as before" 'Camera' "$(default_of "$explorer_drives\\K\\DefaultLabel")"
check "no BackData left on K" '<none>' "$(value_of "$drive_icons\\K\\DefaultIcon" BackData)"
check "no Explorer keys of L left" no "$(key_exists "$explorer_drives\\L")"
check "no machine-wide key of L left" no "$(key_exists "$drive_icons\\L")"
check "the empty key of F that was there stays" yes "$(key_exists "$drive_icons\\F")"
check "the Explorer application key that was there stays" yes "$(key_exists 'HKCR\Applications\explorer.exe')"
check "Tavrik's settings gone" no "$(key_exists 'HKCU\Software\Norvell')"
check "definitions gone" no "$(key_exists "$definitions_key")"
check "logon entry gone" "<none>" "$(value_of "$run_key" Tavrik)"
check "guide gone" no "$([ -e "$unix_program/Guide.txt" ] && echo yes || echo no)"
check "program folder gone" no "$([ -e "$unix_program" ] && echo yes || echo no)"
check "Start menu entries gone" "" "$(start_menu_entries)"
check "Start menu folder gone" no "$([ -e "$menu" ] && echo yes || echo no)"

# A restart carries out what was left to it (the uninstaller's copy in %TEMP%).
wine_run wineboot -r >/dev/null
snapshot_registry "$work/registry.after"
snapshot_files "$work/files.after"
if diff "$work/registry.before" "$work/registry.after" >"$work/registry.diff"; then
  check "registry as before" same same
else
  check "registry as before" same different
  head -40 "$work/registry.diff"
fi
if diff "$work/files.before" "$work/files.after" >"$work/files.diff"; then
  check "drive C: as before" same same
else
  check "drive C: as before" same different
  head -40 "$work/files.diff"
fi

e2e_finish installer
