#!/usr/bin/env bash
# Tavrik.exe under Wine and Xvfb, in a virtual desktop with a notification area, on an XP
# machine with the shipped reader definitions and two readers plugged in
# (tests/fixtures/xp_tavrik_readers.reg: NVR-410U with CF at F, MS at G, SM without a letter,
# SD at I; NVR-112S with SD at J). F and I are drives with a medium, G and J have none.
#   - Tavrik starts hidden and puts its icon into the notification area;
#   - a second start ends at once and leaves the first one alone;
#   - a left click on the icon shows the slot menu (screenshots/tavrik_slot_menu.png): as tall
#     as the owner-drawn items "slotdrive tavrik" predicts for the same machine;
#   - a right click shows the fixed menu (screenshots/tavrik_fixed_menu.png);
#   - "version information" opens one dialog however often it is chosen;
#   - Escape does not close the hidden window, nor does Enter after it (which the dialog makes
#     IDOK): Tavrik still runs and its icon is in the tray;
#   - icon repair, with no hand-off to Tolket ever made on XP, starts nothing and shows nothing;
#   - a restarted taskbar ("TaskbarCreated") gets the icon back, with the image it showed;
#   - unplugging the readers (their records and drive F go) while the slot menu is open, and
#     the device change that follows, turn the icon to the idle image; the CF item, enabled
#     when the menu opened, then ejects nothing (no drive N: either, whose letter "NoDrive"
#     begins with) and shows no message;
#   - Exit removes the icon and ends the program.
# The screenshots go to $SLOT_SCREENSHOT_DIR, or screenshots/ in the source tree.
# usage: tavrik_tray.sh Tavrik.exe tray_driver.exe slotdrive.exe
set -u -o pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_machine.sh"
e2e_display "$@"
tavrik=$1 driver=$2 slotdrive=$3
root=$(cd "$here/../.." && pwd)
definitions=$root/resources/definitions/tavrik_definitions.reg
fixture=$root/tests/fixtures/xp_tavrik_readers.reg
shots=${SLOT_SCREENSHOT_DIR:-$root/screenshots}
mkdir -p "$shots"
wine_work tavrik-e2e

run() { wine_run "$@"; }
shot() { screen_picture "$shots/$1.png" || fail "no screenshot $1"; echo "screenshot: $shots/$1.png"; }
# The notification area: the right end of the taskbar, with a margin above it.
tray_crop() { echo "120x28+$((bar_right - 120))+$((bar_bottom - 28))"; }
tray_area() { screen_picture "$work/$1.png" "$(tray_crop)"; }
close_menu() {
  xdotool mousemove 300 300 click 1
  run "$driver" nomenu 3 || fail "$1: the menu stayed open"
}

# Every program runs on one virtual desktop, which has a taskbar with a notification area.
wine_machine_start winxp
wine_machine_load "$definitions" "$fixture" || fail "fixture not loaded"
# A drive with a medium is a folder Wine maps to a letter; G and J stay without one.
for letter in f i; do
  mkdir -p "$work/media_$letter"
  ln -sfn "$work/media_$letter" "$WINEPREFIX/dosdevices/$letter:"
done
icons="$WINEPREFIX/drive_c/Program Files/Norvell/Tavrik/Icons"
mkdir -p "$icons"
for name in cf ms sm sd; do cp "$root/resources/tavrik/res/tavrik.ico" "$icons/$name.ico"; done
# Another program's window keeps the desktop up after Tavrik has ended; minimised, it stays
# out of the screenshots.
run start /min notepad
wait_until 20 not wine_ended notepad.exe || fail "no notepad"
# The whole screen: where the notification area is shows once it has an icon.
screen_picture "$work/empty_screen.png"

# Start: hidden window, icon in the notification area.
wine "$tavrik" >/dev/null 2>&1 &
wait_until 10 run "$driver" window >"$work/window"
read -r hwnd visibility <"$work/window" || fail "start: no window"
wait_until 5 read_taskbar "$driver" || { fail "start: no taskbar"; e2e_finish; }
convert "$work/empty_screen.png" -crop "$(tray_crop)" +repage "$work/empty_tray.png"
[ "${visibility:-}" = hidden ] && pass || fail "start: the main window is ${visibility:-missing}"
run "$driver" icon && pass || fail "start: the shell does not know the tray icon"
wait_until 5 tray_unlike empty_tray tray_with_icon && pass ||
  fail "start: no icon drawn in the notification area"

# A second start ends at once, the first keeps running with its icon.
start=$(date +%s)
timeout 20 wine "$tavrik" >/dev/null 2>&1
rc=$?
[ "$rc" = 0 ] && [ $(( $(date +%s) - start )) -le 5 ] && pass ||
  fail "second start: exit $rc after $(( $(date +%s) - start )) s"
check "second start: Tavrik processes" 1 "$(wine_processes Tavrik.exe)"
run "$driver" icon && pass || fail "second start: the first one lost its icon"

# Left click: the slot menu, with the owner-drawn items slotdrive predicts.
run "$driver" left "$tray_x" "$tray_y" || fail "left click: not posted"
if run "$driver" menu 5 >"$work/menu"; then
  pass
  read -r left top right bottom <"$work/menu"
  shot tavrik_slot_menu
  run "$slotdrive" tavrik --reg "$(winepath -w "$definitions")" --reg "$(winepath -w "$fixture")" \
    --os WinXP --drives C=fixed,F=removable,I=removable --media FI --click left \
    >"$work/predicted.json" || fail "no prediction"
  owner_drawn=$(python3 -c 'import json,sys; print(sum(i.get("ownerDraw", False) for i in json.load(open(sys.argv[1], encoding="utf-8"))["menu"]))' "$work/predicted.json")
  item=$(run "$driver" itemheight)
  echo "slot menu: ${left},${top} to ${right},${bottom}; $owner_drawn owner-drawn items of $item pixels predicted"
  [ "$owner_drawn" = 4 ] && pass || fail "prediction: $owner_drawn owner-drawn items"
  [ $((bottom - top)) -ge $((owner_drawn * item)) ] && [ $((right - left)) -ge 240 ] && pass ||
    fail "slot menu: $((right - left)) x $((bottom - top)) is too small"
  close_menu "slot menu"
