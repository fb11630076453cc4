#!/usr/bin/env bash
# Regenerates the README's pictures in docs/: starts the program under a Xvfb screen of its own
# (1280 x 800) in its own Wine prefix (build/screenshots/prefix) and walks through its windows
# (tools/screenshots.py). Not part of `make test`.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQUORVEL_DIST_DIR="$root/build/dist" >/dev/null
cmake --build build/win --target Quorvel quorvel_screenshot_driver

source tools/wine-env.sh
unset DISPLAY # always a screen of our own, of a known size
ensure_display
prefix="$root/build/screenshots/prefix"
if [ -f "$prefix/system.reg" ]; then use_wine_prefix "$prefix"; else use_wine_prefix "$prefix" fresh; fi
# One server for the whole run, and Wine's own services started now, detached from the
# script's pipes: a service started later would hold them open.
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

# A desktop behind the skins' transparent parts, as on a real screen.
mkdir -p build/screenshots
convert -size 1280x800 gradient:'#6d9bc9'-'#27507d' build/screenshots/desktop.png
timeout 10 display -window root build/screenshots/desktop.png || true

status=0
python3 tools/screenshots.py "$root" "$root/build/screenshots" || status=$?
# The bar at 200 %: the same prefix at 192 DPI, which Wine reads when its server starts.
set_dpi() {
  wineserver -k 2>/dev/null || true
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
  wineserver -p >/dev/null 2>&1 || true
}
if [ $status -eq 0 ]; then
  set_dpi 192
  python3 tools/screenshots.py "$root" "$root/build/screenshots" --bar-at-200 || status=$?
  set_dpi 96
fi
wineserver -k 2>/dev/null || true
exit $status
