#!/usr/bin/env bash
# Loscan.exe under Wine and Xvfb, on an XP machine with an NVR-550S reader plugged in
# (tests/fixtures/loscan_xp_reader.reg: CF at F, SD at G, SM/xD at I, K kept for a share):
#   - at start the dialog shows model NVR-550S with five slot rows and the slots' letters;
#     a screenshot is saved (screenshots/loscan_start.png, or $SLOT_SCREENSHOT_DIR);
#   - the system menu's about item opens the about box, whose icon opens the staff roll;
#   - the same letter for two slots shows the duplicate message and writes nothing;
#   - a change of model shows that model's rows; back to NVR-550S, M and N for CF and SD and
#     Set show the replug message, disable the rows and both buttons, and leave in the
#     registry exactly the mount records "slotdrive loscan --set" predicts for the fixture;
#   - with the device list dropped down (a window outside the dialog), a drive plugged in
#     is noticed at the list's next message: Refresh is enabled again;
#   - Esc ends the program.
# usage: loscan_dialog.sh Loscan.exe loscan_driver.exe slotdrive.exe machine_driver.exe
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_machine.sh"
e2e_display "$@"
loscan=$1 driver=$2 slotdrive=$3 machine_driver=$4
root=$(cd "$here/../.." && pwd)
fixture=$root/tests/fixtures/loscan_xp_reader.reg
shots=${SLOT_SCREENSHOT_DIR:-$root/screenshots}
mkdir -p "$shots"
wine_work loscan-e2e

run() { wine_run "$@"; }
expect_line() {  # expect_line FILE LINE CASE
  grep -qxF -- "$2" "$1" && pass || fail "$3: no line '$2' in: $(tr '\n' ';' <"$1")"
}
mount_records() {  # the \DosDevices\ values of the drives the fixture and Loscan write
  run reg query 'HKLM\System\MountedDevices' | grep -E '^ +\\DosDevices\\[^CZ]:' | sort
}

# Loscan and the driver both run on an 800 x 600 desktop, which draws window frames.
wine_machine_start winxp 800x600
wine_machine_load "$fixture" || fail "fixture not loaded"
mount_records >"$work/before"
[ "$(wc -l <"$work/before")" = 3 ] && pass || fail "fixture records: $(cat "$work/before")"

wine "$loscan" >/dev/null 2>&1 &
loscan_pid=$!
run "$driver" wait || { fail "Loscan's dialog did not appear"; e2e_finish; }
# The desktop's part of the screen.
shot() { screen_picture "$shots/$1.png" 800x600+0+0 || fail "no screenshot $1"; }
shot loscan_start
echo "screenshot: $shots/loscan_start.png"

run "$driver" state >"$work/state"
expect_line "$work/state" "model=NVR-550S" start
expect_line "$work/state" "row1=visible|F|F|enabled|コンパクトフラッシュ /マイクロドライブ" start
expect_line "$work/state" "row2=visible|G|G|enabled|ＳＤメモリーカード /マルチメディアカード" start
expect_line "$work/state" "row3=visible|NoDrive||disabled|メモリースティック /メモリースティック ＰＲＯ" start
expect_line "$work/state" "row4=visible|I|I|enabled|スマートメディア /ｘＤ-ピクチャーカード" start
expect_line "$work/state" "row5=visible|NoDrive||disabled|micro ＳＤメモリーカード" start
expect_line "$work/state" "row6=hidden|NoDrive||disabled|" start
expect_line "$work/state" "set=enabled" start

# The about box from the system menu, and the staff roll behind its icon.
run "$driver" about >"$work/about" || fail "about box: $(cat "$work/about")"
expect_line "$work/about" "about=Static:Loscan バージョン 1.0.0" about
expect_line "$work/about" "about=Static:著作権 (C) 2026 Norvell" about
expect_line "$work/about" "about=Button:OK" about
grep -q '^staff=Static:' "$work/about" && pass || fail "about: no staff roll text"

