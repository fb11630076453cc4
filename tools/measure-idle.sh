#!/usr/bin/env bash
# Measures what Quorvel costs, against a bare layered 236 x 18 window that draws one short text in
# the bar's face and size when it shows and once a second, under the same Wine:
#   1. launch, five launches of each, alternating, in one warm prefix (quorvel_launch_timer):
#      to the window's picture on the screen, read back from the screen (the bar's skin; the
#      bare window's text), target at most 1.2 times the bare window's median; and to the process
#      ready for input (it has taken every message queued before and its window answers), which
#      must come no later than before the bar-first start (BASELINE=path/to/older/Quorvel.exe
#      launches that program too, in the same rounds, as "before");
#   2. one bar tick on the bar's thread (quorvel_bar_tick_bench; targets: mean at most 0.08 ms,
#      95th percentile at most 0.15 ms), at 96 and at 192 DPI;
#   3. idle: both running side by side, each in its own prefix (so each has its own wineserver),
#      for the same stretch of time: CPU time of the process and its wineserver (target: at most
#      1.1 times the bare window's) and private (anonymous) memory (target: at most 4 MB more).
#      A third program, the bare window with the libraries the bar cannot run without, shows
#      what those alone add. A fourth, the bare window that also reads the bar's adapter once a
#      second with one GetIfEntry2, shows what that reading alone costs: the floor for any
#      program that shows an adapter's rates (not a target; both ratios are reported).
#   4. once, after the runs: the requests each of Quorvel, the bare window and the floor makes to
#      its Wine server a second, every process of its prefix counted; they do not vary by run.
# The whole runs RUNS times (default 3); the summary gives each figure's median and its spread.
# Quorvel runs with its five feeds configured, served by a loopback HTTP server, and from a folder
# of its own (build/measure), so its feed files stay out of the build.
#   tools/measure-idle.sh [seconds]      (default 300; builds the programs first)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-300}
settle=${SETTLE_SECONDS:-10}
runs=${RUNS:-3}
baseline=${BASELINE:-}
bin=$root/build/win/bin
work=$root/build/measure
tools/install-deps.sh
tools/configure.sh win
cmake --build build/win --target Quorvel quorvel_idle_reference quorvel_idle_reference_libraries \
  quorvel_idle_reference_adapter quorvel_launch_timer quorvel_bar_tick_bench

source tools/wine-env.sh
ensure_display

prefixes=("$work"/prefix-{launch,quorvel,reference,libraries,adapter})
feed_server=""
cleanup() {
  for prefix in "${prefixes[@]}"; do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
  [ -z "$feed_server" ] || kill "$feed_server" 2>/dev/null || true
}
trap 'cleanup; kill ${XVFB_PID:-} 2>/dev/null || true' EXIT

rm -rf "$work/program" "$work/before" "$work/feeds" "$work/figures"
mkdir -p "$work/program" "$work/before" "$work/feeds"
cp "$bin/Quorvel.exe" "$work/program/"
[ -z "$baseline" ] || cp "$baseline" "$work/before/Quorvel.exe"
figures=$work/figures # one "name value" line per figure and run
# figure NAME VALUE: one figure of this run, for the summary.
figure() { echo "$1 $2" >>"$figures"; }

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

measure_launch() {
  echo
  echo "== Launch (5 alternating launches each, one warm prefix): to the picture on the screen,"
  echo "   and to ready for input"
  fresh_prefix "$work/prefix-launch" feeds
  local programs=("quorvel=$(winepath -w "$work/program/Quorvel.exe")"
    "bare=$(winepath -w "$bin/quorvel_idle_reference.exe")")
  [ -z "$baseline" ] || programs+=("before=$(winepath -w "$work/before/Quorvel.exe")")
  local launch
  launch=$(wine "$(winepath -w "$bin/quorvel_launch_timer.exe")" 5 "${programs[@]}" 2>/dev/null |
    tr -d '\r')
  echo "$launch"
  while read -r _ name _ painted _ _ ready _; do
    figure "launch_painted_$name" "$painted"
    figure "launch_ready_$name" "$ready"
  done < <(grep '^median ' <<<"$launch")
  awk '/^median quorvel/ { q = $4 } /^median bare/ { b = $4 } END {
      ratio = b > 0 ? q / b : 0
      printf "Launch to the skin on screen: ratio %.2f (target at most 1.20): %s\n", ratio,
             ratio <= 1.2 ? "met" : "NOT met"
      printf "launch_ratio %.3f\n", ratio >> "'"$figures"'"
    }' <<<"$launch"
}

