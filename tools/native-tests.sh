#!/usr/bin/env bash
# Builds the portable modules natively with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, runs their tests, then fuzzes the preferences line filter
# and the rules reader for a bounded time. PURGIX_NATIVE_BUILD_DIR chooses the build folder (default:
# build-native); PURGIX_FUZZ_SECONDS the fuzzing time (default 20, 0 skips it).
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

cmake -S "$root/tests/native" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure

if [ "$fuzz_seconds" -gt 0 ]; then
    corpus="$build/prefs-corpus"
    mkdir -p "$corpus"
    printf 'user_pref("browser.url_history.URL_1", "x");\r\n  USER_PREF("browser.startup.homepage", "y");\n' \
        >"$corpus/seed"
    # The dictionary lets the fuzzer reach the 31-byte prefix and the line ends quickly.
    "$build/prefs_filter_fuzz" -max_total_time="$fuzz_seconds" -max_len=4096 -print_final_stats=1 \
        -dict="$root/tests/native/prefs_filter.dict" -artifact_prefix="$build/" "$corpus" \
        2>"$build/fuzz.log" || { tail -40 "$build/fuzz.log"; exit 1; }
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$build/fuzz.log" || true
    echo "prefs_filter_fuzz: no failure in ${fuzz_seconds}s"

    # The rules reader: half the time, since its input has far fewer states to reach.
    rule_seconds=$(((fuzz_seconds + 1) / 2))
    corpus="$build/rules-corpus"
    mkdir -p "$corpus"
    printf '[A]\r\nLangSecRef=3029\r\nFileKey1=%%Temp%%|*.tmp;*.log|REMOVESELF\r\nExcludeKey1=PATH|C:\\x\\|*\r\n' \
        >"$corpus/seed"
    "$build/rule_file_fuzz" -max_total_time="$rule_seconds" -max_len=4096 -print_final_stats=1 \
        -dict="$root/tests/native/rule_file.dict" -artifact_prefix="$build/" "$corpus" \
        2>"$build/rules-fuzz.log" || { tail -40 "$build/rules-fuzz.log"; exit 1; }
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$build/rules-fuzz.log" || true
    echo "rule_file_fuzz: no failure in ${rule_seconds}s"
fi
