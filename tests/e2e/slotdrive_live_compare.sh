#!/usr/bin/env bash
# Runs the drive lookups and the drive-letter writer on Wine's real registry and compares
# them with the offline prediction made from the same .reg fixture.
#
# usage: slotdrive_live_compare.sh SLOTDRIVE_EXE [OFFLINE_SLOTDRIVE]
#   SLOTDRIVE_EXE      the Windows build of slotdrive (runs under Wine with --live)
#   OFFLINE_SLOTDRIVE  the native build that predicts from .reg files; when it is missing the
#                      Windows build makes the prediction too, offline, under Wine.
#
# Per machine: a fresh prefix set to the machine's Windows version; the fixture is written
# into its registry with "slotdrive load" (reg.exe refuses HKEY_DYN_DATA); then find --live
# (the version read from the running system) and assign --live, each against the
# prediction over Wine's own keys plus the fixture. Wine enumerates values and subkeys sorted
# by name, Windows in stored order, so the prediction is made in Wine's order (--wine-order).
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
fixtures=$root/tests/fixtures
exe=${1:?usage: slotdrive_live_compare.sh SLOTDRIVE_EXE [OFFLINE_SLOTDRIVE]}
native=${2:-}
. "$here/e2e.sh"
. "$root/scripts/wine-env.sh"
e2e_work slotdrive_compare
e2e_on_exit wine_prefix_stop

live() { LC_ALL=ja_JP.UTF-8 wine "$exe" "$@"; }
if [ -n "$native" ] && [ -x "$native" ]; then
  offline() { "$native" "$@"; }
else
  echo "note: no native slotdrive given; predicting with the Windows build under Wine"
  offline() { live "$@"; }
fi

# compare NAME EXPECTED_FILE ACTUAL_FILE
compare() {
  if diff -u --label "predicted $1" --label "wine $1" "$2" "$3"; then
    pass
    echo "ok   $1"
  else
    fail "$1"
  fi
}

# The keys the lookups read and the writers change; Wine's own contents of them are part
# of the prediction.
keys=('HKLM\SYSTEM\MountedDevices' 'HKLM\SYSTEM\CurrentControlSet\Services\Disk\Enum'
      'HKLM\SYSTEM\CurrentControlSet\Enum\USBSTOR' 'HKEY_DYN_DATA\Config Manager\Enum'
      'HKLM\Enum')

# machine NAME WINE_VERSION OS_TAG FIXTURE[+FIXTURE...] LETTER FILTER SLOTID... -- FIND_SLOTID...
# The slot ids before "--" get the new letter; all of them are looked up, with and
# without the filter, before and after.
machine() {
  local name=$1 version=$2 tag=$3 letter=$5 filter=$6
  local fixture=() file
  for file in ${4//+/ }; do fixture+=(--reg "$fixtures/$file"); done
  shift 6
  local assign=() find=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do assign+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  find=("${assign[@]}" "$@")
  local dir=$work/$name
  mkdir -p "$dir"
  echo "== $name ($version, $tag)"

  wine_prefix_start
  # HKEY_DYN_DATA is volatile: it lives only as long as the wineserver, which would otherwise
  # exit a few seconds after each program.
  wineserver -p
  wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
  live export --live "${keys[@]}" >"$dir/wine_own.reg" || { fail "$name: export"; return; }
  if ! live load "${fixture[@]}"; then
    fail "$name: load"
    wine_prefix_stop
    return
  fi
  local image=(--reg "$dir/wine_own.reg" "${fixture[@]}")

  offline find "${image[@]}" --os "$tag" --wine-order "${find[@]}" >"$dir/find.expected"
  live find --live "${find[@]}" >"$dir/find.actual"
  compare "$name find" "$dir/find.expected" "$dir/find.actual"
  offline find "${image[@]}" --os "$tag" --wine-order --filter "$filter" "${find[@]}" \
    >"$dir/named.expected"
  live find --live --filter "$filter" "${find[@]}" >"$dir/named.actual"
  compare "$name find --filter" "$dir/named.expected" "$dir/named.actual"

  offline assign "${image[@]}" --os "$tag" --wine-order --letter "$letter" --filter "$filter" \
    "${assign[@]}" --out "$dir/assigned.reg"
  live assign --live --letter "$letter" --filter "$filter" "${assign[@]}"
  offline export --reg "$dir/assigned.reg" --wine-order "${keys[@]}" >"$dir/assign.expected"
  live export --live "${keys[@]}" >"$dir/assign.actual"
  compare "$name assign" "$dir/assign.expected" "$dir/assign.actual"

  offline find --reg "$dir/assigned.reg" --os "$tag" --wine-order --filter "$filter" \
    "${find[@]}" >"$dir/after.expected"
  live find --live --filter "$filter" "${find[@]}" >"$dir/after.actual"
  compare "$name find after assign" "$dir/after.expected" "$dir/after.actual"
  wine_prefix_stop
}

# Names and data too long for the lookups' buffers sit before a record that must be reached.
machine xp winxp WinXP xp_machine.reg+xp_oversized_mount_records.reg P NR-4U \
  'USBSTOR\Disk&Ven_Norvell&Prod_CF_Slot' 'USBSTOR\Disk&Ven_Norvell**&2' -- \
  'USBSTOR\Disk&Ven_Norvell&Prod_MS_Slot' 'USBSTOR\Disk&Ven_Norvell**' \
  'USBSTOR\Disk&Ven_Norvell&Prod_SD_MMC_Slot'
machine xp-twins win2k Win2k xp_twin_readers.reg Q NR-4U \
  'USBSTOR\Disk&Ven_Norvell&Prod_CF_Slot' -- 'USBSTOR\Disk&Ven_Norvell&Prod_SD_MMC_Slot'
# The memory-stick slot's only record holds characters that code page 932 lacks.
machine vista vista WinVista vista_twin_readers.reg+vista_best_fit_record.reg R '' \
  'USBSTOR\Disk&Ven_Norvell&Prod_CF_Slot' 'USBSTOR\Disk&Ven_Norvell&Prod_MS_Slot' -- \
  'USBSTOR\Disk&Ven_Norvell&Prod_SD_MMC_Slot'
machine win98 win98 Win98SE win98_machine.reg S 'SLOT' 'SCSI\NORVELL_CF_SLOT' -- \
  'scsi\norvell**sd-mmc' 'NORVELL_CF_SLOT' 'SCSI\NORVELL_MS_SLOT'

e2e_finish
