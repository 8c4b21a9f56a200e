#!/usr/bin/env bash
# Configures and builds both flavours: build/win32 and build/win64 (under $ORIN_BUILD_DIR when
# set). Arguments name the flavours to build (win32, win64); the default is both.
set -euo pipefail
source "$(dirname "$0")/flavours.sh"
flavours=("$@")
[ ${#flavours[@]} -gt 0 ] || flavours=(win32 win64)
for flavour in "${flavours[@]}"; do
  case "$flavour" in
    win32) toolchain=toolchain-mingw32.cmake; extra=() ;;
    # The 64-bit suite also reads the 32-bit files (PE tables), which needs no 32-bit execution.
    win64) toolchain=toolchain-mingw64.cmake; extra=("-DORIN_PEER_WIN32_DIR=$(orin_flavour_dir win32)") ;;
    *) echo "build: unknown flavour '$flavour' (win32, win64)" >&2; exit 1 ;;
  esac
  dir=$(orin_flavour_dir "$flavour")
  echo "build: $flavour in $dir"
  cmake -S "$orin_root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$orin_root/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE="${ORIN_BUILD_TYPE:-Release}" "${extra[@]}" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
done
