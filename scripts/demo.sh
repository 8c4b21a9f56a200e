#!/usr/bin/env bash
# The main job on the bundled defaults: set up, build, show the plug-in working on the sample
# drivers through the host tool, move a disc with the station and the robot simulator, and lay out
# the release bundle.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${ORIN_BUILD_DIR:-$root/build}"
bundle="${ORIN_BUNDLE_DIR:-$root/out/OrinRobo-bundle}"

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
source "$root/scripts/wine-env.sh" "$build"
orin_start_services

echo
echo "=== Plug-in: OrinRobo.dll over the sample drivers ==="
bash "$root/scripts/demo-plugin.sh" "$build"

echo
echo "=== Station: Pickwell.exe with the robot simulator ==="
bash "$root/scripts/demo-station.sh" "$build"

echo
echo "=== Release bundle: $bundle ==="
rm -rf "$bundle"
cmake --install "$build" --prefix "$bundle" >/dev/null
(cd "$bundle" && find . -mindepth 1 | sort | sed 's|^\./||')
