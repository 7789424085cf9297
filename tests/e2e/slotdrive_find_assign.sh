#!/usr/bin/env bash
# slotdrive from the command line: find's report, what assign writes and says, export and
# diff, the help of every command, the conversions of text arguments and the refusals
# (exit 2, a reason, nothing written).
# usage: slotdrive_find_assign.sh SLOTDRIVE
set -u
slotdrive=${1:?usage: slotdrive_find_assign.sh SLOTDRIVE}
fixtures=$(cd "$(dirname "$0")/../fixtures" && pwd)
. "$(dirname "$0")/e2e.sh"
e2e_work slotdrive_cli
cf='USBSTOR\Disk&Ven_Norvell&Prod_CF_Slot'
sd='USBSTOR\Disk&Ven_Norvell&Prod_SD_MMC_Slot'
# field EXPR: a Python expression over the report d, printed as compact JSON.
field() {
  python3 -c 'import json, sys
d = json.load(open(sys.argv[2], encoding="utf-8"))
print(json.dumps(eval(sys.argv[1]), ensure_ascii=False, separators=(",", ":")))' "$1" "$work/out.json"
}

# Lookups in order on one finder: each lookup's letter, then the state after the last.
"$slotdrive" find --reg "$fixtures/xp_machine.reg" --os WinXP "$cf" "$sd" >"$work/out.json"
check "find exit" 0 $?
check "find lookups" '[[1,"E"],[1,"K"]]' "$(field '[[l["result"], l["foundDrive"]] for l in d["lookups"]]')"
check "find state" '["K",["E","G","K"],3,2,"7&2f4c18a0&2"]' \
  "$(field '[d[k] for k in ("foundDrive", "drives", "driveCount", "lookupCount", "parentIdPrefix")]')"

# An empty --filter still makes the lookup a named one: on Vista only that finds records.
"$slotdrive" find --reg "$fixtures/vista_twin_readers.reg" --os 2.6.0.6000 --filter '' "$cf" \
  >"$work/out.json"
check "named vista lookup" '["WinVista","I",4]' "$(field '[d["osVersion"], d["foundDrive"], d["driveCount"]]')"
"$slotdrive" find --reg "$fixtures/vista_twin_readers.reg" --os WinVista "$cf" >"$work/out.json"
check "plain vista lookup" '0' "$(field 'd["lookups"][0]["result"]')"

# Version numbers go through the real classification.
for os in '2.6.1.7601 ["WinNT","OTHER"]' '0.0.0.0 ["OTHER","OTHER"]' \
          '1.4.10.0x040A08AE ["Win9x","Win98SE"]' '1.4.10.0x040a08ad ["Win9x","Win98"]'; do
  "$slotdrive" find --reg "$fixtures/xp_machine.reg" --os "${os%% *}" "$cf" >"$work/out.json"
  check "--os ${os%% *}" "${os#* }" "$(field '[d["osFamily"], d["osVersion"]]')"
done

# Japanese arguments arrive as UTF-8 and are matched as cp932; the report is UTF-8 again.
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Disk\\Enum]\r\n"0"="USBSTOR\\\\Disk&Ven_Norvell&Prod_\x83J\x81[\x83h\\\\1&0"\r\n' \
  >"$work/japanese.reg"
"$slotdrive" find --reg "$work/japanese.reg" --os WinXP 'Prod_カード' >"$work/out.json"
check "japanese slot id" '["USBSTOR\\Disk&Ven_Norvell&Prod_カード\\1&0"]' "$(field 'd["deviceIds"]')"

# Version tags in any case.
"$slotdrive" find --reg "$fixtures/xp_machine.reg" --os wInXp "$cf" >"$work/out.json"
check "--os in any case" '["WinNT","WinXP"]' "$(field '[d["osFamily"], d["osVersion"]]')"

# assign writes the whole image where --out asks; the lookup finds the new letter in it. On
# standard error: what was deleted and written. A lower-case letter is the same letter.
"$slotdrive" assign --reg "$fixtures/xp_machine.reg" --os winxp --letter p --filter NR-4U "$cf" \
  --out "$work/assigned.reg" >"$work/stdout" 2>"$work/stderr"
check "assign exit" 0 $?
"$slotdrive" find --reg "$work/assigned.reg" --os WinXP "$cf" >"$work/out.json"
check "assigned letter found" '"P"' "$(field 'd["foundDrive"]')"
mounts='[HKEY_LOCAL_MACHINE\SYSTEM\MountedDevices]'
check "assign says what it deleted and wrote" "0 1 1" \
  "$(wc -c <"$work/stdout") $(grep -c -F "slotdrive assign: removed $mounts \"\\DosDevices\\E:\" = binary \"\\??\\STORAGE#RemovableMedia#7&2f4c18a0&0&RM#" "$work/stderr") $(grep -c -F "slotdrive assign: added $mounts \"\\DosDevices\\P:\" = binary" "$work/stderr")"
