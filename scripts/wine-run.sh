#!/usr/bin/env bash
# Runs one Windows program under 32-bit Wine; CTest uses it as the cross-compiling emulator.
# The prefix and display come from scripts/wine-env.sh when it was sourced before.
set -u
: "${WINEPREFIX:=${ORIN_WINEPREFIX:-$HOME/.orin-wine}}"
: "${WINEARCH:=win32}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES
exec wine "$@"