else
  fail "left click: no menu"
fi

# Right click: the fixed menu.
run "$driver" right "$tray_x" "$tray_y" || fail "right click: not posted"
if run "$driver" menu 5 >/dev/null; then
  pass
  shot tavrik_fixed_menu
  close_menu "fixed menu"
else
  fail "right click: no menu"
fi

# Version information, twice: one dialog.
title="Tavrikバージョン情報"
run "$driver" command 1037
wait_until 5 dialogs_open "$driver" "$title" 1
run "$driver" command 1037
sleep 1  # nothing to wait for: a second dialog must not come
[ "$(run "$driver" dialogs "$title")" = 1 ] && pass || fail "version: $(run "$driver" dialogs "$title") dialogs"
run "$driver" texts "$title" >"$work/texts"
grep -qx 'Static:Tavrik バージョン 1.0.0' "$work/texts" &&
  grep -qx 'Static:著作権 (C) 2026 Norvell' "$work/texts" && pass ||
  fail "version: $(tr '\n' ';' <"$work/texts")"
shot tavrik_version
run "$driver" ok "$title" || fail "version: no OK"
wait_until 5 dialogs_open "$driver" "$title" 0
[ "$(run "$driver" dialogs "$title")" = 0 ] && pass || fail "version: the dialog stayed open"

# Escape reaches the hidden window and is swallowed before the dialog would take it as Cancel.
run "$driver" escape || fail "escape: not posted"
sleep 1  # nothing to wait for: Tavrik must not end
[ "$(wine_processes Tavrik.exe)" = 1 ] && pass || fail "escape: Tavrik ended"
# Enter, once a menu has made the hidden dialog the foreground window, gives IDOK.
run "$driver" keys escape return || fail "enter: not posted"
sleep 1  # nothing to wait for: Tavrik must not end
[ "$(wine_processes Tavrik.exe)" = 1 ] && pass || fail "enter: Tavrik ended"
run "$driver" icon && pass || fail "enter: the tray icon went"

# Icon repair: XP never hands values to Tolket, so Tavrik puts the keys back itself; neither
# Tolket's window nor the box for a Tolket.exe that is not there (it is not beside this build's
# Tavrik.exe) may show.
run "$driver" command 1032 || fail "repair: not posted"
sleep 2  # nothing to wait for: no window may open
if [ "$(run "$driver" dialogs "Error msg")" = 0 ] && [ "$(run "$driver" dialogs Tolket)" = 0 ]; then
  pass
else
  fail "repair: a message box"
  run "$driver" ok "Error msg"
  run "$driver" ok Tolket
fi

# Explorer restarted: its new notification area has lost the icon until "TaskbarCreated"
# brings it back, showing the connected image it had.
run "$driver" forgeticon || fail "taskbar: the icon could not be taken away"
wait_until 5 not run "$driver" icon
run "$driver" icon && fail "taskbar: the shell still knows the icon" || pass
run "$driver" taskbarcreated || fail "taskbar: not broadcast"
wait_until 5 run "$driver" icon
run "$driver" icon && pass || fail "taskbar: the icon did not come back"
wait_until 5 tray_like tray_with_icon tray_readded && pass || fail "taskbar: not the connected image"

# The readers go while the slot menu is open: their disks leave the registry and drive F goes
# away; the device change that follows turns the icon idle. The CF item was enabled when the
# menu opened; chosen now, it must eject nothing and say nothing.
run "$driver" left "$tray_x" "$tray_y" || fail "stale item: click not posted"
run "$driver" menu 5 >/dev/null || fail "stale item: no menu"
run reg delete 'HKLM\System\CurrentControlSet\Services\Disk\Enum' /f >/dev/null ||
  fail "unplug: the disk records stay"
rm "$WINEPREFIX/dosdevices/f:"
run "$driver" devicechange || fail "device change: not posted"
# Handled once the icon has turned idle.
wait_until 5 tray_unlike tray_with_icon tray_idle
run "$driver" keys down return || fail "stale item: keys not posted"
run "$driver" nomenu 3 || fail "stale item: the menu stayed open"
sleep 2  # nothing to wait for: no message may show
if [ "$(run "$driver" dialogs Tavrik)" = 0 ]; then
  pass
else
  fail "stale item: a message: $(run "$driver" texts Tavrik | tr '\n' ';')"
  run "$driver" ok Tavrik
fi
tray_area tray_idle
other_picture "$work/tray_with_icon.png" "$work/tray_idle.png" && pass || fail "device change: the icon did not change"
other_picture "$work/empty_tray.png" "$work/tray_idle.png" && pass || fail "device change: the icon went away"

# Exit: the process ends and the notification area is as it was before the start.
run "$driver" command 1036 || fail "exit: not posted"
wait_until 10 wine_ended Tavrik.exe && pass || fail "exit: Tavrik still runs"
run "$driver" icon "$hwnd" && fail "exit: the shell still knows the icon" || pass
wait_until 5 tray_like empty_tray tray_after_exit && pass ||
  fail "exit: the notification area still shows an icon"

e2e_finish
