#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh prefix and returns its exit code.
# usage: wine-run.sh PROGRAM.exe [ARGS...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
wine_prefix_start
trap wine_prefix_stop EXIT
# Code page 932, as on the systems the programs serve.
LC_ALL=ja_JP.UTF-8 wine "$@"
rc=$?
wineserver -w
exit $rc
