#!/usr/bin/env bash
# Builds the platform-neutral code for this machine with clang's address and undefined-behaviour
# sanitizers (native/, into build/native) and fuzzes it.
#
#   scripts/fuzz.sh [--tests] [TARGET|all] [SECONDS]      default: all targets, 60 s each
#                                                         (SECONDS 0: build and test only)
# --tests first runs the native unit tests and replays every target's seeds and kept crash inputs.
# Each target grows its working corpus in build/native/corpus/TARGET; a crash stops it, prints the
# input and the sanitizer's report, and leaves the input in build/native/crashes/. Exits non-zero
# on any crash or failed test. Ends with "native: N passed, N failed" (with --tests) and
# "fuzz: N passed, N failed" lines.
set -euo pipefail
source "$(dirname "$0")/flavours.sh"

run_tests=0
[ "${1:-}" = --tests ] && { run_tests=1; shift; }
chosen=${1:-all}
seconds=${2:-60}
src="$orin_root/native"
dir="$orin_build_root/native"
targets=($(sed -n 's/^orin_add_fuzz_target(\([a-z_]*\) .*/\1/p' "$src/CMakeLists.txt"))
if [ "$chosen" != all ]; then
  if [[ " ${targets[*]} " != *" $chosen "* ]]; then
    echo "fuzz: no target '$chosen' (${targets[*]})" >&2
    exit 2
  fi
  targets=("$chosen")
fi
case "$seconds" in ''|*[!0-9]*) echo "fuzz: SECONDS must be a whole number, not '$seconds'" >&2; exit 2 ;; esac
[ "$seconds" -gt 0 ] || targets=()  # 0: build (and test) only

# The set-up installs what is missing; asked only when something this build needs is missing.
for pkg in cmake clang-14 libclang-rt-14-dev googletest; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    bash "$orin_root/scripts/setup.sh"
    break
  fi
done
echo "fuzz: building in $dir"
cmake -S "$src" -B "$dir" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
if ! cmake --build "$dir" -j "$(nproc)" >"$dir/build.log" 2>&1; then
  tail -n 40 "$dir/build.log"
  echo "fuzz: the native build failed (all of it in $dir/build.log)" >&2
  exit 1
fi

status=0
if [ "$run_tests" = 1 ]; then
  set +e
  (cd "$dir" && ctest --output-on-failure) | tee "$dir/ctest.log"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  set -e
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$dir/ctest.log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    failed=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/')
    total=$(echo "$line" | sed -E 's/.*failed out of ([0-9]+).*/\1/')
    echo "native: $((total - failed)) passed, $failed failed"
  else
    echo "native: 0 passed, 1 failed (no ctest summary)"
    status=1
  fi
fi

crashed=0
mkdir -p "$dir/crashes" "$dir/logs"
for target in "${targets[@]}"; do
  work="$dir/corpus/$target"
  log="$dir/logs/$target.log"
  mkdir -p "$work"
  seeds=()
  for kind in corpus regressions; do
    [ -d "$src/fuzz/$target/$kind" ] && seeds+=("$src/fuzz/$target/$kind")
  done
  set +e
  # The first folder takes what the run finds; the seeds are only read. A hang is a fault too.
  "$dir/fuzz_$target" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
      -artifact_prefix="$dir/crashes/$target-" "$work" "${seeds[@]}" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  if [ "$rc" = 0 ]; then
    echo "fuzz: $target: ${runs:-?} runs in $seconds s (${rate:-?}/s), no crash"
    continue
  fi
  crashed=$((crashed + 1))
  status=1
  input=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
  echo "fuzz: $target: CRASH after ${runs:-?} runs (exit $rc); the report, from $log:"
  grep -E 'ERROR|broken promise|runtime error|SUMMARY|^    #[0-9]+ ' "$log" | head -n 40 || tail -n 40 "$log"
  if [ -n "$input" ] && [ -f "$input" ]; then
    echo "fuzz: $target: the input ($(stat -c %s "$input") bytes), $input:"
    od -A d -t x1z -v "$input" | head -n 40
    echo "fuzz: $target: keep it: cp '$input' native/fuzz/$target/regressions/<what-it-shows>, then mend the code"
  fi
done
if [ ${#targets[@]} -gt 0 ]; then
  echo "fuzz: $((${#targets[@]} - crashed)) passed, $crashed failed (targets run $seconds s each; a crash fails)"
fi
exit "$status"
