# Sourced by the build, test and demo scripts: a private Wine prefix for one build flavour, a
# persistent wineserver and, for the window tests, an Xvfb display of our own. Only processes
# started here are stopped.
# Usage: source scripts/wine-env.sh <flavour build dir>   (build/win32 or build/win64)
#
# Each flavour has its own prefix inside its build folder: win32 for the 32-bit flavour, win64
# for the 64-bit one. The win64 prefix is made with the 64-bit loader and server alone, so it
# can be created on a kernel that runs no 32-bit code. The win32 flavour's Wine is the multiarch
# one or the i386 root's (scripts/flavours.sh says which); orin_wine and orin_wineserver run the
# flavour's own, wherever it lives.
source "$(dirname "${BASH_SOURCE[0]}")/flavours.sh"

orin_build_dir=$(cd "$1" && pwd)
orin_flavour=$(sed -n 's/^ORIN_FLAVOUR:INTERNAL=//p' "$orin_build_dir/CMakeCache.txt" 2>/dev/null)
[ -n "$orin_flavour" ] || orin_flavour=$(basename "$orin_build_dir")
export WINEPREFIX="${ORIN_WINEPREFIX:-$orin_build_dir/wineprefix}"
export ORIN_WINE32_VIA=
case "$orin_flavour" in
  win64)
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    # The 64-bit server; called directly, not through a wrapper that may pick a 32-bit one.
    export WINESERVER=/usr/lib/wine/wineserver64 ;;
  *)
    export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine
    [ -n "${orin_32bit_via+set}" ] || orin_probe_32bit >/dev/null 2>&1 || true
    # wine-run.sh reads it: programs of this flavour run inside the i386 root.
    [ "${orin_32bit_via:-}" = i386-root ] && ORIN_WINE32_VIA=i386-root
    if [ -x /usr/lib/wine/wineserver32 ] || [ "$ORIN_WINE32_VIA" = i386-root ]; then
      export WINESERVER=/usr/lib/wine/wineserver32
    else
      export WINESERVER=/usr/lib/wine/wineserver64
    fi ;;
esac
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine spells Windows file names in the Unix locale's character set: without a UTF-8 locale
# (a bare root has none set) names outside ASCII cannot be created at all.
if [ -z "${LC_ALL:-}" ] && { [ -z "${LANG:-}" ] || [ "$LANG" = C ] || [ "$LANG" = POSIX ]; }; then
  export LANG=C.UTF-8
fi

# The flavour's Wine loader and server; the i386 root's run inside it.
orin_wine_via=()
[ "$ORIN_WINE32_VIA" = i386-root ] && orin_wine_via=(bash "$orin_root/scripts/i386-root.sh" run)
orin_wine() { "${orin_wine_via[@]}" "$WINELOADER" "$@"; }
orin_wineserver() { "${orin_wine_via[@]}" "$WINESERVER" "$@"; }

orin_started_pids=()

orin_stop_services() {
  local pid
  # The wineserver we started with -p lingers on purpose; ask it to go.
  if [ -n "${orin_started_wineserver:-}" ]; then
    orin_wineserver -k >/dev/null 2>&1 || true
  fi
  for pid in "${orin_started_pids[@]:-}"; do
    [ -n "$pid" ] && kill "$pid" >/dev/null 2>&1 || true
  done
}

orin_free_display() {
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n"; return 0
    fi
  done
  return 1
}

orin_start_services() {
  local n
  if [ -z "${ORIN_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    local pid tries
    for tries in 1 2 3 4 5; do
      n=$(orin_free_display) || { echo "wine-env: no free X display" >&2; return 1; }
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      pid=$!
      for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
      # Another run may have taken the same number a moment before us: try the next one.
      if kill -0 "$pid" 2>/dev/null; then break; fi
    done
    orin_started_pids+=("$pid")
    export DISPLAY=":$n"
  fi
  # A prefix is ready once the mark written last by its making is there; one whose making was
  # cut short (a killed run, a full disk) is made anew.
  local mark="$WINEPREFIX/.orin-prefix-complete" fresh=
  if [ ! -f "$mark" ]; then
    if [ -e "$WINEPREFIX" ]; then
      echo "wine-env: $WINEPREFIX was not completed; making it anew"
      orin_wineserver -k >/dev/null 2>&1 || true
      rm -rf --one-file-system "$WINEPREFIX"
    fi
    echo "wine-env: creating $WINEARCH Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    orin_wine wineboot -i >/dev/null 2>&1 || true
    fresh=1
  fi
  # Our server must be running, and persistent, before any program starts: wineboot -i leaves one
  # that ends with its last client, and it would turn "-p" away. Such a server ends between two
  # test programs, and one that starts meanwhile fails ("recvmsg: Connection reset by peer").
  # So wait for a lingering one to end, then start ours; "-p" returns once it listens.
  timeout 30 "${orin_wine_via[@]}" "$WINESERVER" -w >/dev/null 2>&1 || true
  orin_wineserver -p >/dev/null 2>&1 || true
  orin_started_wineserver=1
  orin_wine wineboot >/dev/null 2>&1 || true
  # The first window ever shown in a prefix waits while the display driver sets the prefix up
  # (tens of seconds on a busy machine); a throw-away window takes that wait here, once, so no
  # program under test meets it. rundll32 makes a hidden window for the call and exits.
  if [ -n "$fresh" ]; then
    echo "wine-env: warming the display driver of the new prefix"
    orin_wine rundll32.exe user32.dll,MessageBeep >/dev/null 2>&1 || true
    if [ -f "$WINEPREFIX/system.reg" ]; then
      date > "$mark"
    else
      echo "wine-env: making the prefix $WINEPREFIX failed" >&2
      return 1
    fi
  fi
}

trap orin_stop_services EXIT
