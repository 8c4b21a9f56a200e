#!/usr/bin/env bash
# Builds both flavours and runs every benchmark in each flavour this machine can run (the 32-bit
# one only where the kernel runs 32-bit code). Each program prints the flavour it measured.
# Arguments name benchmark programs to run (default: all).
set -euo pipefail
source "$(dirname "$0")/flavours.sh"
bash "$orin_root/scripts/setup.sh"
orin_probe_32bit
bash "$orin_root/scripts/build.sh" >/dev/null
programs=("$@")
[ ${#programs[@]} -gt 0 ] ||
  programs=(bench_refresh paths_find_benchmark bench_files bench_path_text station_latency_bench)
flavours=(win64)
[ "$orin_32bit_runs" = 1 ] && flavours=(win32 win64)
for flavour in "${flavours[@]}"; do
  (
    source "$orin_root/scripts/wine-env.sh" "$(orin_flavour_dir "$flavour")"
    orin_start_services
    for program in "${programs[@]}"; do
      echo
      echo "=== $program ($flavour) ==="
      "$orin_root/scripts/wine-run.sh" "$orin_build_dir/bin/$program.exe" | tr -d '\r'
    done
  )
done
echo
echo "$orin_32bit_line"