"$slotdrive" assign --reg "$fixtures/win98_machine.reg" --os Win98 --letter Q 'SCSI\NORVELL_CF' \
  --out - >"$work/stdout.reg" 2>/dev/null
check "assign to standard output" 1 "$(grep -c '^"UserDriveLetterAssignment"="QQ"' "$work/stdout.reg")"
"$slotdrive" assign --reg "$fixtures/win98_machine.reg" --os Win98 --letter Q 'SCSI\NORVELL_CF' \
  >"$work/stdout" 2>"$work/stderr"
check "assign without --out" "0 0" "$? $(wc -c <"$work/stdout")"
"$slotdrive" assign --reg "$fixtures/xp_machine.reg" --os WinXP --letter P 'USBSTOR\NoSuchSlot' \
  --out "$work/unchanged.reg" >"$work/stdout" 2>"$work/stderr"
check "assign matching nothing: exit" 1 $?
check "assign matching nothing: says so" 1 \
  "$(grep -c -F "slotdrive assign: nothing written: no disk matched USBSTOR\NoSuchSlot" "$work/stderr")"

# diff: what assign changed, as text; the same files compare equal.
"$slotdrive" diff "$fixtures/xp_machine.reg" "$work/assigned.reg" >"$work/diff" 2>"$work/stderr"
check "diff exit" 1 $?
check "diff lines" "2 1 1" "$(wc -l <"$work/diff") $(grep -c "^removed \[" "$work/diff") $(grep -c "^added \[" "$work/diff")"
"$slotdrive" diff "$fixtures/xp_machine.reg" "$work/unchanged.reg" >"$work/diff"
check "diff of equal images" "0 0" "$? $(wc -c <"$work/diff")"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Norvell]\r\n"Label"="\x83J\x81[\x83h"\r\n"Count"=dword:00000002\r\n\r\n[HKEY_CURRENT_USER\\Software\\Norvell\\Empty]\r\n@=""\r\n' \
  >"$work/old.reg"
printf 'REGEDIT4\r\n\r\n[hkey_current_user\\software\\norvell]\r\n"label"="\x83J\x81[\x83h"\r\n"COUNT"=dword:00000003\r\n"New"="abc"\r\n' \
  >"$work/new.reg"
"$slotdrive" diff "$work/old.reg" "$work/new.reg" >"$work/diff"
check "diff matches names in any case" "1" "$?"
check "diff lines in order" \
  'changed [HKEY_CURRENT_USER\Software\Norvell] "Count": dword 00000002 (2) -> dword 00000003 (3)|added [HKEY_CURRENT_USER\Software\Norvell] "New" = "abc"|removed key [HKEY_CURRENT_USER\Software\Norvell\Empty]|removed [HKEY_CURRENT_USER\Software\Norvell\Empty] @ = ""' \
  "$(paste -sd'|' "$work/diff")"
"$slotdrive" diff --values-only "$work/old.reg" "$work/new.reg" >"$work/diff"
check "diff --values-only" "2" "$(wc -l <"$work/diff")"
"$slotdrive" diff --key 'HKCU\Software\Norvell\Empty' "$work/old.reg" "$work/new.reg" >"$work/diff"
check "diff --key" "2" "$(wc -l <"$work/diff")"
"$slotdrive" diff "$work/new.reg" "$work/old.reg" | grep '"New"' >"$work/diff"
check "diff shows text as text" 'removed [HKEY_CURRENT_USER\software\norvell] "New" = "abc"' "$(cat "$work/diff")"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Norvell]\r\n"Label"="\x83J\x81[\x83h"\r\n' >"$work/a.reg"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Norvell]\r\n"Label"="ABC"\r\n' >"$work/b.reg"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Norvell]\r\n"Label"="abc"\r\n' >"$work/c.reg"
"$slotdrive" diff "$work/a.reg" "$work/b.reg" >"$work/diff"
check "diff shows cp932 text as UTF-8" 'changed [HKEY_CURRENT_USER\Software\Norvell] "Label": "カード" -> "ABC"' "$(cat "$work/diff")"
"$slotdrive" diff --any-case norvell "$work/b.reg" "$work/c.reg" >"$work/diff"
check "diff --any-case" "0 0" "$? $(wc -c <"$work/diff")"

