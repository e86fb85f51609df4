#!/usr/bin/env bash
# Benchmarks: builds, makes a Wine prefix in the build folder and prints figures.
#
#   tools/bench.sh [SECTION]...      (default: every section, in order)
#
# Sections: overwrite (the wipe of a 256 MiB file against dd on the same disk),
# sweep (SweepFolder against a bare FindFirstFile/DeleteFile/RemoveDirectory loop).
# To add a section, write a function bench_NAME and add NAME to SECTIONS.
# PURGIX_BUILD_DIR chooses the build folder (default: build); BENCH_ROUNDS the
# number of sweep rounds (best is kept).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PURGIX_BUILD_DIR:-$root/build}
source "$root/tools/wine-env.sh"

SECTIONS=(overwrite sweep)

export WINEPREFIX="$build/bench-prefix"
drive_c="$WINEPREFIX/drive_c"

wine_run() { wine "$@" 2>/dev/null; }

bench_overwrite() {
    local mib=256 file="$drive_c/bench-dd.bin"
    wine_run "$build/tools/bench_removal.exe" overwrite 'C:\bench-wipe.bin' "$mib"
    # dd over an existing file of the same size, in place, flushed at the end.
    dd if=/dev/zero of="$file" bs=1M count="$mib" status=none
    sync
    local start end
    start=$(date +%s.%N)
    dd if=/dev/zero of="$file" bs=1M count="$mib" conv=notrunc,fsync status=none
    end=$(date +%s.%N)
    rm -f "$file"
    awk -v s="$start" -v e="$end" -v m="$mib" \
        'BEGIN { t = e - s; printf "overwrite: dd bs=1M conv=notrunc,fsync, %d MiB in %.3f s = %.0f MB/s\n", m, t, m * 1048576 / t / 1e6 }'
}

bench_sweep() {
    wine_run "$build/tools/bench_removal.exe" sweep 'C:\bench-sweep' "${BENCH_ROUNDS:-2}"
}

"$root/tools/setup.sh"
"$root/tools/build.sh"
"$root/tools/wineprefix.sh" "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true' EXIT

requested=("$@")
[ ${#requested[@]} -gt 0 ] || requested=("${SECTIONS[@]}")
for section in "${requested[@]}"; do
    if ! declare -F "bench_$section" >/dev/null; then
        echo "bench.sh: unknown section $section (have: ${SECTIONS[*]})" >&2
        exit 2
    fi
    "bench_$section"
done
