#!/usr/bin/env bash
# Runs one Windows program under Wine; CTest uses it as the cross-compiling emulator. The loader
# follows the program's machine type (32-bit or 64-bit); a 32-bit program runs inside the i386
# root where that is the machine's 32-bit Wine (scripts/i386-root.sh). The prefix and display
# come from scripts/wine-env.sh when it was sourced before.
set -u
program="${1:?usage: wine-run.sh PROGRAM [ARGS...]}"

# Machine field of the PE header: 0x8664 for x86-64, 0x14c for i386.
pe_machine() {
  local offset
  offset=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$offset" ] || return 1
  od -An -t x2 -j $((offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' '
}

if [ "$(pe_machine "$program")" = 8664 ]; then
  WINELOADER=/usr/lib/wine/wine64
  : "${WINEARCH:=win64}"
else
  WINELOADER=/usr/lib/wine/wine
  : "${WINEARCH:=win32}"
fi
: "${WINEPREFIX:=${ORIN_WINEPREFIX:-$HOME/.orin-wine-$WINEARCH}}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
# Wine spells Windows file names in the Unix locale's character set: without a UTF-8 locale
# (a bare root has none set) names outside ASCII cannot be created at all.
if [ -z "${LC_ALL:-}" ] && { [ -z "${LANG:-}" ] || [ "$LANG" = C ] || [ "$LANG" = POSIX ]; }; then
  export LANG=C.UTF-8
fi
export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES WINELOADER
if [ "$WINELOADER" = /usr/lib/wine/wine ]; then
  # Unset: not under wine-env.sh; take the i386 root when there is no multiarch Wine.
  if [ -z "${ORIN_WINE32_VIA+set}" ] && [ ! -x "$WINELOADER" ]; then
    source "$(dirname "$0")/i386-root.sh"
    orin_i386_root_ready && ORIN_WINE32_VIA=i386-root
  fi
  if [ "${ORIN_WINE32_VIA:-}" = i386-root ]; then
    : "${WINESERVER:=/usr/lib/wine/wineserver32}"
    export WINESERVER
    exec bash "$(dirname "$0")/i386-root.sh" run "$WINELOADER" "$@"
  fi
fi
exec "$WINELOADER" "$@"
