#!/bin/sh
# Runs a Windows program under Wine: the cross build's ctest emulator.
#
# WINEPREFIX is used when set (scripts/test sets a fresh one in a temporary
# folder per run); otherwise one prefix per user in the temporary folder. A
# missing prefix is made on first use, under a lock, so that tests started in
# parallel make it once. PEMAR_WINE names the loader (default
# /usr/lib/wine/wine64).
wine=${PEMAR_WINE:-/usr/lib/wine/wine64}
WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/pemar-wine-$(id -u)}
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG
if [ ! -f "$WINEPREFIX/.pemar-ready" ]; then
  mkdir -p "$WINEPREFIX" || exit 1
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.pemar-ready" ]; then
      "$wine" wineboot --init >/dev/null 2>&1
      touch "$WINEPREFIX/.pemar-ready"
    fi
  ) 9>"$WINEPREFIX/.pemar-lock"
fi

# The program's output goes through files, not straight to ours: the Wine
# server and its helper processes, started with the first program, would
# inherit our output and keep it open until they leave, so a caller that reads
# to the end of it (cmake's execute_process) would wait for them.
out=$(mktemp) && err=$(mktemp) || exit 1
trap 'rm -f "$out" "$err"' EXIT
"$wine" "$@" >"$out" 2>"$err"
status=$?
case " $* " in
  # Test discovery reads the list line by line and would keep the carriage
  # returns of Windows text output in the test names.
  *" --gtest_list_tests "*) tr -d '\r' <"$out" ;;
  *) cat "$out" ;;
esac
cat "$err" >&2
exit "$status"
