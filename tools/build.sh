#!/usr/bin/env bash
# Configures and builds purgix.exe, the setup program, the tests and the tools with the
# mingw-w64 cross compiler. Arguments name the targets to build (default: all).
# PURGIX_BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PURGIX_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DPURGIX_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)" ${1:+--target "$@"}
