#!/usr/bin/env bash
# Shows the robot station at work beside the robot simulator: starts Pickwell.exe, loads and
# unloads a disc with pickwell-send, prints the outcomes and the simulator's call log, and closes
# the station (which parks the robot). Run it with the Wine environment already sourced:
#   source scripts/wine-env.sh build/win32 && orin_start_services && bash scripts/demo-station.sh build/win32
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: demo-station.sh <build-dir>}" && pwd)
bin="$build/bin"
for f in "$bin/Pickwell.exe" "$bin/pickwell-send.exe" "$bin/vtrobots-sim/VTROBOTS20.DLL"; do
  [ -f "$f" ] || { echo "demo-station: $f is missing; build first" >&2; exit 1; }
done

demo="$build/demo-station"
rm -rf "$demo"
mkdir -p "$demo"
cp "$bin/Pickwell.exe" "$bin/vtrobots-sim/VTROBOTS20.DLL" "$demo/"
cat > "$demo/VTROBOTS20.INI" <<'INI'
[Robots]
Count=1
Name0=SimRobot 1000
Drive=E
[Delays]
ConnectMs=1500
LoadMs=800
UnloadMs=800
[Log]
File=vtrobots-sim.log
INI

send() { "$root/scripts/wine-run.sh" "$bin/pickwell-send.exe" "$@" | tr -d '\r'; }

echo "== starting Pickwell.exe beside the simulator in $demo"
"$root/scripts/wine-run.sh" "$demo/Pickwell.exe" &
station_pid=$!
# A host waits for the window only; a command sent during the robot's start-up is held until it ends.
# The first start in a new Wine prefix on a busy machine can take much longer: say so and wait on.
if ! send wait --timeout 20; then
  echo "== still waiting for the station window (a first start can take a minute or two)"
  send wait --timeout 160 ||
    { echo "demo-station: the station window did not appear within 3 minutes" >&2; kill "$station_pid" 2>/dev/null; exit 1; }
fi

status=0
echo "== load a disc";   send load --timeout 30 || status=1
echo "== unload it";     send unload --timeout 30 || status=1
echo "== close the station"
send close --timeout 30 || status=1
for _ in $(seq 1 100); do
  kill -0 "$station_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$station_pid" 2>/dev/null; then
  echo "demo-station: the station is still running" >&2
  kill "$station_pid" 2>/dev/null || true
  status=1
fi
echo "== the simulator's call log"
tr -d '\r' < "$demo/vtrobots-sim.log"
exit $status
