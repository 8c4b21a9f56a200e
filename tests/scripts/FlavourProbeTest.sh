#!/usr/bin/env bash
# How the scripts decide whether the 32-bit suite can run, with stand-in loaders: one that
# starts, one the kernel refuses with "Exec format error", and none at all.
set -u
source "$1/scripts/flavours.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A 64-bit-only kernel refuses 32-bit programs with ENOEXEC; an ELF file for another machine
# gets the same answer here.
cp /bin/true "$scratch/foreign" && printf '\x28\x00' | dd of="$scratch/foreign" bs=1 seek=18 conv=notrunc 2>/dev/null

failures=0
expect() {  # expect <ORIN_32BIT> <loader> <runs> <line> [<status>]
  local status=0
  ORIN_32BIT=$1 orin_wine32_loader=$2
  orin_32bit_runs="" orin_32bit_line=""
  orin_probe_32bit 2>/dev/null || status=1
  if [ "$orin_32bit_runs" != "$3" ] || [ "$orin_32bit_line" != "$4" ] || [ "$status" != "${5:-0}" ]; then
    echo "FAIL: ORIN_32BIT=$1 loader=$2: got runs=$orin_32bit_runs status=$status line '$orin_32bit_line', want runs=$3 status=${5:-0} line '$4'"
    failures=$((failures + 1))
  fi
}

expect auto /bin/true 1 "32-bit: ran"
expect auto "$scratch/foreign" 0 "32-bit: not run (this kernel executes 64-bit code only)"
expect auto "$scratch/missing" 0 "32-bit: not run (32-bit Wine is not installed)"
expect off /bin/true 0 "32-bit: not run (ORIN_32BIT=off)"
expect on /bin/true 1 "32-bit: ran"
expect on "$scratch/foreign" 0 "32-bit: not run (this kernel executes 64-bit code only)" 1
expect sometimes /bin/true "" "" 1

[ "$failures" = 0 ] && echo "flavour probe: all cases passed"
exit "$failures"
