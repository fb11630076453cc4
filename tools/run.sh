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

# Xvfb has no compositor: a window faded out to opacity 0 (the player frame, until something
# plays) would show as an opaque box. The screenshot driver moves such windows off the screen
# while the picture is taken, and back again.
driver=build/win/bin/quorvel_screenshot_driver.exe
cmake --build build/win --target quorvel_screenshot_driver >/dev/null 2>&1 || driver=""
ask_driver() {
  local reply
  echo "$1" >&"${DRIVER[1]}"
  while read -r -t 20 reply <&"${DRIVER[0]}" && [ "${reply%$'\r'}" != "." ]; do :; done
}
take_screenshot() {
  if [ -z "$driver" ]; then
    xwd -root -silent | convert xwd:- build/screenshot.png
    echo "Screenshot written to build/screenshot.png; windows faded out of sight show in it as" \
      "opaque boxes (Xvfb applies no opacity). Quorvel keeps running (Ctrl+C stops it)."
    return
  fi
  coproc DRIVER { wine "$driver" 2>/dev/null; }
  ask_driver stash
  xwd -root -silent | convert xwd:- build/screenshot.png
  ask_driver unstash
  echo quit >&"${DRIVER[1]}"
  wait "$DRIVER_PID" || true
  echo "Screenshot written to build/screenshot.png, without the windows faded out of sight" \
    "(Xvfb would show them opaque); Quorvel keeps running (Ctrl+C stops it)."
}

wine build/win/bin/Quorvel.exe &
app=$!
sleep "${SCREENSHOT_DELAY:-6}"
if ! kill -0 "$app" 2>/dev/null; then
  echo "Quorvel ended at once (does it already run?); build/screenshot.png is left as it was."
  exit 0
fi
take_screenshot
wait $app
