#!/usr/bin/env bash
# slotdrive tavrik: the ejector's main window run headless on the shipped reader definitions
# and tests/fixtures/xp_tavrik_readers.reg (NVR-410U with CF at F, MS at G, its SM slot
# without a letter and SD at I; NVR-112S with SD at J).
# usage: slotdrive_tavrik.sh PATH/TO/slotdrive
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
definitions=$here/../../resources/definitions/tavrik_definitions.reg
fixture=$here/../fixtures/xp_tavrik_readers.reg
. "$here/e2e.sh"
e2e_work slotdrive-tavrik
machine=(--reg "$definitions" --reg "$fixture")
drives="C=fixed,F=removable,G=removable,I=removable,J=removable"

# run NAME ARGS...: the report of one run in $work/out; a run that does not exit 0 fails.
run() {
  local name=$1
  shift
  "$exe" tavrik "$@" >"$work/out" 2>"$work/err" || fail "$name: exit $? ($(cat "$work/err"))"
}

# holds NAME PYTHON-EXPRESSION: evaluated on the report as d (menu items as m, the first
# reader's cells as r0).
holds() {
  if python3 - "$work/out" "$1" "$2" <<'PY'; then pass; else fail "$1: $2"; fi
import json, sys
d = json.load(open(sys.argv[1], encoding="utf-8"))
m = d["menu"]
r0 = d["readers"][0]["slots"] if d["readers"] else []
if not eval(sys.argv[3]):
    print(f"{sys.argv[2]}: {sys.argv[3]} is false for", json.dumps(d, ensure_ascii=False)[:400])
    sys.exit(1)
PY
}

# Start-up: the reader is found without probing any medium, the icon goes to the connected
# image, and no menu is shown.
run start "${machine[@]}" --os WinXP --drives "$drives" --media FI
holds start 'd["osVersion"] == "WinXP" and d["deviceNum"] == 19'
holds start 'd["trayIconPresent"] and d["trayIcon"] == 144'
holds start 'd["readers"][0]["model"] == "NVR410U"'
holds start '[c["drive"] for c in r0] == ["F", "G", "NoDrive", "I", "NoDrive"]'
holds start '[c["found"] for c in r0] == [1, 1, 0, 1, 0] and [c["ready"] for c in r0] == [0] * 5'
holds start 'r0[0]["driveFuncs"] == "コンパクトフラッシュ" and r0[2]["driveFuncs"] == "NoFunc"'
holds start 'd["readers"][1]["slots"][-1]["found"] == 0'
holds start 'd["shellCalls"][0] == "NotifyIcon 0 1002 149" and m == [] and d["messages"] == []'

# Left click with media in F and I: the slot menu, with only those two enabled.
run left "${machine[@]}" --os WinXP --drives "$drives" --media FI --click left
holds left '[i.get("id") for i in m] == [1038, 1039, 1040, 1041, None, 1060, None, 1035]'
holds left 'm[0]["text"] == "コンパクトフラッシュ取り出し (F:) " and m[0]["ownerDraw"]'
holds left 'm[2]["text"] == "ドライブが取り外されています。" and not m[2]["ownerDraw"]'
holds left '[i.get("grayed") for i in m] == [False, True, True, False, None, True, None, False]'
holds left 'm[-1]["text"] == "全てのメディアを取り出す"'
holds left '[c["ready"] for c in r0] == [1, 0, 0, 1, 1]'

# No medium anywhere: every item grayed, "eject all" too.
run nomedia "${machine[@]}" --os WinXP --drives "$drives" --click left
holds nomedia 'all(i["grayed"] for i in m if "id" in i)'

# No reader at all: only "eject all", grayed, and the idle image.
run noreader --reg "$definitions" --os WinXP --drives C=fixed --click left
holds noreader 'd["trayIcon"] == 149 and [(i["id"], i["grayed"]) for i in m] == [(1035, True)]'

# Right click: the fixed menu.
run right "${machine[@]}" --os WinXP --click right
holds right '[i.get("id") for i in m] == [1033, 1034, None, 1032, None, 1037, None, 1036]'
holds right '[i["text"] for i in m if "id" in i] == ["エクスプローラを開く", "マイコンピュータを開く", "アイコン修復", "バージョン情報", "終了"]'
holds right 'not any(i.get("grayed") for i in m)'

# Eject all: the ready slots in reader and slot order.
run ejectall "${machine[@]}" --os WinXP --drives "$drives" --media FI --click left --command 1035
holds ejectall 'd["ejects"] == ["F", "I"] and d["messages"] == []'

