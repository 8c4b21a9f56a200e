# Sourced by the build, test and demo scripts: the two build flavours, where each one builds,
# and whether this machine can run the 32-bit one.
#
#   win32  i686, the release flavour: 32-bit Windows, __thiscall/__stdcall
#   win64  x86_64, the flavour for 64-bit hosts; runs on every machine
#
# Both flavours are always built (cross-compiling needs no 32-bit execution). The 32-bit suite
# runs through the first of these that works here:
#   multiarch  Debian's wine32:i386 beside the 64-bit Wine
#   i386 root  a 32-bit Debian tree with Wine inside (scripts/i386-root.sh), where the machine's
#              own packages block the multiarch install
# Some kernels run 64-bit code only; there the whole 32-bit suite cannot run, and the scripts say
# so instead. ORIN_32BIT=off pretends such a kernel (to try that path on any machine);
# ORIN_32BIT=on makes a machine that cannot run the 32-bit suite an error instead of a note;
# ORIN_32BIT=emulate runs the 32-bit contract programs through the i386 root under user-mode
# emulation (scripts/contract32.sh), as a 64-bit-only kernel would.

orin_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
orin_build_root="${ORIN_BUILD_DIR:-$orin_root/build}"
source "$orin_root/scripts/i386-root.sh"

orin_wine32_loader=/usr/lib/wine/wine
orin_wine64_loader=/usr/lib/wine/wine64

# Build folder of one flavour (win32 or win64).
orin_flavour_dir() { echo "$orin_build_root/$1"; }

# Sets orin_32bit_runs (1 when the whole 32-bit suite runs), orin_32bit_via (how 32-bit programs
# run: multiarch, i386-root, emulate, or empty) and orin_32bit_line, the line the scripts print.
orin_probe_32bit() {
  local why="" via="" out
  case "${ORIN_32BIT:-auto}" in
    off) why="ORIN_32BIT=off" ;;
    emulate)
      if orin_i386_root_ready; then via=emulate; else why="ORIN_32BIT=emulate, but the i386 root is not made"; fi ;;
    auto|on)
      if [ -x "$orin_wine32_loader" ] && out=$("$orin_wine32_loader" --version 2>&1); then
        via=multiarch
      elif ! orin_kernel_runs_i386; then
        why="this kernel executes 64-bit code only"
      elif orin_i386_root_ready; then
        via=i386-root
      elif [ -x "$orin_wine32_loader" ]; then
        why="the 32-bit Wine loader does not start: $(echo "$out" | head -n 1)"
      else
        why="32-bit Wine is not installed"
      fi ;;
    *) echo "flavours: ORIN_32BIT must be auto, on, off or emulate, not '${ORIN_32BIT}'" >&2; return 1 ;;
  esac
  orin_32bit_via=$via orin_32bit_runs=0
  case "$via" in
    multiarch) orin_32bit_runs=1 orin_32bit_line="32-bit: ran (multiarch)" ;;
    i386-root) orin_32bit_runs=1 orin_32bit_line="32-bit: ran (i386 root)" ;;
    emulate) orin_32bit_line="32-bit: contract runs under emulation; the whole 32-bit suite does not" ;;
    *) orin_32bit_line="32-bit: not run ($why)" ;;
  esac
  if [ "$orin_32bit_runs" = 0 ] && [ "${ORIN_32BIT:-auto}" = on ]; then
    echo "flavours: ORIN_32BIT=on, but $why" >&2
    return 1
  fi
}
