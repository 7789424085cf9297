# Sourced by every end-to-end script: the display, the work folder, the count of checks and
# waiting for a condition. The Wine scripts get it through wine_machine.sh.
#
#   e2e_display "$@"        re-runs the script under Xvfb (1024x768) when there is no display
#   e2e_work NAME           makes the work folder $work; on exit the hooks run (last added
#                           first) and the folder goes, unless SLOT_KEEP_WORK is set
#   e2e_on_exit COMMAND     a hook for the exit, e.g. ending the machine
#   pass | fail TEXT        counts a check; fail says what was wrong
#   check TEXT EXPECTED ACTUAL   passes when the two are the same
#   expect TEXT COMMAND...  passes when the command succeeds
#   wait_until SECONDS COMMAND...   polls the command until it succeeds; 1 on time-out
#   not COMMAND...          succeeds when the command fails (for wait_until)
#   e2e_finish [PREFIX]     the closing line "N passed, N failed" and the exit status
# $e2e_log may name a file whose tail is shown when something failed (Wine's messages).

e2e_display() {
  if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
  fi
}

_e2e_hooks=()
e2e_on_exit() { _e2e_hooks=("$1" "${_e2e_hooks[@]}"); }
_e2e_exit() {
  local hook
  for hook in "${_e2e_hooks[@]}"; do eval "$hook"; done
  if [ -n "${SLOT_KEEP_WORK:-}" ]; then echo "kept: $work"; else rm -rf "$work"; fi
}
e2e_work() {
  work=$(mktemp -d "/tmp/$1.XXXXXX")
  trap _e2e_exit EXIT
}

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() { echo "FAIL${e2e_case:+ [$e2e_case]}: $*"; failed=$((failed + 1)); }
check() {
  if [ "$2" == "$3" ]; then pass; else fail "$1: expected [$2], got [$3]"; fi
}
expect() {
  local text=$1
  shift
  if "$@"; then pass; else fail "$text"; fi
}

# Polled every fifth of a second: a Wine program call takes about that long itself.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

not() { ! "$@"; }

e2e_finish() {
  if [ "$failed" -ne 0 ] && [ -s "${e2e_log:-}" ]; then
    echo "last messages in $e2e_log:"
    tail -20 "$e2e_log"
  fi
  echo "${1:+$1: }$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}