# One slot, chosen by its id; on Windows 95 there is no engine and nothing happens.
run ejectone "${machine[@]}" --os WinXP --drives "$drives" --command 1039
holds ejectone 'd["ejects"] == ["G"] and d["messages"] == []'
run eject95 "${machine[@]}" --os Win95 --drives "$drives" --command 1039
holds eject95 'd["osVersion"] == "Win95" and d["ejects"] == [] and d["messages"] == []'

# A slot whose letter is no drive: the engine's refusal is shown.
run ejectbad "${machine[@]}" --os WinXP --drives C=fixed --command 1060
holds ejectbad 'd["ejects"] == [] and len(d["messages"]) == 1 and d["messages"][0] != ""'

# A slot without a letter ("NoDrive"; left over in a menu opened before an unplug) ejects
# nothing, whatever medium drive N: holds.
for id in 1040 1085 1087; do
  run "noletter$id" "${machine[@]}" --os WinXP --drives "$drives,N=cdrom" --media FGIN --command $id
  holds "noletter$id" 'd["ejects"] == [] and d["messages"] == []'
done

# Icon repair before any hand-off (XP has none): the keys are put back, nothing is started or
# shown. After one, Tolket is started, and without Tolket.exe the error box shows.
run repair "${machine[@]}" --os WinXP --command 1032
holds repair 'd["messages"] == [] and not any(c.startswith("ShellExecute") for c in d["shellCalls"])'
printf 'C:\\ProgramData\\Norvell\\Tavrik\\user\\create.dat\n' >"$work/handed_off.txt"
run repaired "${machine[@]}" --os WinXP --files "$work/handed_off.txt" --command 1032
holds repaired 'd["messages"][0].startswith("ShellExecute() \nGetLastError(dw) = 0x2 \n")'

# The version dialog, and Exit: the icon is deleted and the window closed.
run version "${machine[@]}" --os WinXP --command 1037
holds version 'd["dialogs"] == ["129"] and not d["closed"]'
run exit "${machine[@]}" --os WinXP --drives "$drives" --command 1036 --out "$work/exit.reg"
holds exit 'd["closed"] and not d["trayIconPresent"] and d["shellCalls"][-1] == "NotifyIcon 2 1002 0"'
"$exe" tavrik "${machine[@]}" --os WinXP --drives "$drives" --out "$work/running.reg" >/dev/null
icon_key='^\[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\F\\DefaultIcon\]'
grep -q "$icon_key" "$work/running.reg" && pass || fail "running: no icon key for F"
grep -q '^"0x0"="Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\DriveIcons\\\\F"' \
  "$work/running.reg" && pass || fail "running: F not recorded in IcoList1"
grep -q "$icon_key" "$work/exit.reg" && fail "exit: icon key for F left behind" || pass
grep -q '^"0x0"=' "$work/exit.reg" && fail "exit: settings entry left behind" || pass

# With the machine's files (--files, as "machine_driver shortpath" lists them under Wine): the
# icon file exists, so the keys get its short path; an icon that does not exist gets none.
printf 'C:\\Program Files\\Norvell\\Tavrik\\Icons\\cf.ico\tC:\\PROG~FBU\\Norvell\\Tavrik\\Icons\\cf.ico\n' \
  >"$work/files.txt"
"$exe" tavrik "${machine[@]}" --os WinXP --drives "$drives" --files "$work/files.txt" \
  --out "$work/files.reg" >/dev/null || fail "files: exit $?"
grep -A1 "$icon_key" "$work/files.reg" | grep -qF '@="C:\\PROG~FBU\\Norvell\\Tavrik\\Icons\\cf.ico"' &&
  pass || fail "files: F's icon is not the short path of cf.ico"
grep -A1 "${icon_key/\\F\\/\\G\\}" "$work/files.reg" | grep -qF '@=""' &&
  pass || fail "files: G's icon, which does not exist, has a path"
printf 'Icons\\cf.ico\n' >"$work/relative.txt"
printf 'C:\\Program Files\\cf.ico\tC:\\cf.ico\n' >"$work/unlike.txt"

# No definitions: the start-up message, and the posted close ends the program.
run nodefs --reg "$fixture" --os WinXP
holds nodefs 'd["messages"] == ["初期化処理に失敗しましたので、終了します。"] and d["closed"]'
holds nodefs 'd["deviceNum"] == 0 and not d["trayIconPresent"]'
grep -qF "the reader definitions (HKEY_LOCAL_MACHINE\SOFTWARE\Norvell\Tavrik\RW_Devices) are not in the image: make them with 'slotdrive definitions --out definitions.reg' and add '--reg definitions.reg'" \
  "$work/err" && pass || fail "nodefs: the missing definitions not named: $(cat "$work/err")"
run withdefs "${machine[@]}" --os WinXP
[ -s "$work/err" ] && fail "withdefs: a note on standard error: $(cat "$work/err")" || pass