# The tick at the design scale and at 200 %, the prefix's LogPixels set for each.
measure_tick() {
  local dpi tick
  for dpi in 96 192; do
    echo
    echo "== One bar tick at $dpi DPI"
    wineserver -k 2>/dev/null || true
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
      >/dev/null 2>&1
    wineserver -w
    tick=$(wine "$(winepath -w "$bin/quorvel_bar_tick_bench.exe")" 2>/dev/null | tr -d '\r')
    echo "$tick"
    local suffix=""
    [ "$dpi" = 96 ] || suffix="_${dpi}dpi"
    figure "tick_mean$suffix" "$(awk '/^full tick/ { print $4 }' <<<"$tick")"
    figure "tick_p95$suffix" "$(awk '/^full tick/ { print $10 }' <<<"$tick")"
  done
  wineserver -k 2>/dev/null || true
}

measure_idle() {
  echo
  echo "== Idle"
  # start PREFIX EXE: the program in that prefix, made beforehand.
  start() {
    WINEPREFIX=$1 wine "$2" >/dev/null 2>&1 &
  }
  fresh_prefix "$work/prefix-quorvel" feeds
  fresh_prefix "$work/prefix-reference"
  fresh_prefix "$work/prefix-libraries"
  fresh_prefix "$work/prefix-adapter"
  start "$work/prefix-quorvel" "$work/program/Quorvel.exe"
  start "$work/prefix-reference" "$bin/quorvel_idle_reference.exe"
  start "$work/prefix-libraries" "$bin/quorvel_idle_reference_libraries.exe"
  start "$work/prefix-adapter" "$bin/quorvel_idle_reference_adapter.exe"
  echo "All four started; letting them settle for ${settle}s, then measuring for ${seconds}s."
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
  pid[adapter]=$(process_in_prefix 'quorvel_idle_reference_adapter\.exe' "$work/prefix-adapter")
  pid[adapter_server]=$(process_in_prefix wineserver "$work/prefix-adapter")

  declare -A before after
  for key in "${!pid[@]}"; do before[$key]=$(cpu_ms "${pid[$key]}"); done
  sleep "$seconds"
  for key in "${!pid[@]}"; do after[$key]=$(cpu_ms "${pid[$key]}"); done
  feed_files=$(ls "$work/program" | grep -c '^Rss[1-5]\.xml$' || true)

  used() { awk -v a="${after[$1]}" -v b="${before[$1]}" 'BEGIN { printf "%.0f", a - b }'; }
  total() { echo $(($(used "$1") + $(used "$1_server"))); } # own + wineserver
  ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }'; }
  megabytes() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
  row() { # LABEL NAME: one program's line of the table
    local own server
    own=$(used "$2")
    server=$(used "$2_server")
    printf '%-21s %11s  %10s  %5s   %6s MB  %6s MB\n' "$1" "$own" "$server" $((own + server)) \
      "$(megabytes "$(anon_kb "${pid[$2]}")")" "$(megabytes "$(rss_kb "${pid[$2]}")")"
  }

  printf '\nCPU over %ss (ms)     own process  wineserver  total   anonymous   resident\n' "$seconds"
  row Quorvel quorvel
  row 'bare layered window' reference
  row '  reading one adapter' adapter
  printf '  the same, with the bar'"'"'s libraries loaded                %6s MB  %6s MB\n' \
    "$(megabytes "$(anon_kb "${pid[libraries]}")")" "$(megabytes "$(rss_kb "${pid[libraries]}")")"
  echo "Feed files Quorvel downloaded: $feed_files of 5"
  local cpu_ratio floor_ratio over_floor
  cpu_ratio=$(ratio "$(total quorvel)" "$(total reference)")
  floor_ratio=$(ratio "$(total adapter)" "$(total reference)")
  over_floor=$(ratio "$(total quorvel)" "$(total adapter)")
  awk -v ratio="$cpu_ratio" -v qa="$(anon_kb "${pid[quorvel]}")" \
    -v ra="$(anon_kb "${pid[reference]}")" -v la="$(anon_kb "${pid[libraries]}")" 'BEGIN {
      printf "\nCPU ratio %.2f (target at most 1.10): %s\n", ratio, ratio <= 1.1 ? "met" : "NOT met"
      printf "Anonymous memory %+.1f MB (target at most +4.0 MB): %s\n", (qa - ra) / 1024,
             qa - ra <= 4096 ? "met" : "NOT met"
      printf "  of which the libraries alone: %+.1f MB\n", (la - ra) / 1024
    }'
  printf 'The bare window reading one adapter a second: %.2f of the bare window (the floor);\n' \
    "$floor_ratio"
  printf 'Quorvel: %.2f of that floor\n' "$over_floor"
  figure idle_cpu_ratio "$cpu_ratio"
  figure idle_cpu_floor_ratio "$floor_ratio"
  figure idle_cpu_over_floor "$over_floor"
  figure anonymous_delta_mb "$(awk -v qa="$(anon_kb "${pid[quorvel]}")" \
    -v ra="$(anon_kb "${pid[reference]}")" 'BEGIN { printf "%.2f", (qa - ra) / 1024 }')"
  for prefix in "$work"/prefix-{quorvel,reference,libraries,adapter}; do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
}

