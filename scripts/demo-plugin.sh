#!/usr/bin/env bash
# Shows the plug-in at work on the bundled sample drivers: the catalogue as a table and as JSON,
# a driver of each generation created and driven, both configuration calls, a firmware check.
# Usage: scripts/demo-plugin.sh <build-dir>   (with scripts/wine-env.sh sourced and its services
# started). Stops at the first step that fails, with that step's exit code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: demo-plugin.sh <build-dir>}" && pwd)
host="$build/bin/orinhost.exe"
if [ ! -f "$host" ]; then
  echo "demo-plugin: $host is missing; build first (scripts/build.sh)" >&2
  exit 1
fi

step() {
  echo
  local shown="" arg
  for arg in "$@"; do
    case "$arg" in *" "*) shown+=" \"$arg\"" ;; *) shown+=" $arg" ;; esac
  done
  echo "\$ orinhost$shown"
  "$root/scripts/wine-run.sh" "$host" "$@" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

step info
step list --json
step create "Sample Robot Gen1" --arg 3
step create "Sample Robot Gen5" --v2 --arg 2 --arg2 1
step configure "Sample Robot Gen1" --arg 0
step configure "Sample Robot Gen4" --v2 --arg 5 --arg2 6
step firmware "Sample Robot Gen4" --drive 2
step firmware "Sample Robot Gen5" --drive 2 --firmware 0x0100
echo
echo "demo-plugin: done"
