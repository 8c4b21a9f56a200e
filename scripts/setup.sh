#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine, skipping what is present.
# Idempotent: a second run installs nothing and touches no package list.
#
# Both flavours' compilers and the 64-bit Wine are required. The 32-bit Wine comes from the
# multiarch wine32:i386 where it installs; where the machine's own packages block it, set-up
# makes the i386 root instead (scripts/i386-root.sh: a 32-bit Debian tree with Wine inside, kept
# outside the clone and reused). On a kernel that runs 64-bit code only the root is made under
# emulation, for the emulated 32-bit contract. ORIN_32BIT=off skips both.
set -euo pipefail
source "$(dirname "$0")/i386-root.sh"

required=(cmake make git googletest
          g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          mingw-w64-x86-64-dev
          clang lld clang-tools llvm libclang-rt-14-dev
          wine wine64 xvfb xauth x11-utils imagemagick fonts-liberation fonts-wine locales-all
          ca-certificates wixl msitools)
optional=(wine32:i386)

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing() { local pkg; for pkg in "$@"; do have_pkg "$pkg" || echo "$pkg"; done; }

# The 32-bit Wine this machine can use: multiarch first, where the kernel runs 32-bit code; the
# i386 root where multiarch failed, and where the kernel runs 64-bit code only (the emulated
# contract runs through it).
wants_32bit() { [ "${ORIN_32BIT:-auto}" != off ]; }
make_i386_root() {
  wants_32bit || return 0
  /usr/lib/wine/wine --version >/dev/null 2>&1 && [ "${ORIN_32BIT:-auto}" != emulate ] && return 0
  orin_i386_root_ready && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: no 32-bit Wine here; run set-up as root to make the i386 root" >&2
    return 0
  fi
  bash "$orin_root/scripts/i386-root.sh" make ||
    echo "setup: the i386 root could not be made; no 32-bit test can run here" >&2
}

need=($(missing "${required[@]}"))
want=()
if wants_32bit && orin_kernel_runs_i386 && ! orin_i386_root_ready; then want=($(missing "${optional[@]}")); fi
if [ ${#need[@]} -eq 0 ] && [ ${#want[@]} -eq 0 ]; then
  echo "setup: all packages present"
  make_i386_root
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${need[*]} ${want[*]:-}); run as root to install them" >&2
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
    echo "setup: ${want[*]} could not be installed; making the i386 root instead" >&2
  fi
fi
make_i386_root
