# Sourced by the Wine scripts: a private, fresh 32-bit prefix per run, removed on exit.
# Callers may set SLOT_WINEPREFIX to reuse a prefix they own.
export WINEDEBUG=${WINEDEBUG:--all}
# Keep prefix creation from offering to install Mono and Gecko, which would wait for a click.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win32

wine_prefix_start() {
  if [ -n "${SLOT_WINEPREFIX:-}" ]; then
    export WINEPREFIX=$SLOT_WINEPREFIX
    _wine_own_prefix=
  else
    _wine_tmp=$(mktemp -d /tmp/slotwine.XXXXXX)
    export WINEPREFIX=$_wine_tmp/prefix
    _wine_own_prefix=1
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}

wine_prefix_stop() {
  if [ -n "${_wine_own_prefix:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$_wine_tmp"
  fi
}
