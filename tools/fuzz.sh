#!/usr/bin/env bash
# Runs each fuzz target for the given number of seconds on a scratch corpus. A crash is a finding,
# and so is a slow input: one that takes a second or more (reported as the slowest unit) or ten
# (a time-out). Inputs go up to 256 KB, large enough that a scan worse than linear shows; a
# target with a dictionary beside its source (NAME.dict) gets its markup pieces.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
failed=0
for target in build/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=build/fuzz-corpus/$name
  mkdir -p "$corpus"
  dict=$(find . -path ./build -prune -o -name "$name.dict" -print | head -1)
  if "$target" -max_total_time="$seconds" -print_final_stats=0 -timeout=10 -report_slow_units=1 \
       -max_len=262144 -artifact_prefix="build/fuzz/$name-" ${dict:+-dict="$dict"} "$corpus" \
       >build/fuzz/$name.log 2>&1 && ! grep -q "^Slowest unit" build/fuzz/$name.log; then
    echo "$name: ran ${seconds}s, no crash, no slow input"
  else
    echo "$name: FAILED (see build/fuzz/$name.log)"; tail -30 build/fuzz/$name.log; failed=1
  fi
done
exit $failed
