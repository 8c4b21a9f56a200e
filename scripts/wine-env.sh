# Sourced by the build and test scripts: a private Wine prefix, a persistent wineserver and,
# for the window tests, an Xvfb display of our own. Only processes started here are stopped.
# Usage: source scripts/wine-env.sh <build-dir>

orin_build_dir=$(cd "$1" && pwd)
export WINEPREFIX="${ORIN_WINEPREFIX:-$orin_build_dir/wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine spells Windows file names in the Unix locale's character set: without a UTF-8 locale
# (a bare root has none set) names outside ASCII cannot be created at all.
if [ -z "${LC_ALL:-}" ] && { [ -z "${LANG:-}" ] || [ "$LANG" = C ] || [ "$LANG" = POSIX ]; }; then
  export LANG=C.UTF-8
fi

orin_started_pids=()

orin_stop_services() {
  local pid
  # The wineserver we started with -p lingers on purpose; ask it to go.
  if [ -n "${orin_started_wineserver:-}" ]; then
    WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
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
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: creating Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
  fi
  wineserver -p >/dev/null 2>&1 &
  orin_started_wineserver=1
  wineboot >/dev/null 2>&1 || true
}

trap orin_stop_services EXIT
