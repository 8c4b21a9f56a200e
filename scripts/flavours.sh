# Sourced by the build, test and demo scripts: the two build flavours, where each one builds,
# and whether this machine can run the 32-bit one.
#
#   win32  i686, the release flavour: 32-bit Windows, __thiscall/__stdcall
#   win64  x86_64, the flavour for 64-bit hosts; runs on every machine
#
# Both flavours are always built (cross-compiling needs no 32-bit execution). Some kernels run
# 64-bit code only; there the 32-bit suite cannot run, and the scripts say so instead.
# ORIN_32BIT=off pretends such a kernel (to try that path on any machine); ORIN_32BIT=on makes a
# machine that cannot run 32-bit code an error instead of a note.

orin_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
orin_build_root="${ORIN_BUILD_DIR:-$orin_root/build}"

orin_wine32_loader=/usr/lib/wine/wine
orin_wine64_loader=/usr/lib/wine/wine64

# Build folder of one flavour (win32 or win64).
orin_flavour_dir() { echo "$orin_build_root/$1"; }

# Sets orin_32bit_runs (1 or 0) and orin_32bit_line, the line the scripts print about it.
orin_probe_32bit() {
  local why=""
  case "${ORIN_32BIT:-auto}" in
    off) why="ORIN_32BIT=off" ;;
    auto|on) ;;
    *) echo "flavours: ORIN_32BIT must be auto, on or off, not '${ORIN_32BIT}'" >&2; return 1 ;;
  esac
  if [ -z "$why" ]; then
    local out
    if [ ! -x "$orin_wine32_loader" ]; then
      why="32-bit Wine is not installed"
    elif ! out=$("$orin_wine32_loader" --version 2>&1); then
      case "$out" in
        *"Exec format error"*) why="this kernel executes 64-bit code only" ;;
        *) why="the 32-bit Wine loader does not start: $(echo "$out" | head -n 1)" ;;
      esac
    fi
  fi
  if [ -z "$why" ]; then
    orin_32bit_runs=1
    orin_32bit_line="32-bit: ran"
  else
    orin_32bit_runs=0
    orin_32bit_line="32-bit: not run ($why)"
    if [ "${ORIN_32BIT:-auto}" = on ]; then
      echo "flavours: ORIN_32BIT=on, but $why" >&2
      return 1
    fi
  fi
}
