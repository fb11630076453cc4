#!/usr/bin/env bash
# Builds the program and packs it: build/dist/Quorvel-<version>-win64.zip and, with makensis,
# build/dist/Quorvel-<version>-setup.exe. The version is the project version in CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQUORVEL_DIST_DIR="$PWD/build/dist" >/dev/null
cmake --build build/win --target dist
ls -l build/dist/
