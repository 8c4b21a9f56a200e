#!/usr/bin/env bash
# How the scripts decide whether and how the 32-bit suite runs, with stand-in loaders (one that
# starts, one the kernel refuses with "Exec format error", none at all), a kernel that does or
# does not run i386 programs, and an i386 root that is or is not made.
set -u
source "$1/scripts/flavours.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A 64-bit-only kernel refuses 32-bit programs with ENOEXEC; an ELF file for another machine
# gets the same answer here.
cp /bin/true "$scratch/foreign" && printf '\x28\x00' | dd of="$scratch/foreign" bs=1 seek=18 conv=notrunc 2>/dev/null

failures=0
expect() {  # expect <ORIN_32BIT> <loader> <kernel runs i386> <root made> <runs> <via> <line> [<status>]
  local status=0
  ORIN_32BIT=$1 orin_wine32_loader=$2 kernel_i386=$3 root_made=$4
  orin_32bit_runs="" orin_32bit_via="" orin_32bit_line=""
  orin_probe_32bit 2>/dev/null || status=1
  if [ "$orin_32bit_runs" != "$5" ] || [ "$orin_32bit_via" != "$6" ] || [ "$orin_32bit_line" != "$7" ] ||
     [ "$status" != "${8:-0}" ]; then
    echo "FAIL: ORIN_32BIT=$1 loader=$2 kernel=$3 root=$4: got runs=$orin_32bit_runs via=$orin_32bit_via" \
         "status=$status line '$orin_32bit_line', want runs=$5 via=$6 status=${8:-0} line '$7'"
    failures=$((failures + 1))
  fi
}
orin_kernel_runs_i386() { [ "$kernel_i386" = 1 ]; }
orin_i386_root_ready() { [ "$root_made" = 1 ]; }

missing=$scratch/missing foreign=$scratch/foreign
expect auto /bin/true 1 1 1 multiarch "32-bit: ran (multiarch)"
expect auto "$missing" 1 1 1 i386-root "32-bit: ran (i386 root)"
expect auto "$foreign" 0 1 0 "" "32-bit: not run (this kernel executes 64-bit code only)"
expect auto "$missing" 0 1 0 "" "32-bit: not run (this kernel executes 64-bit code only)"
expect auto "$missing" 1 0 0 "" "32-bit: not run (32-bit Wine is not installed)"
expect off /bin/true 1 1 0 "" "32-bit: not run (ORIN_32BIT=off)"
expect on "$missing" 1 1 1 i386-root "32-bit: ran (i386 root)"
expect on "$foreign" 0 1 0 "" "32-bit: not run (this kernel executes 64-bit code only)" 1
expect emulate /bin/true 1 1 0 emulate "32-bit: contract runs under emulation; the whole 32-bit suite does not"
expect emulate /bin/true 1 0 0 "" "32-bit: not run (ORIN_32BIT=emulate, but the i386 root is not made)"
expect sometimes /bin/true 1 1 "" "" "" 1

[ "$failures" = 0 ] && echo "flavour probe: all cases passed"
exit "$failures"
