#!/usr/bin/env bash
# Runs each fuzz target for the given number of seconds on a scratch corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
failed=0
for target in build/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=build/fuzz-corpus/$name
  mkdir -p "$corpus"
  if "$target" -max_total_time="$seconds" -print_final_stats=0 "$corpus" >build/fuzz/$name.log 2>&1; then
    echo "$name: ran ${seconds}s, no crash"
  else
    echo "$name: FAILED (see build/fuzz/$name.log)"; tail -30 build/fuzz/$name.log; failed=1
  fi
done
exit $failed
