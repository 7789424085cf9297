#!/usr/bin/env bash
# Who holds a drive, under Wine: an XP machine whose reader's CF slot is the removable drive F:,
# plugged through the mount manager. Helper processes hold a file and a folder on F:; a third
# holds 10,000 handles elsewhere (8,500 events and 1,500 files, about the share of files on a
# running system) and a pipe that a thread waits on.
#   - slotdrive holders names the first two, each once, and not the third; its time (the aim is
#     200 ms) is printed, and only a gross miss, ten times that, fails;
#   - slotdrive eject names them under its failure text (Wine refuses the dismount);
#   - Tavrik.exe's box for the slot's eject shows the same (screenshots/tavrik_eject_holders.png);
#   - once they have closed their handles the list is empty and the failure text is the
#     engine's alone.
# The time over 10,000 file handles, the worst case, is printed for the record.
# usage: slotdrive_holders.sh slotdrive.exe machine_driver.exe holder_helper.exe Tavrik.exe
#                             tray_driver.exe
set -u -o pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_machine.sh"
e2e_display "$@"
slotdrive=$1 machine_driver=$2 helper=$3 tavrik=$4 driver=$5
root=$(cd "$here/../.." && pwd)
shots=${SLOT_SCREENSHOT_DIR:-$root/screenshots}
mkdir -p "$shots"
wine_work slotdrive-holders
e2e_log=$work/helpers.log
helpers=()
stop_helpers() {
  for name in file folder busy files; do touch "$work/$name/close" "$work/$name/stop" 2>/dev/null; done
  # A helper gets five seconds to see its stop file; one stuck in Wine is ended, so that it
  # never holds the test up.
  for pid in "${helpers[@]}"; do
    wait_until 5 not kill -0 "$pid" 2>/dev/null || kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
}
e2e_on_exit stop_helpers

cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

wine_machine_start winxp
mkdir -p "$work/card/DCIM"
echo photo >"$work/card/DCIM/0001.JPG"
wine_run "$machine_driver" plug F "$work/card" removable || fail "F: not plugged"
# After the mount manager's own record for F:, so that the fixture's record names the reader.
wine_machine_load "$root/resources/definitions/tavrik_definitions.reg" \
  "$root/tests/fixtures/xp_tavrik_readers.reg" || fail "fixture not loaded"

# start_helper NAME ARGS...: a helper whose signal files live in $work/NAME; its Windows pid
# in $pid_NAME once everything is open.
start_helper() {
  local name=$1
  shift
  mkdir -p "$work/$name"
  wine "$helper" "$(winepath -w "$work/$name")" "$@" >/dev/null 2>>"$work/helpers.log" &
  helpers+=($!)
}
wait_signal() {  # wait_signal NAME SIGNAL
  wait_until 30 test -f "$work/$1/$2" && return 0
  fail "$1: no $2 signal"
  return 1
}
start_helper file --file 'F:\DCIM\0001.JPG'
start_helper folder --folder 'F:\DCIM'
start_helper busy --events 8500 --many 'C:\windows\win.ini' 1500 --pipe
for name in file folder busy; do
  wait_signal "$name" ready && eval "pid_$name=$(cat "$work/$name/ready")"
done

# holders_time: runs "slotdrive holders --time F" into $work/out, its time in $ms.
holders_time() {
  timeout 60 wine "$slotdrive" holders --time F >"$work/out" 2>"$work/err"
  rc=$?
  tr -d '\r' <"$work/err" | grep '^holders:'
  ms=$(tr -d '\r' <"$work/err" | sed -n 's/^holders: \([0-9.]*\) ms.*/\1/p')
}

# The two helpers on F:, each once, and not the busy one. The best of five times counts, since
# the machine is shared.
best=
for _ in 1 2 3 4 5; do
  holders_time
  [ -n "$ms" ] && { [ -z "$best" ] || awk "BEGIN{exit !($ms < $best)}"; } && best=$ms
