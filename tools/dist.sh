#!/usr/bin/env bash
# Builds the program and packs it: build/dist/Quorvel-<version>-win64.zip and, with makensis,
# build/dist/Quorvel-<version>-setup.exe. The version is the project version in CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/configure.sh win
cmake --build build/win --target dist
ls -l build/dist/
