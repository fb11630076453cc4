#!/usr/bin/env bash
# Builds the portable code natively (with sanitizers), the fuzz targets (clang) and the Windows
# program with its tests (MinGW-w64). Outputs land under build/.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" >/dev/null
cmake --build build/native

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz

cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQUORVEL_DIST_DIR="$PWD/build/dist" >/dev/null
cmake --build build/win
