#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM [ARGS...]: runs a Windows program under Wine in the
# prefix PREFIX (created once), without noise and without asking for extra
# components.
set -euo pipefail
wine=${QF_WINE:-/usr/lib/wine/wine64}
export WINEPREFIX=$1
shift
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # One creation at a time when several programs start at once.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$wine" wineboot -i >/dev/null 2>&1 || true
      # The prefix is ready once the server that set it up has finished.
      "$(dirname "$wine")/wineserver" -w >/dev/null 2>&1 || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# A server that outlives each program by a while spares the next one its start-up.
"$(dirname "$wine")/wineserver" -p30 >/dev/null 2>&1 || true
# The program's output goes through files rather than straight to our pipes: a
# Wine service started on the way inherits them and outlives the program, and
# whoever reads our output (CTest, CMake listing tests) would wait for it.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
status=0
"$wine" "$@" >"$out" 2>"$err" || status=$?
cat "$out"
cat "$err" >&2
exit "$status"
