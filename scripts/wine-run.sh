#!/usr/bin/env bash
# Runs one Windows program under 32-bit Wine; CTest uses it as the cross-compiling emulator.
# The prefix and display come from scripts/wine-env.sh when it was sourced before.
set -u
: "${WINEPREFIX:=${ORIN_WINEPREFIX:-$HOME/.orin-wine}}"
: "${WINEARCH:=win32}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
# Wine spells Windows file names in the Unix locale's character set: without a UTF-8 locale
# (a bare root has none set) names outside ASCII cannot be created at all.
if [ -z "${LC_ALL:-}" ] && { [ -z "${LANG:-}" ] || [ "$LANG" = C ] || [ "$LANG" = POSIX ]; }; then
  export LANG=C.UTF-8
fi
export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES
exec wine "$@"