# Requests to the Wine server, the part of the idle cost that does not vary from run to run:
# each program alone in its prefix, the server tracing every request (which slows it, so this is
# measured apart from the CPU time). Counts every process of the prefix, the device host included.
measure_requests() {
  local window=${REQUEST_SECONDS:-30} name exe feeds log start end rate
  echo
  echo "== Requests to the Wine server per second, over ${window}s after ${settle}s (every process)"
  for name in quorvel reference adapter; do
    feeds=""
    case $name in
      quorvel) exe=$work/program/Quorvel.exe feeds=feeds ;;
      reference) exe=$bin/quorvel_idle_reference.exe ;;
      adapter) exe=$bin/quorvel_idle_reference_adapter.exe ;;
    esac
    fresh_prefix "$work/prefix-$name" $feeds
    # The server must start with the program, to take on its trace channel.
    WINEPREFIX=$work/prefix-$name wineserver -k 2>/dev/null || true
    log=$work/requests-$name.log
    WINEPREFIX=$work/prefix-$name WINEDEBUG=+server wine "$exe" >/dev/null 2>"$log" &
    sleep "$settle"
    start=$(stat -c %s "$log")
    sleep "$window"
    end=$(stat -c %s "$log")
    WINEPREFIX=$work/prefix-$name wineserver -k 2>/dev/null || true
    rate=$(head -c "$end" "$log" | tail -c +$((start + 1)) |
      awk -v window="$window" '/^[0-9a-f]+: [a-z_]+\(/ && !/\) = / { ++requests }
        END { printf "%.1f", requests / window }')
    printf '%-10s %7s requests a second\n' "$name" "$rate"
    figure "requests_$name" "$rate"
  done
}

for run in $(seq "$runs"); do
  echo
  echo "######## Run $run of $runs ($(uptime))"
  rm -f "$work"/program/Rss*.xml
  measure_launch
  measure_tick
  measure_idle
done

measure_requests

echo
echo "######## Summary of $runs runs: median (spread from lowest to highest)"
# The targets: each at most its limit; ready for input no later than the older program's.
awk '
  !($1 in values) { names[++count] = $1 }
  { values[$1] = values[$1] " " $2 }
  function median(list,    n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    low = v[1]; high = v[n]
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  END {
    limit["launch_ratio"] = 1.2; limit["tick_mean"] = 0.08; limit["tick_p95"] = 0.15
    limit["tick_mean_192dpi"] = 0.08; limit["tick_p95_192dpi"] = 0.15
    limit["idle_cpu_ratio"] = 1.1; limit["anonymous_delta_mb"] = 4.0
    for (k = 1; k <= count; ++k) {
      name = names[k]
      m = median(values[name])
      verdict = ""
      if (name in limit) verdict = m <= limit[name] ? "met (at most " limit[name] ")" : "NOT met (at most " limit[name] ")"
      printf "%-26s %10.3f   (%.3f to %.3f)   %s\n", name, m, low, high, verdict
      medians[name] = m
    }
    if ("launch_ready_before" in medians)
      printf "Launch to ready for input against before: %.1f ms against %.1f ms: %s\n",
             medians["launch_ready_quorvel"], medians["launch_ready_before"],
             medians["launch_ready_quorvel"] <= medians["launch_ready_before"] ? "no later" : "LATER"
  }' "$figures"
