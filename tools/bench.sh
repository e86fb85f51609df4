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
# about 4,000 entries and 1.8 MB: time and memory growth), browsers (purgix-cli cleaning
# a Firefox profile's places.sqlite of 100,000 visits, 50,000 places and 1,000 bookmarks
# and its cookies.sqlite of 10,000 cookies inside, against deleting the same files whole:
# time and peak memory growth of the purgix-cli process), free-space (purgix-cli
# wipe-free filling a loop-mounted 512 MiB ext4 drive, against dd bs=4M conv=fsync and
# dd oflag=direct filling the same free space on the host, the fastest of BENCH_ROUNDS).
# To add a section, write a function bench_NAME and add NAME to SECTIONS.
# PURGIX_BUILD_DIR chooses the build folder (default: build); BENCH_ROUNDS the
# number of sweep and free-space rounds (best is kept).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PURGIX_BUILD_DIR:-$root/build}
source "$root/tools/wine-env.sh"

SECTIONS=(overwrite sweep window rules browsers free-space)

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

# The databases, built once on the host by SQLite from the browsers' schema files (their
# rows removed, but for the bookmark roots) and the benchmark's generated rows.
make_browser_databases() {
    local folder=$1 schemas="$root/tests/fixtures/browsers" db
    rm -rf "$folder" && mkdir -p "$folder"
    for db in places:firefox-places.sql favicons:firefox-favicons.sql cookies:firefox-cookies.sql; do
        sqlite3 -bail "$folder/${db%%:*}.sqlite" <"$schemas/${db#*:}" >/dev/null
        sqlite3 "$folder/${db%%:*}.sqlite" \
            "SELECT 'DELETE FROM \"' || name || '\";' FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' AND name != 'moz_bookmarks'" |
            sqlite3 -bail "$folder/${db%%:*}.sqlite"
    done
    sqlite3 -bail "$folder/places.sqlite" \
        "ATTACH '$folder/cookies.sqlite' AS cookies; $(cat "$root/tools/bench/browser_rows.sql")"
}

# One purgix-cli run of the rule entries named: prints "SECONDS PEAK_KB", the wall time and
# the most memory the process ever had resident (GNU time's maximum resident set size).
browsers_run() {
    local times="$WINEPREFIX/bench-browsers-time.txt"
    /usr/bin/time -f '%e %M' -o "$times" wine "$cli" clean --accept-warnings "$@" >"$report" 2>"$report.err" </dev/null ||
        true
    tail -n 1 "$times"
}

# The best of BENCH_ROUNDS runs with the databases in the profile, and of as many with the
# profile empty (what the program costs before it reaches the databases): "SECONDS PEAK_KB" each.
browsers_measure() {
    local best="" empty="" run
    for _ in $(seq "${BENCH_ROUNDS:-2}"); do
        rm -f "$profile"/*.sqlite*
        run=$(browsers_run "$@")
        empty=$(printf '%s\n%s\n' "$empty" "$run" | awk 'NF' | sort -n | head -n 1)
        cp "$databases"/*.sqlite "$profile/"
        run=$(browsers_run "$@")
        best=$(printf '%s\n%s\n' "$best" "$run" | awk 'NF' | sort -n | head -n 1)
    done
    echo "$best $empty"
}

bench_browsers() {
    local user home program databases="$build/bench-browsers-databases" inside whole
    user=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public -printf '%f\n' | head -n 1)
    home="$drive_c/users/$user/AppData"
    profile="$home/Roaming/Mozilla/Firefox/Profiles/bench.default"
    program="$drive_c/bench-browsers"
    cli='C:\bench-browsers\purgix-cli.exe'
    report="$WINEPREFIX/bench-browsers-report.txt"
    mkdir -p "$profile" "$program"
    printf '[Profile0]\r\nName=bench\r\nIsRelative=1\r\nPath=Profiles/bench.default\r\nDefault=1\r\n' \
        >"$home/Roaming/Mozilla/Firefox/profiles.ini"
    # A program folder of its own, so that its rules file (the files deleted whole) is read by no other run.
    cp "$build/purgix-cli.exe" "$program/"
    printf '[Bench Databases Whole]\r\nFileKey1=%%AppData%%\\Mozilla\\Firefox\\Profiles\\bench.default|%s\r\n' \
        'places.sqlite;favicons.sqlite;cookies.sqlite' >"$program/winapp2.ini"
    wine reg add 'HKCU\Software\Vellomar\Purgix!' /v KeepSites /t REG_MULTI_SZ /d site1.example /f >/dev/null 2>&1
    make_browser_databases "$databases"
    printf 'browsers: places.sqlite of %s visits, %s places, %s bookmarks (%s bytes); cookies.sqlite of %s cookies (%s bytes)\n' \
        "$(sqlite3 "$databases/places.sqlite" 'SELECT count(*) FROM moz_historyvisits')" \
        "$(sqlite3 "$databases/places.sqlite" 'SELECT count(*) FROM moz_places')" \
        "$(sqlite3 "$databases/places.sqlite" 'SELECT count(*) FROM moz_bookmarks WHERE type = 1')" \
        "$(stat -c %s "$databases/places.sqlite")" \
        "$(sqlite3 "$databases/cookies.sqlite" 'SELECT count(*) FROM moz_cookies')" \
        "$(stat -c %s "$databases/cookies.sqlite")"
    # The prefix's cold start; the server it starts stays up between the runs that follow.
    browsers_run --rules 'Bench Databases Whole' >/dev/null

    inside=$(browsers_measure --rules 'Mozilla Firefox History (bookmarks kept)' \
        --rules 'Mozilla Firefox Cookies (kept sites stay)')
    cat "$report" "$report.err" | tr -d '\r' | { grep -e 'bench.default' -e '^purgix-cli: ' || true; } |
        sed 's/^/browsers: report: /'
    printf 'browsers: left after the clean: %s visits, %s places, %s bookmarks, %s cookies\n' \
        "$(sqlite3 "$profile/places.sqlite" 'SELECT count(*) FROM moz_historyvisits')" \
        "$(sqlite3 "$profile/places.sqlite" 'SELECT count(*) FROM moz_places')" \
        "$(sqlite3 "$profile/places.sqlite" 'SELECT count(*) FROM moz_bookmarks WHERE type = 1')" \
        "$(sqlite3 "$profile/cookies.sqlite" 'SELECT count(*) FROM moz_cookies')"
    whole=$(browsers_measure --rules 'Bench Databases Whole')
    wineserver -k 2>/dev/null || true
    awk -v inside="$inside" -v whole="$whole" 'BEGIN {
        split(inside, i, " "); split(whole, w, " ")
        printf "browsers: cleaned inside %.2f s (purgix-cli %.2f s, %.2f s with the profile empty); peak memory grows %.1f MiB (%.1f against %.1f MiB)\n",
               i[1] - i[3], i[1], i[3], (i[2] - i[4]) / 1024, i[2] / 1024, i[4] / 1024
        printf "browsers: deleted whole %.2f s (purgix-cli %.2f s, %.2f s with the profile empty); peak memory grows %.1f MiB (%.1f against %.1f MiB)\n",
               w[1] - w[3], w[1], w[3], (w[2] - w[4]) / 1024, w[2] / 1024, w[4] / 1024
    }'
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
