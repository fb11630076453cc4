#!/usr/bin/env bash
# Runs the display-scale tests of a Windows test program at one DPI: in a prefix of their own
# beside the test prefix, whose LogPixels Wine reads when that prefix's server starts.
#   tools/dpi-test.sh DPI PROGRAM
set -euo pipefail
dpi=$1 program=$2
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine-env.sh"
use_wine_prefix "$root/build/dpi-prefix"
wineserver -k 2>/dev/null || true
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
# One server for every test: a server left to end after each process can be shutting down just as
# the next one connects, and that process dies before it prints a line.
wineserver -p >/dev/null 2>&1 || true
status=0
# One process a test, as ctest runs them: the windows are process-wide singletons.
tests=$(wine "$program" --gtest_list_tests --gtest_filter='BarAtScale.*' | tr -d '\r' |
  awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }')
[ -n "$tests" ] || { echo "no display-scale tests found"; exit 1; }
for test in $tests; do
  code=0
  QV_EXPECTED_DPI=$dpi wine "$program" --gtest_filter="$test" || code=$?
  [ "$code" = 0 ] || { echo "$test: exit status $code"; status=1; }
done
wineserver -k 2>/dev/null || true
exit $status
