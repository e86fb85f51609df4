#!/usr/bin/env bash
# Builds the portable modules natively with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, runs their tests, then fuzzes the preferences line filter
# and the rules reader for a bounded time. PURGIX_NATIVE_BUILD_DIR chooses the build
# folder (default: build-native); PURGIX_FUZZ_SECONDS the fuzzing time of the filter
# (default 20, 0 skips fuzzing; the reader gets half of it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PURGIX_NATIVE_BUILD_DIR:-$root/build-native}
fuzz_seconds=${PURGIX_FUZZ_SECONDS:-20}

# clang with its sanitizer and libFuzzer runtimes, and GoogleTest's sources.
packages=(clang libclang-rt-dev cmake make googletest)
if ! dpkg -s "${packages[@]}" >/dev/null 2>&1; then
    [ "$(id -u)" -eq 0 ] && as_root=() || as_root=(sudo)
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${packages[@]}"
fi

cmake -S "$root/tests/native" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure

# fuzz TARGET SECONDS DICTIONARY SEED: runs one fuzz target from a one-file corpus.
fuzz() {
    local target=$1 seconds=$2 corpus="$build/$1-corpus" log="$build/$1.log"
    mkdir -p "$corpus"
    printf '%s' "$4" >"$corpus/seed"
    "$build/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        -dict="$root/tests/native/$3" -artifact_prefix="$build/" "$corpus" \
        2>"$log" || { tail -40 "$log"; exit 1; }
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$log" || true
    echo "$target: no failure in ${seconds}s"
}

if [ "$fuzz_seconds" -gt 0 ]; then
    # The dictionaries let the fuzzers reach the prefixes, keys and line ends quickly.
    fuzz prefs_filter_fuzz "$fuzz_seconds" prefs_filter.dict \
        $'user_pref("browser.url_history.URL_1", "x");\r\n  USER_PREF("browser.startup.homepage", "y");\n'
    # The rules reader: half the time, since its input has far fewer states to reach.
    fuzz rule_file_fuzz $(((fuzz_seconds + 1) / 2)) rule_file.dict \
        $'[A]\r\nLangSecRef=3029\r\nFileKey1=%Temp%|*.tmp;*.log|REMOVESELF\r\nExcludeKey1=PATH|C:\\x\\|*\r\n'
fi
