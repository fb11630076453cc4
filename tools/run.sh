#!/usr/bin/env bash
# Starts Quorvel under Wine in the project's own prefix. Without a display it starts Xvfb and
# writes a screenshot to build/screenshot.png a few seconds after start. While Quorvel already
# runs in that prefix, a second copy would only leave at once: say so, and keep the screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
prefix=$root/build/run-prefix
source tools/wine-env.sh
if process_in_prefix 'Quorvel\.exe' "$prefix" >/dev/null; then
  echo "Quorvel already runs (in build/run-prefix); build/screenshot.png is left as it was."
  exit 0
fi
headless=""
[ -z "${DISPLAY:-}" ] && headless=1
ensure_display
use_wine_prefix "$prefix"
if [ -z "$headless" ]; then
  exec wine build/win/bin/Quorvel.exe
fi
wine build/win/bin/Quorvel.exe &
app=$!
sleep "${SCREENSHOT_DELAY:-6}"
if ! kill -0 "$app" 2>/dev/null; then
  echo "Quorvel ended at once (does it already run?); build/screenshot.png is left as it was."
  exit 0
fi
xwd -root -silent | convert xwd:- build/screenshot.png
echo "Screenshot written to build/screenshot.png; Quorvel keeps running (Ctrl+C stops it)."
wait $app
