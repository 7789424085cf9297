#!/usr/bin/env bash
# The main job: install, build, and start Loscan.exe under Wine with code page 932.
# With no display it runs under Xvfb and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
. scripts/wine-env.sh
wine_prefix_start
trap wine_prefix_stop EXIT
out=${SLOT_SCREENSHOT_DIR:-$PWD/screenshots}
mkdir -p "$out"
if [ -n "${DISPLAY:-}" ]; then
  LC_ALL=ja_JP.UTF-8 wine build/win32/loscan/Loscan.exe
else
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    LC_ALL=ja_JP.UTF-8 wine "$1" & pid=$!
    sleep 8
    import -window root "$2/loscan.png"
    kill $pid 2>/dev/null; wineserver -k' _ build/win32/loscan/Loscan.exe "$out"
  echo "Loscan.exe ran under Xvfb; screenshot: $out/loscan.png"
fi
