#!/usr/bin/env bash
# Starts Quorvel under Wine in the project's own prefix. Without a display it starts Xvfb and
# writes a screenshot to build/screenshot.png a few seconds after start.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source tools/wine-env.sh
headless=""
[ -z "${DISPLAY:-}" ] && headless=1
ensure_display
use_wine_prefix "$root/build/run-prefix"
if [ -z "$headless" ]; then
  exec wine build/win/bin/Quorvel.exe
fi
wine build/win/bin/Quorvel.exe &
app=$!
sleep "${SCREENSHOT_DELAY:-6}"
xwd -root -silent | convert xwd:- build/screenshot.png
echo "Screenshot written to build/screenshot.png; Quorvel keeps running (Ctrl+C stops it)."
wait $app
