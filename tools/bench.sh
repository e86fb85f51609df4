#!/usr/bin/env bash
# Benchmarks: builds, makes a Wine prefix in the build folder and prints figures.
#
#   tools/bench.sh [SECTION]...      (default: every section, in order)
#
# Sections: overwrite (the wipe of a 256 MiB file against dd on the same disk),
# sweep (SweepFolder against a bare FindFirstFile/DeleteFile/RemoveDirectory loop),
# window (a whole cleaning run through the real window over a cache of 20,000 files
# in 2,000 folders, against the bare loop over the same tree: wall time, peak memory),
# rules (loading and detecting a generated rules file of the community file's shape,
# about 4,000 entries and 1.8 MB: time and memory growth), free-space (purgix-cli
# wipe-free filling a loop-mounted 512 MiB ext4 drive, against dd bs=4M conv=fsync and
# dd oflag=direct filling the same free space on the host, the fastest of BENCH_ROUNDS).
# To add a section, write a function bench_NAME and add NAME to SECTIONS.
# PURGIX_BUILD_DIR chooses the build folder (default: build); BENCH_ROUNDS the
# number of sweep and free-space rounds (best is kept).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PURGIX_BUILD_DIR:-$root/build}
source "$root/tools/wine-env.sh"

SECTIONS=(overwrite sweep window rules free-space)

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

# A cache tree made on the host: TOP folders of 10 subfolders of 10 files of 90 bytes,
# the shape bench_removal uses for its bare loop.
make_cache_tree() {
    python3 - "$1" "$2" <<'EOF'
import os, sys
root, top = sys.argv[1], int(sys.argv[2])
for t in range(top):
    for s in range(10):
        folder = f"{root}/t{t}/s{s}"
        os.makedirs(folder, exist_ok=True)
        for f in range(10):
            with open(f"{folder}/f{f}.dat", "wb") as out:
                out.write(b"x" * 90)
EOF
}

# Inside a display: one run through the window (pressed by purgix-driver, question
# answered "No"); prints "SECONDS PEAK_KB FILES". The peak is VmHWM, the most memory
# the purgix.exe process ever had resident, read from /proc before it closes.
# PURGIX_BENCH_EXE names another build of purgix.exe in the build folder to measure.
window_run() {
    local report="$WINEPREFIX/bench-report.txt" start end pid peak=0
    start=$(date +%s.%N)
    wine "$build/tools/purgix-driver.exe" clean "P:\\${PURGIX_BENCH_EXE:-purgix.exe}" >"$report" 2>/dev/null </dev/null ||
        { echo "bench.sh: the run through the window failed" >&2; return 1; }
    end=$(date +%s.%N)
    # Our purgix.exe: the one whose environment names this prefix (others may run elsewhere).
    for pid in $(grep -lzF "P:\\${PURGIX_BENCH_EXE:-purgix.exe}" /proc/[0-9]*/cmdline 2>/dev/null | cut -d/ -f3); do
        if grep -qzF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null; then
            peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
        fi
    done
    wine "$build/tools/purgix-driver.exe" close >/dev/null 2>&1 </dev/null
    # The report keeps only its last 30,000 characters; the summary line has the count.
    echo "$start $end $peak $(sed -n 's/.* from \([0-9]*\) files\..*/\1/p' "$report" | head -n 1)" |
        awk '{ printf "%.2f %d %d\n", $2 - $1, $3, $4 }'
}

window_measure() {
    # The tree is a primary Internet Explorer cache, swept with "*" and recursion.
    wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Internet Settings\Cache\Paths' \
        /v Directory /d 'C:\bench\cache' /f >/dev/null 2>&1
    window_run >/dev/null # the first window of a prefix is slow: Wine builds its font cache
    window_run
    make_cache_tree "$drive_c/bench/cache" 20
    window_run
    make_cache_tree "$drive_c/bench/cache" 200
    window_run
    wine "$build/tools/bench_removal.exe" sweep 'C:\bench-bare' "${BENCH_ROUNDS:-2}" 2>/dev/null </dev/null |
        sed -n 's/.*bare loop \([0-9.]*\) s.*/\1/p'
}