# export names the keys it did not find; it fails only when it found none.
"$slotdrive" export --reg "$fixtures/xp_machine.reg" 'HKLM\SYSTEM\MountedDevices' 'HKLM\Nope' \
  >"$work/stdout" 2>"$work/stderr"
check "export with a missing key" "0 1 1" \
  "$? $(grep -c -F 'slotdrive export: no key HKLM\Nope' "$work/stderr") $(grep -c -F "$mounts" "$work/stdout")"
"$slotdrive" export --reg "$fixtures/xp_machine.reg" 'HKLM\Nope' >"$work/stdout" 2>"$work/stderr"
check "export of no key" "1 1" "$? $(grep -c -F 'no key HKLM\Nope' "$work/stderr")"

# Every command answers --help and -h on standard output: what it does, its options, an
# example and its exit codes.
"$slotdrive" --help >"$work/help" 2>&1
check "--help" "0 1" "$? $(grep -c '^exit codes:' "$work/help")"
for command in $(sed -n 's/^  \([a-z][a-z]*\)  .*/\1/p' "$work/help"); do
  for flag in --help -h; do
    "$slotdrive" "$command" --reg x.reg "$flag" >"$work/out" 2>"$work/err"
    check "$command $flag" "0 0 1 1 1 1" "$? $(wc -c <"$work/err") \
$(grep -c "^usage: slotdrive $command" "$work/out") $(grep -c '^options:' "$work/out") \
$(grep -c '^example' "$work/out") $(grep -c '^exit codes:' "$work/out")"
  done
done
check "commands listed" 7 "$(sed -n 's/^  \([a-z][a-z]*\)  .*/\1/p' "$work/help" | wc -l)"

# Refusals: exit 2, a reason on standard error, nothing on standard output or in --out.
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Bad]\n"x"=hex:zz\n' >"$work/bad.reg"
refused() {  # refused WHAT EXPECTED_REASON ARGS...
  local what=$1 reason=$2
  shift 2
  rm -f "$work/never.reg"
  "$slotdrive" "$@" >"$work/stdout" 2>"$work/stderr"
  local rc=$?
  check "$what exit" 2 "$rc"
  check "$what reason" 1 "$(grep -c -F -- "$reason" "$work/stderr")"
  check "$what writes nothing" "0 absent" \
    "$(wc -c <"$work/stdout") $([ -e "$work/never.reg" ] && echo present || echo absent)"
}
refused "malformed .reg" "$work/bad.reg:4: " \
  assign --reg "$fixtures/xp_machine.reg" --reg "$work/bad.reg" --os WinXP --letter P "$cf" \
  --out "$work/never.reg"
refused "missing .reg" "nothere.reg: " find --reg nothere.reg --os WinXP "$cf"
refused "unknown option" "--bogus" find --reg "$fixtures/xp_machine.reg" --os WinXP --bogus "$cf"
refused "unknown os" "--os 'Win7': expected Win95, Win98, Win98SE, WinMe, WinNT4, Win2k, WinXP, WinVista (in any case)" find --reg "$fixtures/xp_machine.reg" --os Win7 "$cf"
refused "missing os" "no --os" find --reg "$fixtures/xp_machine.reg" "$cf"
refused "two-letter letter" "--letter 'PQ': a drive letter is one of A to Z" \
  assign --reg "$fixtures/xp_machine.reg" --os WinXP --letter PQ "$cf" --out "$work/never.reg"
refused "digit for a letter" "--letter '1': a drive letter is one of A to Z" \
  assign --reg "$fixtures/xp_machine.reg" --os WinXP --letter 1 "$cf" --out "$work/never.reg"
refused "empty --out" "--out needs a file name" \
  assign --reg "$fixtures/xp_machine.reg" --os WinXP --letter P "$cf" --out ''
refused "diff of one file" "give two files" diff "$fixtures/xp_machine.reg"
refused "diff of a missing file" "nothere.reg: " diff "$fixtures/xp_machine.reg" nothere.reg
refused "diff scope with a bad root" "--key 'HKXX\A': unknown root key" \
  diff --key 'HKXX\A' "$fixtures/xp_machine.reg" "$fixtures/xp_machine.reg"
refused "export of a bad root" "'HKXX\A': unknown root key" \
  export --reg "$fixtures/xp_machine.reg" 'HKXX\A'
refused "unknown model, shown as text" "--model: no model named 'カード'" \
  loscan --reg "$fixtures/xp_machine.reg" --os WinXP --model 'カード'
refused "help for an unknown command" "unknown command 'frob'" help frob
refused "no slot id" "no SLOTID" find --reg "$fixtures/xp_machine.reg" --os WinXP
refused "unknown command" "unknown command" frobnicate

e2e_finish
