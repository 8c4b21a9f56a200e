#!/usr/bin/env bash
# The 32-bit binary contract under user-mode emulation, for a kernel that runs 64-bit code only
# (or any machine, with ORIN_32BIT=emulate): the few programs of build/win32 that prove what only
# the 32-bit build can get wrong, CTest label contract32 (vtable slots and __thiscall calls across
# the boundary, the Microsoft-ABI host over the g++ and the Microsoft-ABI drivers, the catalogue
# and the creation adapters over the sample drivers). The export tables of the 32-bit files are
# read by the 64-bit suite's test_plugin_image_win32 on every machine.
#
# They run inside the i386 root in a 64-bit prefix of their own (build/win32/wineprefix-emulated):
# the root's 64-bit wineserver and Wine's background programs run natively, each 32-bit program
# under qemu (scripts/i386-root.sh). Each emulated Wine process costs about a CPU-minute to start,
# so the set is small and each program a single process.
#
# Usage: bash scripts/contract32.sh [CTEST ARGS...]   (after scripts/setup.sh and scripts/build.sh)
# The last line it prints is "32-bit: contract ran under emulation (N passed, N failed)"; the exit
# code is 0 only when every program ran and passed.
set -uo pipefail
source "$(dirname "$0")/flavours.sh"
if ! orin_i386_root_ready; then
  echo "32-bit: contract not run (the i386 root is not made; run scripts/setup.sh as root)"
  exit 1
fi
build=$(orin_flavour_dir win32)
log="$build/contract32-summary.log"
(
  orin_32bit_via=emulate
  source "$orin_root/scripts/wine-env.sh" "$build"
  orin_start_services
  cd "$orin_build_dir"
  ctest -L contract32 --output-on-failure --timeout 900 -j 2 "$@"
) | tee "$log"
rc=${PIPESTATUS[0]}
# "100% tests passed, 0 tests failed out of 4"
line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
if [ -z "$line" ]; then
  echo "32-bit: contract under emulation gave no summary (ctest exited $rc)"
  exit 1
fi
failed=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests? failed out of.*/\1/')
total=$(echo "$line" | sed -E 's/.*failed out of ([0-9]+).*/\1/')
echo "32-bit: contract ran under emulation ($((total - failed)) passed, $failed failed)"
[ "$rc" = 0 ] && [ "$failed" = 0 ]