bench_window() {
    # A prefix of its own: C: is a network drive, so the run's whole-drive searches
    # (lost clusters, recycle folders) go over the small fixed D: and not over Wine's
    # own C:, which no user's disk resembles; the build folder is P:.
    local prefix="$build/bench-window-prefix" results lines
    rm -rf "$build/bench-window-d"
    "$root/tools/wineprefix.sh" "$prefix" --c-type network --drive "p:cdrom:$build" \
        --drive "d:hd:$build/bench-window-d" >/dev/null
    results=$(
        export WINEPREFIX="$prefix" drive_c="$prefix/drive_c" build
        export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv,wineoss.drv="
        # xvfb-run is a POSIX shell script, which drops exported functions: pass them as code.
        with_display bash -c "$(declare -f make_cache_tree window_run window_measure); window_measure" 2>/dev/null
        wineserver -k 2>/dev/null || true
    )
    mapfile -t lines <<<"$results"
    [ "${#lines[@]}" -eq 4 ] || { echo "bench.sh: window: unexpected results: $results" >&2; return 1; }
    awk -v empty="${lines[0]}" -v small="${lines[1]}" -v large="${lines[2]}" -v bare="${lines[3]}" 'BEGIN {
        split(empty, e, " "); split(small, s, " "); split(large, l, " ")
        run = l[1] - e[1]
        printf "window: empty profile %.2f s (start-up and question box), peak %.1f MiB\n", e[1], e[2] / 1024
        printf "window: %d files %.2f s, peak %.1f MiB; %d files %.2f s, peak %.1f MiB\n",
               s[3], s[1], s[2] / 1024, l[3], l[1], l[2] / 1024
        printf "window: %d files cost %.2f s beyond the empty run; bare loop %.2f s; ratio %.2f\n",
               l[3], run, bare, run / bare
        printf "window: peak memory grows %.1f MiB from %d to %d files (%.0f bytes per file)\n",
               (l[2] - s[2]) / 1024, s[3], l[3], (l[2] - s[2]) * 1024 / (l[3] - s[3])
    }'
}

# The file is generated (the community's own is not fetched), so the figure is for a
# file of its shape. Run twice: the first run also pays for the prefix's cold start.
bench_rules() {
    local folder="$drive_c/bench-rules"
    mkdir -p "$folder"
    python3 "$root/tools/bench/make_rules.py" "$folder/winapp2.ini"
    printf 'rules: generated file of %s bytes\n' "$(stat -c %s "$folder/winapp2.ini")"
    wine_run "$build/tools/bench_rules.exe" 'C:\bench-rules' >/dev/null
    wine_run "$build/tools/bench_rules.exe" 'C:\bench-rules'
}

# Fills the drive's free space with dd; prints "BYTES SECONDS".
dd_fill() {
    local file="$1/dd-fill" start end bytes
    shift
    sync
    start=$(date +%s.%N)
    dd if=/dev/zero of="$file" bs=4M "$@" status=none 2>/dev/null || true
    end=$(date +%s.%N)
    bytes=$(stat -c %s "$file")
    rm -f "$file"
    sync
    awk -v s="$start" -v e="$end" -v b="$bytes" 'BEGIN { printf "%d %.3f\n", b, e - s }'
}

# The faster of two "BYTES SECONDS" figures.
faster() {
    awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " "); print (y[2] != "" && (x[2] == "" || y[2] < x[2])) ? b : a }'
}

# Wine 8 ignores FILE_FLAG_NO_BUFFERING, so the program's writes go through the page cache,
# as dd's with conv=fsync do; dd oflag=direct is the device's own limit. The three take
# turns for BENCH_ROUNDS rounds (default 3), and the fastest of each is kept, since other
# work on the machine slows a round now and then.
bench_free-space() {
    local drives="$build/bench-free-space" prefix="$build/bench-free-space-prefix" drive program="" cached="" direct=""
    drive="$drives/wipe-image/drive"
    TEST_DRIVE_MIB=512 "$root/tools/test-drive.sh" mount "$drives"
    # shellcheck disable=SC2064
    trap "wineserver -k 2>/dev/null || true; '$root/tools/test-drive.sh' unmount '$drives'" EXIT
    "$root/tools/wineprefix.sh" "$prefix" --c-type network --drive "w:hd:$drive" >/dev/null
    printf 'free-space: %s bytes free on a loop-mounted ext4 drive\n' "$(df -B1 --output=avail "$drive" | tail -1 | tr -d ' ')"
    WINEPREFIX="$prefix" wine_run "$build/purgix-cli.exe" --version >/dev/null # the prefix's cold start
    # A fresh image is a sparse file: the first fill also allocates its blocks on the host.
    dd_fill "$drive" conv=fsync >/dev/null
    for _ in $(seq 1 "${BENCH_ROUNDS:-3}"); do
        sync
        program=$(faster "$program" "$(WINEPREFIX="$prefix" wine_run "$build/purgix-cli.exe" wipe-free W: --json |
            jq -r '"\(.bytes) \(.seconds)"')")
        cached=$(faster "$cached" "$(dd_fill "$drive" conv=fsync)")
        direct=$(faster "$direct" "$(dd_fill "$drive" oflag=direct)")
    done
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    "$root/tools/test-drive.sh" unmount "$drives"
    awk -v p="$program" -v c="$cached" -v d="$direct" 'BEGIN {
        split(p, a, " "); split(c, b, " "); split(d, x, " ")
        pr = a[1] / a[2] / 1e6; cr = b[1] / b[2] / 1e6; dr = x[1] / x[2] / 1e6
        printf "free-space: purgix-cli wipe-free %d bytes in %.3f s = %.0f MB/s\n", a[1], a[2], pr
        printf "free-space: dd bs=4M conv=fsync %d bytes in %.3f s = %.0f MB/s\n", b[1], b[2], cr
        printf "free-space: dd bs=4M oflag=direct %d bytes in %.3f s = %.0f MB/s (the device)\n", x[1], x[2], dr
        printf "free-space: ratio to dd conv=fsync %.2f (at least 0.8 asked)\n", pr / cr
    }'
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
