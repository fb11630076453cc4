# Sourced: sets up a Wine prefix and an X display for running or testing Quorvel.
#   use_wine_prefix DIR [fresh]   the project's own prefix (never ~/.wine); fresh = throwaway,
#                                for tests: its windows are not left to a window manager
#   ensure_display               starts Xvfb when DISPLAY is unset, and stops it on exit
#   process_in_prefix NAME DIR   the Linux process id of a program (a pgrep pattern) or of the
#                                wineserver that runs in that prefix; fails when none does

export WINEDEBUG=-all
# Nothing can be downloaded here: keep Wine from offering Mono or Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

use_wine_prefix() {
  local prefix=$1 fresh=${2:-}
  export WINEPREFIX=$prefix
  if [ -n "$fresh" ]; then
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
  fi
  local created=""
  if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    wineboot -i >/dev/null 2>&1 || true
    created=1
  fi
  # Applied at every use, so an older prefix picks up changed settings too.
  local reg
  reg=$(mktemp --suffix=.reg)
  # A crash must end the process, not open Wine's crash dialog and hang; the faces the program
  # asks for map to free fonts of their width (Liberation Sans has Arial's, close to Segoe UI's),
  # so that a text too wide for its place on Windows is too wide here as well.
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Segoe UI"="Liberation Sans"
"MS Sans Serif"="Liberation Sans"
"MS Shell Dlg"="Liberation Sans"
REG
  if [ -n "$fresh" ]; then
    # Xvfb has no window manager: Wine would wait two seconds for one at each window's end.
    printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n' >>"$reg"
  fi
  wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
  rm -f "$reg"
  # Wine draws the caption buttons with its own Marlett (fonts-wine); without it a close box
  # shows the letter "r". Debian's Wine 8 misses the font in its data folder (it looks in
  # "/usr/share/wine\../fonts"), but it always searches the prefix's own fonts folder.
  local marlett=/usr/share/wine/fonts/marlett.ttf fonts="$prefix/drive_c/windows/Fonts"
  if [ -f "$marlett" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    cp "$marlett" "$fonts/"
  fi
  # A new prefix is only whole once its first server has finished (the network interfaces
  # were missing in tests that started before that).
  [ -z "$created" ] || wineserver -w
}

ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local number=90
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
    number=$((number + 1))
  done
  Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$number"
  trap 'kill $XVFB_PID 2>/dev/null || true' EXIT
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.1
  done
  echo "No display was set: started Xvfb on $DISPLAY"
}

process_in_prefix() {
  local name=$1 prefix=$2 pid
  for pid in $(pgrep -f "$name" || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}
