#!/usr/bin/env bash
# slotdrive.exe eject under Wine: which volume calls each engine makes on real drives.
#   - C: is a fixed disk in Wine: the drive-type text, exit 1, and no CreateFileA at all
#     (seen both in the engine's own trace and in Wine's file channel);
#   - a character that is no drive letter is refused the same way;
#   - a floppy and a CD-ROM drive are opened (read-write, read-only) and the handle closed;
#   - with Wine reporting Windows 98 the VWIN32 engine opens "\\.\vwin32" and closes it.
# usage: slotdrive_eject.sh PATH/TO/slotdrive.exe
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/e2e.sh"
. "$here/../../scripts/wine-env.sh"
e2e_work slotdrive-eject
e2e_on_exit wine_prefix_stop
wine_prefix_start

# The engine's texts are cp932 at run time; the expectations are written in UTF-8 here.
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# Runs "slotdrive.exe eject --trace ARG"; stdout in $work/out, the trace in $work/trace.
eject() {
  LC_ALL=ja_JP.UTF-8 wine "$exe" eject --trace "$1" >"$work/out" 2>"$work/all"
  rc=$?
  # Standard error is in text mode: its lines end in CR LF.
  tr -d '\r' <"$work/all" | grep -E '^(CreateFileA|DeviceIoControl|CloseHandle) ' >"$work/trace"
  return 0
}
expect_text() {  # expect_text CASE UTF8-TEXT
  cp932 "$2" >"$work/want"
  cmp -s "$work/want" "$work/out" && pass ||
    fail "$1: text was '$(iconv -f CP932 -t UTF-8 "$work/out")'"
}
expect_trace() {  # expect_trace CASE EXTENDED-REGEX
  grep -Eq "$2" "$work/trace" && pass || fail "$1: no trace line matching $2"
}

wrong_type=$'イジェクトすることができません。ドライブタイプは正しくありません。\n'

# A fixed disk: refused before any device is opened.
eject C
check "C: exit code" 1 "$rc"
expect_text "C:" "$wrong_type"
[ ! -s "$work/trace" ] && pass || fail "C: volume calls made: $(cat "$work/trace")"
WINEDEBUG=+file wine "$exe" eject C >/dev/null 2>"$work/file-channel"
grep -F 'CreateFileW L"\\\\.\\C:"' "$work/file-channel" >/dev/null &&
  fail "C: Wine saw CreateFile on \\\\.\\C:" || pass
grep -q 'trace:file:CreateFileW' "$work/file-channel" && pass || fail "Wine's file channel gave no trace"

# Not a drive letter: refused (exit 2, the reason on standard error), nothing opened.
eject 1
check "1: exit code" 2 "$rc"
[ ! -s "$work/out" ] && pass || fail "1: text on standard output: $(cat "$work/out")"
grep -qF "slotdrive eject: LETTER '1': a drive letter is one of A to Z" "$work/all" && pass ||
  fail "1: no reason given: $(cat "$work/all")"
[ ! -s "$work/trace" ] && pass || fail "1: volume calls made"

# A floppy drive R: and a CD-ROM drive S: on a folder. Wine's mount manager reads the drive
# types when the server starts, so the server is let go before the runs.
mkdir -p "$work/media"
ln -sfn "$work/media" "$WINEPREFIX/dosdevices/r:"
ln -sfn "$work/media" "$WINEPREFIX/dosdevices/s:"
wine reg add 'HKLM\Software\Wine\Drives' /v r: /d floppy /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Wine\Drives' /v s: /d cdrom /f >/dev/null 2>&1
wineserver -w

for drive in R S; do
  eject $drive
  if [ $drive = R ]; then access=0xC0000000; else access=0x80000000; fi
  expect_trace "$drive:" "^CreateFileA \"\\\\\\\\\\.\\\\$drive:\" access=$access share=3 creation=3 flags=0x00000000 -> handle$"
  expect_trace "$drive:" '^DeviceIoControl code=0x00090018 '
  check "$drive: handle closed last" "CloseHandle -> TRUE" "$(tail -n 1 "$work/trace")"
  # Wine 8 has no volume dismount (error 50); on Windows the eject goes through.
  case "$rc" in
    0) grep -q "$(cp932 "ドライブ $drive のメディア")" "$work/out" && pass || fail "$drive: success text" ;;
    1) expect_text "$drive:" " $drive: ドライブをディスマウントできません."$'\n' ;;
    *) fail "$drive: exit code $rc" ;;
  esac
done

# Windows 98: the VWIN32 engine. Wine answers the open-files enumeration as if a file were
# open, so the run ends with the in-use text after unlocking; every request goes to the one
# handle, which is closed last.
wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
wineserver -w
eject R
expect_trace "9x" '^CreateFileA "\\\\\.\\vwin32" access=0x00000000 share=3 creation=0 flags=0x04000000 -> handle$'
expect_trace "9x" '^DeviceIoControl code=0x00000001 in=28 out=28 EAX=0x440D ECX=0x486D EBX=0x0312 '
check "9x: handle closed last" "CloseHandle -> TRUE" "$(tail -n 1 "$work/trace")"
check "9x: opens" 1 "$(grep -c '^CreateFileA' "$work/trace")"
case "$rc" in
  0) expect_text "9x" $'\'リムーバブルディスク(R:)\'のメディアをイジェクトしました。\n' ;;
  1) { [ -s "$work/out" ] || [ "$(grep -c 'ECX=0x0848' "$work/trace")" -gt 0 ]; } && pass ||
       fail "9x: failed without text before releasing the media locks" ;;
  *) fail "9x: exit code $rc" ;;
esac

[ "$failed" -ne 0 ] && cat "$work/all" "$work/out"
e2e_finish "slotdrive eject"
