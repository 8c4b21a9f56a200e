#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test under Wine. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${ORIN_BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
source "$root/scripts/wine-env.sh" "$build"
orin_start_services
cd "$build"
ctest --output-on-failure --timeout 600 -j 2 "$@"
