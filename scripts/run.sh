#!/usr/bin/env bash
# The main job: installs what is missing, builds, and starts Loscan.exe and Tavrik.exe under
# Wine (code page 932) on a built-in machine: Windows XP with a Norvell NVR-550S card reader
# plugged in, cards in its CompactFlash (F:) and SD (G:) slots, its SmartMedia/xD slot (I:)
# empty (tests/fixtures/loscan_xp_reader.reg, with the reader definitions that Tavrik's
# installer writes, resources/definitions/tavrik_definitions.reg).
#
# With a display, both programs open there, in a Wine desktop window: Loscan's dialog, and
# Tavrik's icon in the desktop's notification area (left click: the slot menu, right click:
# the other commands). The command ends when both programs have ended.
# Without a display, they run under Xvfb: the command saves screenshots of Loscan's dialog and
# of Tavrik's slot menu, opened by a click on its tray icon, says where they are and ends both
# programs. $SLOT_SCREENSHOT_DIR chooses the folder (default: screenshots/), $SLOT_WIN32_BUILD
# another Windows build folder (default: build/win32).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != --programs ]; then
  bash scripts/setup.sh
  bash scripts/build.sh
  # Wine runs the 32-bit programs as 32-bit Linux processes, which some virtual machines'
  # kernels cannot execute: say so rather than fail on each program.
  if ! wine --version >/dev/null 2>&1; then
    echo "run: Wine cannot start here: this machine cannot execute 32-bit programs" >&2
    echo "     ($(wine --version 2>&1 | tail -1)); the programs are built in build/win32." >&2
    exit 1
  fi
  if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --programs --headless
  fi
  exec bash "$0" --programs
fi
headless=${2:-}

build=${SLOT_WIN32_BUILD:-$PWD/build/win32}
loscan=$build/loscan/Loscan.exe
tavrik=$build/tavrik/Tavrik.exe
slotdrive=$build/tools/slotdrive/slotdrive.exe
shots=${SLOT_SCREENSHOT_DIR:-$PWD/screenshots}
. tests/e2e/wine_machine.sh
wine_work slot-run
driver() { wine_run "$build/tests/$1.exe" "${@:2}"; }

echo "run: a Windows XP machine under Wine (about 20 s)"
wine_machine_start winxp 1024x768
mkdir -p "$work/card_f" "$work/card_g"
printf 'A card in the reader\r\n' >"$work/card_f/PHOTO.TXT"
printf 'Another card\r\n' >"$work/card_g/MUSIC.TXT"
driver machine_driver plug F "$work/card_f"
driver machine_driver plug G "$work/card_g"
driver machine_driver plug I "$work/no_card"
wine_machine_load resources/definitions/tavrik_definitions.reg tests/fixtures/loscan_xp_reader.reg
icons="$WINEPREFIX/drive_c/Program Files/Norvell/Tavrik/Icons"
mkdir -p "$icons"
cp resources/slot_icons/*.ico "$icons/"

if [ -z "$headless" ]; then
  echo "run: Loscan.exe and Tavrik.exe are open in the Wine desktop window on $DISPLAY."
  echo "     Close Loscan, and choose 終了 in Tavrik's right-click menu, to end."
  wine "$tavrik" >/dev/null 2>&1 &
  wine "$loscan" >/dev/null 2>&1 &
  wait
  exit 0
fi

mkdir -p "$shots"
wine "$tavrik" >/dev/null 2>&1 &
wait_until 10 driver tray_driver icon || { echo "run: Tavrik's icon did not appear"; exit 1; }
# A click on the icon at the right end of the taskbar, where the notification area is.
wait_until 5 read_taskbar "$build/tests/tray_driver.exe" || { echo "run: no taskbar"; exit 1; }
xdotool mousemove "$tray_x" "$tray_y" click 1
driver tray_driver menu 10 >/dev/null || { echo "run: Tavrik's slot menu did not open"; exit 1; }
xdotool mousemove 300 300
screen_picture "$shots/tavrik_slot_menu.png"
driver tray_driver keys escape
driver tray_driver nomenu 5 || true
wine "$loscan" >/dev/null 2>&1 &
driver loscan_driver wait || { echo "run: Loscan's dialog did not appear"; exit 1; }
screen_picture "$shots/loscan.png"
driver loscan_driver escape
driver tray_driver command 1036
wait_until 10 wine_ended Loscan.exe || echo "run: Loscan.exe still runs"
wait_until 10 wine_ended Tavrik.exe || echo "run: Tavrik.exe still runs"
echo "run: Loscan.exe and Tavrik.exe ran under Xvfb; screenshots:"
echo "  $shots/loscan.png            Loscan's dialog: the reader's slots and letters"
echo "  $shots/tavrik_slot_menu.png  Tavrik's slot menu, opened from its tray icon"