done
check "holders: exit code" 0 "$rc"
tr -d '\r' <"$work/out" >"$work/holders"
grep -qx "holder_helper.exe (PID ${pid_file:-?})" "$work/holders" && pass ||
  fail "holders: the file's helper not named"
grep -qx "holder_helper.exe (PID ${pid_folder:-?})" "$work/holders" && pass ||
  fail "holders: the folder's helper not named"
grep -q "(PID ${pid_busy:-?})" "$work/holders" && fail "holders: the busy helper named" || pass
[ "$(wc -l <"$work/holders")" = 2 ] && pass || fail "holders: $(cat "$work/holders")"
# A loaded machine may be slow; speed is the benchmarks' to hold, so only a gross miss fails.
echo "holders: best of five ${best:-?} ms (aim: under 200)"
[ -n "$best" ] && awk "BEGIN{exit !($best < 2000)}" && pass || fail "holders: ${best:-no} ms, ten times the aim"

# eject: Wine 8 refuses the volume dismount (error 50), which the engine reports as a volume it
# cannot take; the programs holding it follow the engine's text.
dismount=" F: ドライブをディスマウントできません."$'\n'
wine "$slotdrive" eject F >"$work/eject" 2>/dev/null
rc=$?
if [ "$rc" = 1 ]; then
  { cp932 "$dismount"; cp932 "使用中のプログラム:"$'\n'; cat "$work/holders"; } >"$work/want"
  cmp -s "$work/want" "$work/eject" && pass ||
    fail "eject: text was '$(iconv -f CP932 -t UTF-8 "$work/eject")'"
else
  echo "eject: Wine ejected F: (exit $rc); no failure text to look at"
fi

# Tavrik: the CF slot's item (1038) on the same drive; its box names the same programs.
wine "$tavrik" >/dev/null 2>&1 &
wait_until 20 wine_run "$driver" window >/dev/null
# The driver that posts the eject waits for its box itself: no process may start in the
# prefix while Tavrik reads the handle list (see tray_driver.cpp).
wine_run "$driver" command 1038 Tavrik 30 || fail "Tavrik: no box after the eject"
wine_run "$driver" texts Tavrik >"$work/box"
if grep -q "ディスマウント" "$work/box"; then
  grep -q "^使用中のプログラム:$" "$work/box" && pass || fail "Tavrik: the box names no programs"
  grep -qx "holder_helper.exe (PID ${pid_file:-?})" "$work/box" && pass ||
    fail "Tavrik: the file's helper not named"
  grep -qx "holder_helper.exe (PID ${pid_folder:-?})" "$work/box" && pass ||
    fail "Tavrik: the folder's helper not named"
  screen_picture "$shots/tavrik_eject_holders.png" && echo "screenshot: $shots/tavrik_eject_holders.png"
else
  fail "Tavrik: no eject failure box ($(wine_run "$driver" dialogs Tavrik) open): $(cat "$work/box")"
fi
wine_run "$driver" ok Tavrik
wine_run "$driver" command 1036

# The worst case for the record: 10,000 file handles, every one of which must be named.
touch "$work/busy/close" "$work/busy/stop"
start_helper files --many 'C:\windows\win.ini' 10000
wait_signal files ready
holders_time
echo "holders: ${ms:-?} ms with 10,000 file handles off the drive"

# The helpers let go: nothing holds F: any more, and a failed eject says only what it says today.
for name in file folder; do touch "$work/$name/close"; wait_signal "$name" closed; done
wine "$slotdrive" holders F >"$work/holders" 2>/dev/null
rc=$?
check "holders after closing: exit code" 0 "$rc"
[ ! -s "$work/holders" ] && pass || fail "holders after closing: $(cat "$work/holders")"
wine "$slotdrive" eject F >"$work/eject" 2>/dev/null
if [ "$?" = 1 ]; then
  cmp -s "$work/eject" <(cp932 "$dismount") && pass ||
    fail "eject after closing: text was '$(iconv -f CP932 -t UTF-8 "$work/eject")'"
fi

e2e_finish "slotdrive holders"
