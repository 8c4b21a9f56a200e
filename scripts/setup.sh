#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine, skipping what is present.
# Idempotent: a second run installs nothing and touches no package list.
#
# Both flavours' compilers and the 64-bit Wine are required. The 32-bit Wine (wine32:i386) is
# installed too, but the set-up does not depend on it: on a kernel that runs 64-bit code only it
# is of no use, and where it cannot be installed the test script reports the 32-bit suite as
# not run.
set -euo pipefail

required=(cmake make git googletest
          g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          mingw-w64-x86-64-dev
          clang lld clang-tools llvm libclang-rt-14-dev
          wine wine64 xvfb xauth x11-utils imagemagick fonts-liberation fonts-wine locales-all
          ca-certificates)
optional=(wine32:i386)

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing() { local pkg; for pkg in "$@"; do have_pkg "$pkg" || echo "$pkg"; done; }

need=($(missing "${required[@]}"))
want=($(missing "${optional[@]}"))
if [ ${#need[@]} -eq 0 ] && [ ${#want[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${need[*]} ${want[*]}); run as root to install them" >&2
  [ ${#need[@]} -eq 0 ] && exit 0
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [ ${#want[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
# A mirror in the middle of a sync answers some lists with the wrong size; apt-get then exits
# non-zero although most lists arrived. Try a few times, then go on with what arrived: an
# install that truly lacks its list still fails below, with apt-get's own message.
for attempt in 1 2 3; do
  apt-get update -q && break
  echo "setup: apt-get update failed (attempt $attempt of 3)" >&2
  [ "$attempt" = 3 ] || sleep 10
done
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  apt-get install -y -q --no-install-recommends "${need[@]}"
fi
if [ ${#want[@]} -gt 0 ]; then
  echo "setup: installing ${want[*]}"
  if ! apt-get install -y -q --no-install-recommends "${want[@]}"; then
    echo "setup: ${want[*]} could not be installed; only the 64-bit suite can run here" >&2
  fi
fi
