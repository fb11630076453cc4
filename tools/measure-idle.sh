#!/usr/bin/env bash
# Measures what the running bar costs while idle, against a bare layered 236 x 18 window with a
# one-second timer that draws one short text per tick. Both run side by side under the same
# Wine, each in its own prefix (so each has its own wineserver), for the same minute. Prints each
# one's CPU time (its own process, its wineserver) and resident memory, and the two targets:
# CPU within 1.3 times the bare window's, resident memory within 4 MB of it. A third program,
# the same window with the libraries the bar cannot run without loaded, shows what those alone
# add to the resident memory.
#   tools/measure-idle.sh [seconds]      (default 60; builds the three programs first)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}
settle=${SETTLE_SECONDS:-10}
bin=$root/build/win/bin
tools/install-deps.sh
tools/configure.sh win
cmake --build build/win --target Quorvel quorvel_idle_reference quorvel_idle_reference_libraries

source tools/wine-env.sh
ensure_display

pids=()
cleanup() {
  for prefix in "$root"/build/idle-prefix-{quorvel,reference,libraries}; do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
}
trap 'cleanup; kill ${XVFB_PID:-} 2>/dev/null || true' EXIT

# start NAME PREFIX EXE: a fresh prefix, then the program in it.
start() {
  local prefix=$2 exe=$3
  use_wine_prefix "$prefix" fresh >/dev/null
  WINEPREFIX=$prefix wine "$exe" >/dev/null 2>&1 &
}

cpu_ms() { # time on a CPU of all threads of a process, in milliseconds (schedstat counts ns)
  cat /proc/"$1"/task/*/schedstat | awk '{ ns += $1 } END { printf "%.1f", ns / 1e6 }'
}

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
# Private memory the process made itself (heaps, stacks), without mapped files.
anon_kb() { awk '/^Anonymous:/ { print $2 }' "/proc/$1/smaps_rollup"; }

quorvel_prefix=$root/build/idle-prefix-quorvel
reference_prefix=$root/build/idle-prefix-reference
start quorvel "$quorvel_prefix" "$bin/Quorvel.exe"
start reference "$reference_prefix" "$bin/quorvel_idle_reference.exe"
libraries_prefix=$root/build/idle-prefix-libraries
start libraries "$libraries_prefix" "$bin/quorvel_idle_reference_libraries.exe"
echo "All three started; letting them settle for ${settle}s, then measuring for ${seconds}s."
sleep "$settle"

declare -A pid
pid[quorvel]=$(process_in_prefix 'Quorvel\.exe' "$quorvel_prefix")
pid[quorvel_server]=$(process_in_prefix wineserver "$quorvel_prefix")
pid[reference]=$(process_in_prefix 'quorvel_idle_reference\.exe' "$reference_prefix")
pid[reference_server]=$(process_in_prefix wineserver "$reference_prefix")
pid[libraries]=$(process_in_prefix 'quorvel_idle_reference_libraries\.exe' "$libraries_prefix")

declare -A before after
for key in "${!pid[@]}"; do before[$key]=$(cpu_ms "${pid[$key]}"); done
sleep "$seconds"
for key in "${!pid[@]}"; do after[$key]=$(cpu_ms "${pid[$key]}"); done

used() { awk -v a="${after[$1]}" -v b="${before[$1]}" 'BEGIN { printf "%.0f", a - b }'; }
quorvel_own=$(used quorvel)
quorvel_server=$(used quorvel_server)
reference_own=$(used reference)
reference_server=$(used reference_server)
quorvel_rss=$(rss_kb "${pid[quorvel]}")
reference_rss=$(rss_kb "${pid[reference]}")
libraries_rss=$(rss_kb "${pid[libraries]}")
quorvel_anon=$(anon_kb "${pid[quorvel]}")
reference_anon=$(anon_kb "${pid[reference]}")

printf '\nCPU over %ss (ms)     own process  wineserver  total   resident memory\n' "$seconds"
printf 'Quorvel               %11s  %10s  %5s   %6.1f MB\n' "$quorvel_own" "$quorvel_server" \
  $((quorvel_own + quorvel_server)) "$(awk -v k="$quorvel_rss" 'BEGIN { print k / 1024 }')"
printf 'bare layered window   %11s  %10s  %5s   %6.1f MB\n' "$reference_own" "$reference_server" \
  $((reference_own + reference_server)) "$(awk -v k="$reference_rss" 'BEGIN { print k / 1024 }')"
printf '  the same, with the bar'"'"'s libraries loaded                %6.1f MB\n' \
  "$(awk -v k="$libraries_rss" 'BEGIN { print k / 1024 }')"
awk -v q=$((quorvel_own + quorvel_server)) -v r=$((reference_own + reference_server)) \
  -v qm="$quorvel_rss" -v rm="$reference_rss" -v lm="$libraries_rss" 'BEGIN {
    ratio = r > 0 ? q / r : 0
    printf "\nCPU ratio %.2f (target at most 1.30): %s\n", ratio, ratio <= 1.3 ? "met" : "NOT met"
    printf "Memory difference %+.1f MB (target at most +4.0 MB): %s\n", (qm - rm) / 1024,
           qm - rm <= 4096 ? "met" : "NOT met"
    printf "  of which the libraries alone: %+.1f MB\n", (lm - rm) / 1024
  }'
awk -v qa="$quorvel_anon" -v ra="$reference_anon" 'BEGIN {
    printf "Anonymous memory: Quorvel %.1f MB, bare window %.1f MB, difference %+.1f MB " \
           "(target at most +4.0 MB): %s\n", qa / 1024, ra / 1024, (qa - ra) / 1024,
           qa - ra <= 4096 ? "met" : "NOT met"
  }'
