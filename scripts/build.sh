#!/usr/bin/env bash
# Configures and builds everything into build/ (or $ORIN_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${ORIN_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" \
      -DCMAKE_BUILD_TYPE="${ORIN_BUILD_TYPE:-Release}" >/dev/null
cmake --build "$build" -j "$(nproc)"
