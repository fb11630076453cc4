#!/usr/bin/env bash
# Runs every test: portable tests natively, each fuzz target for a short while, then the Windows
# tests under Wine in a throwaway prefix on Xvfb (started here when there is no display).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
failed=0

echo "== skin art, mutant list and the folders' include arrows"
python3 res/art/make_art.py --check || failed=1
tools/mutate.py --check || failed=1
tools/include_graph.py >/dev/null || { tools/include_graph.py; failed=1; }

echo "== portable tests (native, ASan + UBSan)"
ctest --test-dir build/native --output-on-failure || failed=1

echo "== fuzz targets"
tools/fuzz.sh "${FUZZ_SECONDS:-15}" || failed=1

echo "== Windows tests under Wine"
source tools/wine-env.sh
ensure_display
# Two runs in one tree would wipe each other's prefix and files beside the program: the second
# waits for the first.
exec 9>"$root/build/test-run.lock"
flock -n 9 || { echo "Another test run of this tree is going on: waiting for it"; flock 9; }
use_wine_prefix "$root/build/test-prefix" fresh
# One server for the whole run, and Wine's own services started now, detached from ctest's
# pipes: a service started by a test would hold its output open and stall the run.
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
# Serial: the tests share the registry and the screen of one prefix.
ctest --test-dir build/win --output-on-failure -j1 || failed=1
wineserver -k 2>/dev/null || true

exit $failed
