#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine, skipping what is present.
# Idempotent: a second run installs nothing and touches no package list.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for pkg in cmake make git googletest g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix \
           binutils-mingw-w64-i686 mingw-w64-i686-dev wine wine32:i386 xvfb xauth x11-utils \
           imagemagick ca-certificates locales-all; do
  have_pkg "$pkg" || need+=("$pkg")
done

if [ ${#need[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${need[*]}); run as root to install them" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
echo "setup: installing ${need[*]}"
apt-get update -q
apt-get install -y -q --no-install-recommends "${need[@]}"
