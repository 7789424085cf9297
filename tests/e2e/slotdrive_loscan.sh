#!/usr/bin/env bash
# slotdrive loscan: Loscan's dialog run headless on tests/fixtures/loscan_xp_reader.reg
# (NVR-550S with CF at F, SD at G, SM/xD at I; K kept for a network share).
# usage: slotdrive_loscan.sh PATH/TO/slotdrive
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
fixture=$here/../fixtures/loscan_xp_reader.reg
. "$here/e2e.sh"
e2e_work slotdrive-loscan
drives="C=fixed,D=cdrom,F=removable,G=removable,I=removable,R=ramdisk,X=unknown,Y=7,Z=remote"

# holds NAME PYTHON-EXPRESSION: evaluated on the JSON report in $work/out as d.
holds() {
  python3 - "$work/out" "$1" "$2" <<'EOF' && pass || fail "$2"
import json, sys
d = json.load(open(sys.argv[1], encoding="utf-8"))
rows, status = d["rows"], {s["letter"]: s for s in d["status"]}
if not eval(sys.argv[3]):
    print(f"{sys.argv[2]}: {sys.argv[3]} is false for", json.dumps(d, ensure_ascii=False)[:600])
    sys.exit(1)
EOF
}

# Start-up: model 19, five rows, the status list with every kind of drive.
"$exe" loscan --reg "$fixture" --os WinXP --drives "$drives" >"$work/out" || fail "start: exit $?"
holds start 'd["model"] == "NVR-550S"'
holds start '[r["visible"] for r in rows] == [True] * 5 + [False]'
holds start '[r["current"] for r in rows] == ["F", "G", "NoDrive", "I", "NoDrive", "NoDrive"]'
holds start '[r["selected"] for r in rows] == ["F", "G", "", "I", "", ""]'
holds start '[r["enabled"] for r in rows] == [True, True, False, True, False, False]'
holds start 'rows[0]["label"] == "コンパクトフラッシュ\n/マイクロドライブ"'
holds start 'd["setEnabled"] and d["refreshEnabled"] and d["messages"] == []'
holds start '"".join(rows[0]["choices"]) == "EFGHIJLMNOPQSTUVWY"'
holds start '[s["letter"] for s in d["status"]] == list("CDEFGHIJKLMNOPQRSTUVWXZ")'
holds start 'status["F"]["device"] == "NVR-550S" and status["F"]["image"] == 0'
holds start 'status["K"]["kind"] == "ネットワークドライブ予約" and status["K"]["image"] == 7'
holds start 'status["C"]["kind"] == "固定ドライブ" and status["X"]["image"] == 6'
holds start 'status["H"]["kind"] == "現在使用されていません" and status["H"]["device"] == ""'

# Set with new letters: the replug message, everything disabled, the records moved.
"$exe" loscan --reg "$fixture" --os WinXP --drives "$drives" --choose M,N --set \
  --out "$work/after.reg" >"$work/out" || fail "set: exit $?"
holds set 'd["messages"] == ["ドライブを設定しました。必ずデバイスを抜き差ししてください。"]'
holds set 'not d["setEnabled"] and not d["refreshEnabled"]'
holds set '[r["selected"] for r in rows][:2] == ["M", "N"] and not rows[0]["enabled"]'
grep -q '^"\\\\DosDevices\\\\M:"=hex:5c,00,3f,00' "$work/after.reg" && pass || fail "set: no record for M"
grep -q '^"\\\\DosDevices\\\\F:"' "$work/after.reg" && fail "set: F still recorded" || pass

# The same letter twice: the duplicate message, and the image unchanged.
"$exe" loscan --reg "$fixture" --os WinXP --choose M,M --set --out "$work/dup.reg" \
  >"$work/out" || fail "duplicate: exit $?"
holds duplicate 'd["messages"] == ["MドライブとMドライブが重複しています。"] and d["setEnabled"]'
"$exe" loscan --reg "$fixture" --os WinXP --out "$work/untouched.reg" >/dev/null
cmp -s "$work/dup.reg" "$work/untouched.reg" && pass || fail "duplicate: the image changed"

# Another model: its rows only.
"$exe" loscan --reg "$fixture" --os WinXP --model NVR-113S >"$work/out" || fail "model: exit $?"
holds model 'd["model"] == "NVR-113S" and [r["visible"] for r in rows] == [True] + [False] * 5'
holds model 'rows[0]["label"] == "ｘＤ-ピクチャーカード" and rows[1]["label"] == ""'
holds model 'not d["setEnabled"] and status["F"]["device"] == ""'

# What the dialog could not be told is refused, with nothing written.
for bad in "--model NVR-999" "--choose ,,K" "--choose K" "--choose F,G,H,I,J,L,M" \
           "--drives F=floppy" "--drives F=fixed,f=cdrom" "extra"; do
  # shellcheck disable=SC2086
  "$exe" loscan --reg "$fixture" --os WinXP $bad >"$work/out" 2>"$work/err"
  rc=$?
  check "'$bad': exit code" 2 "$rc"
  [ -s "$work/out" ] && fail "'$bad': printed a report" || pass
  [ -s "$work/err" ] && pass || fail "'$bad': no reason given"
done

e2e_finish "slotdrive loscan"
