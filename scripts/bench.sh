#!/usr/bin/env bash
# Builds both flavours and runs every benchmark in each flavour this machine can run (the 32-bit
# one only where the kernel runs 32-bit code). Each program prints the flavour it measured, one
# line per size of its series and, per series, whether the cost grows in step with the work.
# Usage: bench.sh [--full] [program...]
#   --full    every size: 2,000 drivers, 200,000 folder entries, a 1 GiB file, 8 senders (needs
#             3 GiB of free disk and about 5 minutes on 2 cores); without it each series stops
#             one size short and the whole run takes under 5 minutes.
#   program   benchmark programs to run (default: all)
# The figures compare each measurement with its raw baseline taken in the same run, yet a machine
# busy with other work still blurs them: the load average is printed first.
set -euo pipefail
source "$(dirname "$0")/flavours.sh"
full=()
programs=()
for argument in "$@"; do
  case "$argument" in
    --full) full=(--full) ;;
    -*) echo "usage: bench.sh [--full] [program...]" >&2; exit 4 ;;
    *) programs+=("$argument") ;;
  esac
done
[ ${#programs[@]} -gt 0 ] ||
  programs=(bench_refresh paths_find_benchmark bench_files bench_path_text station_latency_bench)
bash "$orin_root/scripts/setup.sh"
orin_probe_32bit
bash "$orin_root/scripts/build.sh" >/dev/null
flavours=(win64)
[ "$orin_32bit_runs" = 1 ] && flavours=(win32 win64)
if [ ${#full[@]} -gt 0 ]; then
  # The scratch files go to the prefix's temporary folder, inside the build folder.
  free_kib=$(df -Pk "$(orin_flavour_dir win64)" | awk 'NR == 2 { print $4 }')
  if [ "$free_kib" -lt $((3 * 1024 * 1024)) ]; then
    echo "bench: --full needs 3 GiB of free disk; $((free_kib / 1024)) MiB are free" >&2
    exit 1
  fi
fi
echo "load average before the run: $(cut -d ' ' -f 1-3 /proc/loadavg) on $(nproc) cores"
failed=0
for flavour in "${flavours[@]}"; do
  (
    source "$orin_root/scripts/wine-env.sh" "$(orin_flavour_dir "$flavour")"
    orin_start_services
    status=0
    for program in "${programs[@]}"; do
      echo
      echo "=== $program ($flavour) ==="
      if ! "$orin_root/scripts/wine-run.sh" "$orin_build_dir/bin/$program.exe" "${full[@]}" | tr -d '\r'; then
        echo "bench: $program ($flavour) did not measure everything" >&2
        status=1
      fi
    done
    exit $status
  ) || failed=1
done
echo
echo "load average after the run: $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo "$orin_32bit_line"
exit $failed
