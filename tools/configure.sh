#!/usr/bin/env bash
# Configures one build folder of the tree this script lives in:
#   tools/configure.sh native   portable code and its tests, with ASan and UBSan (build/native)
#   tools/configure.sh fuzz     the libFuzzer targets, built with clang (build/fuzz)
#   tools/configure.sh win      the program and its Windows tests, MinGW-w64 (build/win)
# The toolchain file is only given to a new folder: CMake keeps it in the cache and warns about
# it as unused when it is given again.
set -euo pipefail
cd "$(dirname "$0")/.."
kind=$1
folder=build/$kind
case $kind in
native)
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" ;;
fuzz)
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ ;;
win)
  toolchain=()
  [ -f "$folder/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake)
  cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release "${toolchain[@]}" \
    -DQUORVEL_DIST_DIR="$PWD/build/dist" ;;
*)
  echo "usage: $0 native|fuzz|win" >&2
  exit 2 ;;
esac >/dev/null
