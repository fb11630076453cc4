#!/usr/bin/env bash
# Measures what Quorvel costs, against a bare layered 236 x 18 window with a one-second timer that
# draws one short text per tick, under the same Wine:
#   1. launch: from the start of the process to its bar shown on screen and answering, in five
#      launches of each, alternating, in one warm prefix (target: at most 1.2 times the bare
#      window's median);
#   2. one bar tick on the bar's thread (quorvel_bar_tick_bench; target: a mean of at most 0.1 ms);
#   3. idle: both running side by side, each in its own prefix (so each has its own wineserver),
#      for the same stretch of time: CPU time of the process and its wineserver (target: at most
#      1.1 times the bare window's) and private (anonymous) memory (target: at most 4 MB more).
#      A third program, the bare window with the libraries the bar cannot run without, shows
#      what those alone add.
# Quorvel runs with its five feeds configured, served by a loopback HTTP server, and from a folder
# of its own (build/measure), so its feed files stay out of the build.
#   tools/measure-idle.sh [seconds]      (default 300; builds the programs first)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-300}
settle=${SETTLE_SECONDS:-10}
bin=$root/build/win/bin
work=$root/build/measure
tools/install-deps.sh
tools/configure.sh win
cmake --build build/win --target Quorvel quorvel_idle_reference quorvel_idle_reference_libraries \
  quorvel_launch_timer quorvel_bar_tick_bench

source tools/wine-env.sh
ensure_display

prefixes=("$work"/prefix-{launch,quorvel,reference,libraries})
feed_server=""
cleanup() {
  for prefix in "${prefixes[@]}"; do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
  [ -z "$feed_server" ] || kill "$feed_server" 2>/dev/null || true
}
trap 'cleanup; kill ${XVFB_PID:-} 2>/dev/null || true' EXIT

rm -rf "$work/program" "$work/feeds"
mkdir -p "$work/program" "$work/feeds"
cp "$bin/Quorvel.exe" "$work/program/"

# Five feeds of forty items each, served on a free loopback port.
for n in 1 2 3 4 5; do
  {
    echo "<?xml version=\"1.0\"?><rss><channel><title>Feed $n</title>"
    for i in $(seq 40); do
      echo "<item><title>Story $i of feed $n</title><link>http://example.com/$n/$i</link></item>"
    done
    echo '</channel></rss>'
  } >"$work/feeds/feed$n.xml"
done
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/feeds" >"$work/feed-server.log" 2>&1 &
feed_server=$!
port=""
for _ in $(seq 50); do
  port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$work/feed-server.log" | head -1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the feed server did not start" >&2; exit 1; }

# fresh_prefix DIR [feeds]: a new prefix; with "feeds", Quorvel's five feeds point at the server.
fresh_prefix() {
  use_wine_prefix "$1" fresh >/dev/null
  if [ "${2:-}" = feeds ]; then
    for n in 1 2 3 4 5; do
      wine reg add 'HKCU\Software\Quorvel' /v "Rss$n" /t REG_SZ \
        /d "Feed $n^http://127.0.0.1:$port/feed$n.xml" /f >/dev/null 2>&1
    done
  fi
}

echo
echo "== Launch to the bar shown (5 alternating launches each, one warm prefix)"
fresh_prefix "$work/prefix-launch" feeds
launch=$(wine "$(winepath -w "$bin/quorvel_launch_timer.exe")" 5 \
  "quorvel=$(winepath -w "$work/program/Quorvel.exe")" \
  "bare=$(winepath -w "$bin/quorvel_idle_reference.exe")" 2>/dev/null | tr -d '\r')
echo "$launch"
awk '/^median quorvel/ { q = $3 } /^median bare/ { b = $3 } END {
    ratio = b > 0 ? q / b : 0
    printf "Launch ratio %.2f (target at most 1.20): %s\n", ratio, ratio <= 1.2 ? "met" : "NOT met"
  }' <<<"$launch"

echo
echo "== One bar tick"
wine "$(winepath -w "$bin/quorvel_bar_tick_bench.exe")" 2>/dev/null | tr -d '\r'
wineserver -k 2>/dev/null || true

