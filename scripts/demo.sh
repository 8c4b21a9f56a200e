#!/usr/bin/env bash
# The main job on the bundled defaults: set up, build both flavours, show the plug-in working on
# the sample drivers through the host tool, move a disc with the station and the robot simulator,
# and lay out the release bundle. The demo runs the 32-bit flavour (the release deliverable)
# where this machine runs 32-bit code, and the 64-bit flavour otherwise; it says which.
set -euo pipefail
source "$(dirname "$0")/flavours.sh"
bundle="${ORIN_BUNDLE_DIR:-$orin_root/out/OrinRobo-bundle}"

bash "$orin_root/scripts/setup.sh"
orin_probe_32bit
bash "$orin_root/scripts/build.sh"
if [ "$orin_32bit_runs" = 1 ]; then
  flavour=win32
else
  flavour=win64
fi
echo
echo "$orin_32bit_line"
echo "demo: running the $flavour flavour"
source "$orin_root/scripts/wine-env.sh" "$(orin_flavour_dir "$flavour")"
orin_start_services

echo
echo "=== Plug-in ($flavour): OrinRobo.dll over the sample drivers ==="
bash "$orin_root/scripts/demo-plugin.sh" "$orin_build_dir"

echo
echo "=== Station ($flavour): Pickwell.exe with the robot simulator ==="
bash "$orin_root/scripts/demo-station.sh" "$orin_build_dir"

echo
echo "=== Release bundle: $bundle ==="
# Both flavours: the 32-bit one at the top (with the station PC's installer Pickwell-Setup-<version>.msi),
# the 64-bit plug-in, host tool and drivers in x64/.
rm -rf "$bundle"
cmake --install "$(orin_flavour_dir win32)" --prefix "$bundle" >/dev/null
cmake --install "$(orin_flavour_dir win64)" --prefix "$bundle" >/dev/null
(cd "$bundle" && find . -mindepth 1 | sort | sed 's|^\./||')
# The one archive handed out: OrinRobo-<version>.zip beside the bundle, with a SHA-256 list.
cmake -DBUNDLE="$bundle" -P "$orin_root/cmake/Archive.cmake"
echo
echo "demo: ran the $flavour flavour ($orin_32bit_line)"