# Windows 2000 keeps SendTo shortcuts, named after the slot's function and letter.
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\n"SendTo"="C:\\\\Documents and Settings\\\\user\\\\SendTo"\r\n' >"$work/sendto.reg"
run sendto "${machine[@]}" --reg "$work/sendto.reg" --os Win2k --drives "$drives"
holds sendto '"CreateShortcut C:\\Documents and Settings\\user\\SendTo\\コンパクトフラッシュドライブ(F).lnk -> F:\\ (CF/MD)" in d["shellCalls"]'
holds sendto 'sum(c.startswith("CreateShortcut") for c in d["shellCalls"]) == 4'

# A folder named "ソ" (cp932 83 5C, its second byte a backslash) is one element of a path:
# the listing is taken and the SendTo folder below it named by its short form.
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\n"SendTo"="C:\\\\\x83\x5c\\\\SendTo"\r\n' >"$work/so_sendto.reg"
printf 'C:\\\x83\x5c\\SendTo\\\tC:\\SO~1\\SendTo\\\n' >"$work/so_files.txt"
run so "${machine[@]}" --reg "$work/so_sendto.reg" --os Win2k --drives "$drives" --files "$work/so_files.txt"
holds so '"CreateShortcut C:\\SO~1\\SendTo\\コンパクトフラッシュドライブ(F).lnk -> F:\\ (CF/MD)" in d["shellCalls"]'

# A crash record naming drive F twice ("0x0" and "5x0": reader A's CF slot had F, then reader
# B's slot got it), over keys that hold our icon and label with the user's own in "BackData".
# The start undoes F once: the user's icon and label come back, on NT and 9x, in both roots.
icons='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Explorer\DriveIcons\F'
drives_f='HKEY_CLASSES_ROOT\Applications\explorer.exe\Drives\F'
settings='HKEY_CURRENT_USER\Software\Norvell\Tavrik\Settings\Tavrik'
{
  printf 'REGEDIT4\r\n\r\n'
  for key in "$icons" "$drives_f"; do
    printf '[%s\\DefaultIcon]\r\n@="C:\\\\Tavrik\\\\cf.ico"\r\n"BackData"="C:\\\\Mine\\\\mine.ico"\r\n\r\n' "$key"
    printf '[%s\\DefaultLabel]\r\n@="CF"\r\n"BackData"="Mine"\r\n\r\n' "$key"
  done
  for list in IcoList1 IcoList2; do
    case $list in IcoList1) path=${icons#HKEY_LOCAL_MACHINE\\} ;; *) path=${drives_f#HKEY_CLASSES_ROOT\\} ;; esac
    printf '[%s\\%s]\r\n"0x0"="%s"\r\n"5x0"="%s"\r\n\r\n' "$settings" "$list" "${path//\\/\\\\}" "${path//\\/\\\\}"
  done
} >"$work/crash.reg"
value() { python3 "$here/../../scripts/reg_file.py" value "$work/after.reg" "$@"; }
for os in WinXP Win2k Win98 WinMe; do
  "$exe" tavrik --reg "$definitions" --reg "$here/../fixtures/xp_machine.reg" --reg "$work/crash.reg" \
    --os "$os" --out "$work/after.reg" >/dev/null 2>"$work/err" || fail "crash $os: exit $? ($(cat "$work/err"))"
  roots=("$icons")
  [ "$os" != Win98 ] && roots+=("$drives_f")
  for key in "${roots[@]}"; do
    check "crash $os: ${key%%\\*} icon" 'C:\Mine\mine.ico' "$(value "$key\\DefaultIcon")"
    check "crash $os: ${key%%\\*} label" Mine "$(value "$key\\DefaultLabel")"
    check "crash $os: ${key%%\\*} backup gone" "<none>" "$(value "$key\\DefaultIcon" BackData)"
  done
done

# What the window could not be told is refused, with nothing written.
for bad in "--click middle" "--command 999" "--command 1088" "--command 10x" \
           "--drives C=fixed --media Q" "--drives F=floppy" "--drives F=fixed,f=cdrom" "--live" \
           "--files $work/none.txt" "--files $work/relative.txt" "--files $work/unlike.txt" \
           "--out -" "extra"; do
  # shellcheck disable=SC2086
  "$exe" tavrik "${machine[@]}" --os WinXP $bad >"$work/out" 2>"$work/err"
  rc=$?
  if [ "$rc" = 2 ] && [ ! -s "$work/out" ] && [ -s "$work/err" ]; then
    pass
  else
    fail "'$bad': exit $rc, output $(wc -c <"$work/out") bytes, reason '$(cat "$work/err")'"
  fi
done
"$exe" tavrik "${machine[@]}" >"$work/out" 2>"$work/err"
[ $? = 2 ] && pass || fail "no --os accepted"

e2e_finish