echo
echo "== Idle"
# start PREFIX EXE: the program in that prefix, made beforehand.
start() {
  WINEPREFIX=$1 wine "$2" >/dev/null 2>&1 &
}
fresh_prefix "$work/prefix-quorvel" feeds
fresh_prefix "$work/prefix-reference"
fresh_prefix "$work/prefix-libraries"
start "$work/prefix-quorvel" "$work/program/Quorvel.exe"
start "$work/prefix-reference" "$bin/quorvel_idle_reference.exe"
start "$work/prefix-libraries" "$bin/quorvel_idle_reference_libraries.exe"
echo "All three started; letting them settle for ${settle}s, then measuring for ${seconds}s."
sleep "$settle"

cpu_ms() { # time on a CPU of all threads of a process, in milliseconds (schedstat counts ns)
  cat /proc/"$1"/task/*/schedstat | awk '{ ns += $1 } END { printf "%.1f", ns / 1e6 }'
}
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
# Private memory the process made itself (heaps, stacks), without mapped files.
anon_kb() { awk '/^Anonymous:/ { print $2 }' "/proc/$1/smaps_rollup"; }

declare -A pid
pid[quorvel]=$(process_in_prefix 'Quorvel\.exe' "$work/prefix-quorvel")
pid[quorvel_server]=$(process_in_prefix wineserver "$work/prefix-quorvel")
pid[reference]=$(process_in_prefix 'quorvel_idle_reference\.exe' "$work/prefix-reference")
pid[reference_server]=$(process_in_prefix wineserver "$work/prefix-reference")
pid[libraries]=$(process_in_prefix 'quorvel_idle_reference_libraries\.exe' \
  "$work/prefix-libraries")

declare -A before after
for key in "${!pid[@]}"; do before[$key]=$(cpu_ms "${pid[$key]}"); done
sleep "$seconds"
for key in "${!pid[@]}"; do after[$key]=$(cpu_ms "${pid[$key]}"); done
feed_files=$(ls "$work/program" | grep -c '^Rss[1-5]\.xml$' || true)

used() { awk -v a="${after[$1]}" -v b="${before[$1]}" 'BEGIN { printf "%.0f", a - b }'; }
quorvel_own=$(used quorvel)
quorvel_server=$(used quorvel_server)
reference_own=$(used reference)
reference_server=$(used reference_server)
megabytes() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

printf '\nCPU over %ss (ms)     own process  wineserver  total   anonymous   resident\n' "$seconds"
printf 'Quorvel               %11s  %10s  %5s   %6s MB  %6s MB\n' "$quorvel_own" "$quorvel_server" \
  $((quorvel_own + quorvel_server)) "$(megabytes "$(anon_kb "${pid[quorvel]}")")" \
  "$(megabytes "$(rss_kb "${pid[quorvel]}")")"
printf 'bare layered window   %11s  %10s  %5s   %6s MB  %6s MB\n' "$reference_own" \
  "$reference_server" $((reference_own + reference_server)) \
  "$(megabytes "$(anon_kb "${pid[reference]}")")" "$(megabytes "$(rss_kb "${pid[reference]}")")"
printf '  the same, with the bar'"'"'s libraries loaded                %6s MB  %6s MB\n' \
  "$(megabytes "$(anon_kb "${pid[libraries]}")")" "$(megabytes "$(rss_kb "${pid[libraries]}")")"
echo "Feed files Quorvel downloaded: $feed_files of 5"
awk -v q=$((quorvel_own + quorvel_server)) -v r=$((reference_own + reference_server)) \
  -v qa="$(anon_kb "${pid[quorvel]}")" -v ra="$(anon_kb "${pid[reference]}")" \
  -v la="$(anon_kb "${pid[libraries]}")" 'BEGIN {
    ratio = r > 0 ? q / r : 0
    printf "\nCPU ratio %.2f (target at most 1.10): %s\n", ratio, ratio <= 1.1 ? "met" : "NOT met"
    printf "Anonymous memory %+.1f MB (target at most +4.0 MB): %s\n", (qa - ra) / 1024,
           qa - ra <= 4096 ? "met" : "NOT met"
    printf "  of which the libraries alone: %+.1f MB\n", (la - ra) / 1024
  }'