# The same letter twice: the message, and nothing written.
run "$driver" choose M,M || fail "duplicate: letters not offered"
run "$driver" set >"$work/duplicate"
expect_line "$work/duplicate" "message=MドライブとMドライブが重複しています。" duplicate
mount_records >"$work/after-duplicate"
cmp -s "$work/before" "$work/after-duplicate" && pass || fail "duplicate: the registry changed"
run "$driver" state >"$work/state"
expect_line "$work/state" "set=enabled" duplicate

# Another model, then back.
run "$driver" model NVR-113S || fail "model NVR-113S not listed"
run "$driver" state >"$work/state"
expect_line "$work/state" "model=NVR-113S" "model change"
expect_line "$work/state" "row1=visible|NoDrive||disabled|ｘＤ-ピクチャーカード" "model change"
expect_line "$work/state" "row2=hidden|NoDrive||disabled|" "model change"
expect_line "$work/state" "set=disabled" "model change"
run "$driver" model NVR-550S || fail "model NVR-550S not listed"

# M for CF, N for SD, and Set.
run "$driver" choose M,N || fail "set: letters not offered"
run "$driver" set >"$work/set"
expect_line "$work/set" "message=ドライブを設定しました。必ずデバイスを抜き差ししてください。" set
shot loscan_after_set
run "$driver" state >"$work/state"
expect_line "$work/state" "row1=visible|F|M|disabled|コンパクトフラッシュ /マイクロドライブ" set
expect_line "$work/state" "set=disabled" set
expect_line "$work/state" "refresh=disabled" set
mount_records >"$work/after"

# What the dialog logic predicts for the same fixture and the same choice.
run "$slotdrive" loscan --reg "$(winepath -w "$fixture")" --os WinXP --wine-order \
  --choose M,N --set --out "$(winepath -w "$work/predicted.reg")" >"$work/predicted.json" ||
  fail "no prediction"
PYTHONPATH=$root/scripts python3 - "$work/after" "$work/predicted.reg" <<'EOF' && pass || fail "registry differs from the prediction"
import re, sys
from reg_file import decode_reg, read_keys
def from_query(path):
    records = {}
    for line in open(path, encoding="utf-8"):
        m = re.match(r"\s+\\DosDevices\\(\w):\s+REG_BINARY\s+([0-9A-Fa-f]*)", line)
        if m:
            records[m.group(1)] = bytes.fromhex(m.group(2))
    return records
def from_reg(path):
    records = {}
    for key in read_keys(decode_reg(open(path, "rb").read())):
        for value in key.values if key.path == "HKEY_LOCAL_MACHINE\\SYSTEM\\MountedDevices" else []:
            m = re.fullmatch(r"\\DosDevices\\(\w):", value.name)
            if m and value.kind == "hex" and value.hex_type == 3:
                records[m.group(1)] = value.data
    return records
seen, predicted = from_query(sys.argv[1]), from_reg(sys.argv[2])
for letter in sorted(set(seen) | set(predicted)):
    a, b = seen.get(letter), predicted.get(letter)
    text = lambda d: d.decode("utf-16-le") if d else None
    status = "same" if a == b else "DIFFERENT"
    print(f"  {letter}: {status}: registry {text(a)} / predicted {text(b)}")
sys.exit(0 if seen == predicted and set(seen) == {"I", "M", "N"} else 1)
EOF

# A drive comes while the device list is dropped down: the list's own messages are the
# dialog's too, so the first one refreshes and enables Refresh.
run "$driver" dropdown || fail "dropdown: no list"
mkdir -p "$work/card_q"
run "$machine_driver" plug Q "$work/card_q" || fail "dropdown: Q not plugged"
sleep 1  # nothing to wait for: the dialog must not refresh before the list's message
run "$driver" state >"$work/state"
expect_line "$work/state" "refresh=disabled" "dropdown, before the list's message"
run "$driver" list-message || fail "dropdown: no message to the list"
run "$driver" state >"$work/state"
expect_line "$work/state" "refresh=enabled" "dropdown, after the list's message"
run "$driver" closeup || fail "closeup: the list stays"

# Esc ends the program through the invisible cancel button.
run "$driver" escape || fail "escape: no dialog"
wait_until 10 not kill -0 "$loscan_pid" 2>/dev/null && pass || fail "escape: Loscan still runs"

e2e_finish "Loscan under Wine"
