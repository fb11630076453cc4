#!/usr/bin/env bash
# The emulator CTest runs Windows test programs with. Now and then Wine fails to start a program
# at all: it ends at once with an error code and prints nothing, not even the test framework's
# first line. That says nothing about the test, so it is run again (twice at most), saying so;
# any run that printed something counts as it stands.
set -uo pipefail
output=$(mktemp)
trap 'rm -f "$output"' EXIT
for attempt in 1 2 3; do
  wine "$@" > >(tee "$output") 2> >(tee -a "$output" >&2)
  status=$?
  wait
  if [ "$status" -eq 0 ] || [ -s "$output" ] || [ "$attempt" -eq 3 ]; then
    exit "$status"
  fi
  echo "wine ended with code $status before the program printed anything: starting it again" >&2
done
