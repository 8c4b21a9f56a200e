#!/usr/bin/env bash
# Sets up the machine, builds both flavours, and runs every test under Wine: the 64-bit suite on
# every machine, the 32-bit suite wherever the kernel runs 32-bit code (multiarch Wine or the
# i386 root), and only the 32-bit contract under emulation where it does not and emulation is
# chosen (scripts/contract32.sh). Extra arguments go to ctest. Prints how the 32-bit flavour ran,
# at the start and again beside the summary. Then the native sanitized build and its
# fuzz targets (scripts/fuzz.sh).
set -euo pipefail
source "$(dirname "$0")/flavours.sh"
bash "$orin_root/scripts/setup.sh"
orin_probe_32bit
echo "$orin_32bit_line"
bash "$orin_root/scripts/build.sh"

flavours=(win64)
[ "$orin_32bit_runs" = 1 ] && flavours=(win32 win64)

passed=0 failed=0 status=0 summary=()
for flavour in "${flavours[@]}"; do
  log=$(orin_flavour_dir "$flavour")/ctest-summary.log
  echo
  echo "=== $flavour suite ==="
  # Each flavour gets its own prefix, server and display, stopped when the subshell ends.
  set +e
  (
    source "$orin_root/scripts/wine-env.sh" "$(orin_flavour_dir "$flavour")"
    orin_start_services
    cd "$orin_build_dir"
    ctest --output-on-failure --timeout 600 -j 2 "$@"
  ) | tee "$log"
  rc=${PIPESTATUS[0]}
  set -e
  [ "$rc" = 0 ] || status=1
  # "100% tests passed, 0 tests failed out of 31"
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    f=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
    n=$(echo "$line" | sed -E 's/.*failed out of ([0-9]+).*/\1/')
    passed=$((passed + n - f)) failed=$((failed + f))
    summary+=("$flavour: $((n - f)) passed, $f failed")
  else
    summary+=("$flavour: no summary (ctest exited $rc)")
    status=1
  fi
done

if [ "$orin_32bit_via" = emulate ]; then
  echo
  echo "=== win32 contract under emulation ==="
  log=$(orin_flavour_dir win32)/contract32.log
  set +e
  bash "$orin_root/scripts/contract32.sh" "$@" | tee "$log"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  set -e
  orin_32bit_line=$(tail -n 1 "$log")
  if [[ "$orin_32bit_line" =~ \(([0-9]+)\ passed,\ ([0-9]+)\ failed\) ]]; then
    passed=$((passed + BASH_REMATCH[1])) failed=$((failed + BASH_REMATCH[2]))
  fi
fi

# Native: the platform-neutral code under clang's sanitizers, its unit tests and kept fuzz
# inputs, then each fuzz target for 15 s (scripts/fuzz.sh). Needs no Wine.
echo
echo "=== native sanitized build and fuzz targets ==="
set +e
bash "$orin_root/scripts/fuzz.sh" --tests all 15 | tee "$orin_build_root/native.log"
rc=${PIPESTATUS[0]}
set -e
[ "$rc" = 0 ] || status=1
while read -r kind p _ f _; do
  passed=$((passed + p)) failed=$((failed + f)) summary+=("$kind $p passed, $f failed")
done < <(grep -E '^(native|fuzz): [0-9]+ passed, [0-9]+ failed' "$orin_build_root/native.log" || true)
grep -q '^native: [0-9]' "$orin_build_root/native.log" || summary+=("native: no summary (fuzz.sh exited $rc)")

echo
for line in "${summary[@]}"; do echo "$line"; done
echo "$orin_32bit_line"
echo "total: $passed passed, $failed failed"
exit "$status"
