#!/usr/bin/env bash
# Builds the portable code natively (with sanitizers), the fuzz targets (clang) and the Windows
# program with its tests (MinGW-w64). Outputs land under build/.
set -euo pipefail
cd "$(dirname "$0")/.."

for kind in native fuzz win; do
  tools/configure.sh "$kind"
  cmake --build "build/$kind"
done
