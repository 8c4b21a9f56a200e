#!/usr/bin/env bash
# The scripts' own logic: how they decide whether and how the 32-bit suite runs, with stand-in
# loaders (one that starts, one the kernel refuses with "Exec format error", none at all), a
# kernel that does or does not run i386 programs, and an i386 root that is or is not made; and
# when a Wine prefix counts as made.
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
emulated="32-bit: contract runs under emulation; the whole 32-bit suite does not run here"
expect auto /bin/true 1 1 1 multiarch "32-bit: ran (multiarch)"
expect auto "$missing" 1 1 1 i386-root "32-bit: ran (i386 root)"
expect auto "$foreign" 0 1 0 emulate "$emulated"
expect auto "$foreign" 0 0 0 "" "32-bit: not run (this kernel executes 64-bit code only)"
expect auto "$missing" 1 0 0 "" "32-bit: not run (32-bit Wine is not installed)"
expect off /bin/true 1 1 0 "" "32-bit: not run (ORIN_32BIT=off)"
expect on "$missing" 1 1 1 i386-root "32-bit: ran (i386 root)"
expect on "$foreign" 0 1 0 "" "32-bit: not run (this kernel executes 64-bit code only)" 1
expect emulate /bin/true 1 1 0 emulate "$emulated"
expect emulate /bin/true 1 0 0 "" "32-bit: not run (ORIN_32BIT=emulate, but the i386 root is not made)"
expect sometimes /bin/true 1 1 "" "" "" 1

# A Wine prefix counts as made only once the mark its making writes last is there: one without
# it (a run cut short) is made anew, a complete one is kept. Wine itself is stood in for.
prefix_case() {  # prefix_case <name> <prepare: none, half or complete> <want it made: 1 or 0>
  local dir=$scratch/$1/win64
  mkdir -p "$dir"
  case "$2" in
    half) mkdir -p "$dir/wineprefix" && touch "$dir/wineprefix/system.reg" "$dir/wineprefix/stale" ;;
    complete) mkdir -p "$dir/wineprefix" && touch "$dir/wineprefix/system.reg" "$dir/wineprefix/.orin-prefix-complete" ;;
  esac
  (
    export ORIN_KEEP_DISPLAY=1 DISPLAY=:0
    source "$root/scripts/wine-env.sh" "$dir" >/dev/null
    WINESERVER=/bin/true
    orin_wine() { [ "$* " != "wineboot -i " ] || { touch "$WINEPREFIX/system.reg" && echo >> "$dir/made"; }; }
    orin_start_services >/dev/null 2>&1
  )
  local got=0 complete=0 stale=0
  [ -f "$dir/made" ] && got=$(wc -l < "$dir/made")
  [ -f "$dir/wineprefix/.orin-prefix-complete" ] && complete=1
  [ -e "$dir/wineprefix/stale" ] && stale=1
  if [ "$got" != "$3" ] || [ "$complete" != 1 ] || { [ "$2" = half ] && [ "$stale" = 1 ]; }; then
    echo "FAIL: prefix $2: made=$got (want $3), mark=$complete, stale file left=$stale"
    failures=$((failures + 1))
  fi
}
root=$1
prefix_case fresh none 1
prefix_case cut-short half 1
prefix_case made complete 0

[ "$failures" = 0 ] && echo "flavour probe: all cases passed"
exit "$failures"
