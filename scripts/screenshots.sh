#!/usr/bin/env bash
# Takes the station's screenshots for the documentation: the main window after its robot check
# and the About window, under the Xvfb display of scripts/wine-env.sh, with ImageMagick's
# `import`. Writes docs/station-main.png and docs/station-about.png.
#   bash scripts/screenshots.sh [build-dir]   (default build/win32, the flavour that ships the station)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
bin="$build/bin"
for f in Pickwell.exe station_ui_probe.exe pickwell-send.exe vtrobots-sim/VTROBOTS20.DLL; do
  [ -f "$bin/$f" ] || { echo "screenshots: $bin/$f is missing; build first" >&2; exit 1; }
done

# A prefix of its own, in which Wine draws the window frames itself (there is no window
# manager on the Xvfb display); the test prefix stays as it is.
export ORIN_WINEPREFIX="$build/wineprefix-screenshots"
source "$root/scripts/wine-env.sh" "$build"
orin_start_services
orin_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

shots="$build/screenshots"
rm -rf "$shots"
mkdir -p "$shots"
cp "$bin/Pickwell.exe" "$bin/vtrobots-sim/VTROBOTS20.DLL" "$shots/"
printf '[Robots]\r\nCount=1\r\nName0=SimRobot 1000\r\nDrive=E\r\n' > "$shots/VTROBOTS20.INI"

grab() {  # grab <window title> <output>
  local id
  id=$(xwininfo -root -tree | grep -F "\"$1\"" | head -1 | awk '{print $1}')
  [ -n "$id" ] || { echo "screenshots: no X window for \"$1\"" >&2; return 1; }
  import -window "$id" "$2"
}

"$root/scripts/wine-run.sh" "$shots/Pickwell.exe" &
station_pid=$!
trap 'kill $station_pid 2>/dev/null || true; orin_stop_services' EXIT
"$root/scripts/wine-run.sh" "$bin/station_ui_probe.exe" wait-name 20000
sleep 1  # let the busy animation stop and the window repaint
grab "Kelvora 2.2" "$root/docs/station-main.png"
"$root/scripts/wine-run.sh" "$bin/station_ui_probe.exe" about
sleep 1
grab "About" "$root/docs/station-about.png"
"$root/scripts/wine-run.sh" "$bin/station_ui_probe.exe" close-about
"$root/scripts/wine-run.sh" "$bin/pickwell-send.exe" close --timeout 30 >/dev/null
wait "$station_pid" || true
echo "screenshots: wrote docs/station-main.png and docs/station-about.png"
