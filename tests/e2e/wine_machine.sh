# Sourced by the end-to-end scripts: one Windows machine under Wine, set up as the programs'
# users have it, in a private prefix.
#
#   wine_machine_template DIR
#       boots a prefix into DIR with what every machine shares (code page 932, the dialog
#       font, one virtual desktop); wine_machine_start copies it when SLOT_WINE_TEMPLATE names
#       it, which saves the boot (about 15 s) for every further machine.
#   wine_machine_start VERSION [WIDTHxHEIGHT]
#       a fresh machine reporting Windows VERSION (win95, win98, winme, win2k, winxp, vista),
#       its desktop WIDTHxHEIGHT (1024x768 by default); then one server session with the
#       desktop and Wine's services running. Sets WINEPREFIX.
#   wine_machine_load FILE...   writes .reg files into the running registry, HKEY_DYN_DATA too
#   wine_machine_stop           ends the session and removes the prefix
#   wine_run PROGRAM ARGS...    runs a Windows console program; its output without CRs
#   wine_processes NAME         how many processes NAME (e.g. Tavrik.exe) run in this prefix
#   wine_ended NAME             none does (for wait_until)
#   wine_kill NAME              SIGKILL to those of this prefix only
#   screen_picture FILE [WxH+X+Y]   the screen or a part of it, once it has stopped changing
#   same_picture FILE FILE      the two pictures have no pixel apart
#   other_picture FILE FILE     both pictures are there, and they are not the same
#   tray_like OLD NEW | tray_unlike OLD NEW   takes $work/NEW.png with the script's
#                               tray_area NAME, the same as $work/OLD.png or not (for wait_until)
#   dialogs_open TRAY_DRIVER TITLE COUNT   COUNT dialogs with that caption are open
#   read_taskbar TRAY_DRIVER    the taskbar's rectangle in $bar_left $bar_top $bar_right
#                               $bar_bottom; the notification area is its right end, the
#                               first icon's centre at $tray_x $tray_y. Wine shows the taskbar
#                               only while it has an icon or a button: 1 while it has none.
#
# Callers set $slotdrive (the Windows build of slotdrive) before loading, and may set
# $wine_stderr to a file that collects Wine's messages (e2e_work names $work/wine.log).
_wine_machine_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$_wine_machine_here/e2e.sh"
. "$_wine_machine_here/../../scripts/wine-env.sh"
# The programs run in code page 932, as on the systems they serve. The prefix is made under
# this locale too, so that its menu font is a Shift-JIS font: owner-drawn menu items are drawn
# with the ANSI text calls, which go by the font's character set.
export LC_ALL=ja_JP.UTF-8

wine_run() { wine "$@" 2>>"${wine_stderr:-/dev/null}" | tr -d '\r'; }

# The work folder, Wine's messages in it, and the machine ended on exit.
wine_work() {
  e2e_work "$1"
  wine_stderr=$work/wine.log
  e2e_log=$wine_stderr
  e2e_on_exit wine_machine_stop
}

# Processes of this prefix only: other Wine tests on the same host may run their own.
_wine_pids() {
  local pid
  for pid in $(pgrep -x "$1"); do
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      echo "$pid"
  done
  return 0
}
wine_processes() { _wine_pids "$1" | wc -l; }
wine_ended() { [ "$(wine_processes "$1")" = 0 ]; }
wine_kill() { _wine_pids "$1" | xargs -r kill -9; }

dialogs_open() { [ "$(wine_run "$1" dialogs "$2")" = "$3" ]; }

read_taskbar() {
  read -r bar_left bar_top bar_right bar_bottom < <(wine_run "$1" taskbar)
  [ "${bar_bottom:-0}" -gt 0 ] || return 1
  # Wine puts the first icon at the right end, a small icon with a margin around it.
  tray_x=$((bar_right - 11)) tray_y=$((bar_bottom - 11))
}

same_picture() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
other_picture() { [ -s "$1" ] && [ -s "$2" ] && ! same_picture "$1" "$2"; }
tray_like() { tray_area "$2" && same_picture "$work/$1.png" "$work/$2.png"; }
tray_unlike() { tray_area "$2" && other_picture "$work/$1.png" "$work/$2.png"; }
_picture_still() {  # _picture_still FILE IMPORT-OPTION...: a new picture, the same as the last
  local file=$1
  shift
  mv "$file" "$file.last.png"
  import -window root "$@" "$file" && same_picture "$file.last.png" "$file"
}
# A window that has just appeared, gone or changed may still be painting: the picture is taken
# again until two in a row are the same (5 s at most).
screen_picture() {
  local file=$1 crop=()
  [ -n "${2:-}" ] && crop=(-crop "$2" +repage)
  import -window root "${crop[@]}" "$file" || return 1
  wait_until 5 _picture_still "$file" "${crop[@]}" || true
  rm -f "$file.last.png"
  [ -s "$file" ]
}

# The settings every machine shares; they take effect when the desktop is next created.
_wine_machine_common() {
  # The dialog font is not installed under Wine; IPA P Gothic has close enough metrics.
  wine_run reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null
  # One virtual desktop draws window frames and has a taskbar with a notification area.
  wine_run reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
}

wine_machine_template() {
  local dir=$1
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  WINEPREFIX=$dir wineboot -i >/dev/null 2>&1
  WINEPREFIX=$dir _wine_machine_common
  WINEPREFIX=$dir wineserver -w
}

wine_machine_start() {
  local version=$1 size=${2:-1024x768} template=${SLOT_WINE_TEMPLATE:-}
  _wine_machine_tmp=$(mktemp -d /tmp/slotmachine.XXXXXX)
  export WINEPREFIX=$_wine_machine_tmp/prefix
  if [ -n "$template" ] && [ -f "$template/system.reg" ]; then
    # The system folder is only read, so its files are shared; the rest is copied, since
    # Wine rewrites some files (profiles, the registry) in place.
    mkdir -p "$WINEPREFIX"
    (cd "$template" &&
      tar --exclude=./drive_c/windows/system32 -cf - . | tar -xf - -C "$WINEPREFIX" &&
      cp -al drive_c/windows/system32 "$WINEPREFIX/drive_c/windows/")
  else
    wineboot -i >/dev/null 2>&1
    _wine_machine_common
  fi
  wine_run reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null
  wine_run reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f >/dev/null
  wineserver -w
  # From here one server session: Wine's mount manager, when it starts, drops mount records
  # of drives it does not know, which would take the fixture's records with them.
  wineserver -p
  wine_run reg query 'HKCU\Software\Wine' /v Version >/dev/null  # starts desktop and services
}

wine_machine_load() {
  local file args=()
  for file in "$@"; do args+=(--reg "$(winepath -w "$file")"); done
  wine_run "$slotdrive" load "${args[@]}"
}

wine_machine_stop() {
  [ -n "${_wine_machine_tmp:-}" ] || return 0
  wineserver -k >/dev/null 2>&1
  wineserver -w 2>/dev/null
  rm -rf "$_wine_machine_tmp"
  _wine_machine_tmp=
}
