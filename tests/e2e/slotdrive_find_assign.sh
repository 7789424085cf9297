#!/usr/bin/env bash
# slotdrive find and assign from the command line: the report, the written image, the
# conversions of text arguments and the refusals (exit 2, a reason, nothing written).
# usage: slotdrive_find_assign.sh SLOTDRIVE
set -u
slotdrive=${1:?usage: slotdrive_find_assign.sh SLOTDRIVE}
fixtures=$(cd "$(dirname "$0")/../fixtures" && pwd)
work=$(mktemp -d /tmp/slotdrive_cli.XXXXXX)
trap 'rm -rf "$work"' EXIT
cf='USBSTOR\Disk&Ven_Norvell&Prod_CF_Slot'
sd='USBSTOR\Disk&Ven_Norvell&Prod_SD_MMC_Slot'
failed=0
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected '$2', got '$3'"; failed=1; fi
}
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

# assign writes the whole image; the lookup finds the new letter in it.
"$slotdrive" assign --reg "$fixtures/xp_machine.reg" --os WinXP --letter P --filter NR-4U "$cf" \
  --out "$work/assigned.reg"
check "assign exit" 0 $?
"$slotdrive" find --reg "$work/assigned.reg" --os WinXP "$cf" >"$work/out.json"
check "assigned letter found" '"P"' "$(field 'd["foundDrive"]')"
"$slotdrive" assign --reg "$fixtures/win98_machine.reg" --os Win98 --letter Q 'SCSI\NORVELL_CF' \
  >"$work/stdout.reg"
check "assign to standard output" 1 "$(grep -c '^"UserDriveLetterAssignment"="QQ"' "$work/stdout.reg")"

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
refused "unknown os" "--os 'Win7'" find --reg "$fixtures/xp_machine.reg" --os Win7 "$cf"
refused "missing os" "no --os" find --reg "$fixtures/xp_machine.reg" "$cf"
refused "two-letter letter" "one character" \
  assign --reg "$fixtures/xp_machine.reg" --os WinXP --letter PQ "$cf" --out "$work/never.reg"
refused "no slot id" "no SLOTID" find --reg "$fixtures/xp_machine.reg" --os WinXP
refused "unknown command" "unknown command" frobnicate

exit $failed
