#!/usr/bin/env bash
# End to end on a real file system: purgix-cli wipe-free on W:, the loop-mounted ext4 image
# that tools/test-drive.sh makes and tools/test.sh maps, checked from the host: the image's
# bytes, what is left on the drive, its free space and the exit codes. Needs the test
# prefix (WINEPREFIX) and root. Prints GoogleTest's result lines, which tools/test.sh adds up.
#
#   tests/wipe/free_space_wipe_test.sh BUILD
set -uo pipefail
build=${1:?usage: free_space_wipe_test.sh BUILD}
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/wine-env.sh"
drive="$build/wipe-image/drive"
image="$build/wipe-drive.img"
cli="$build/purgix-cli.exe"
folder="$drive/Purgix! free space wipe"
marker=PURGIX-REMNANT-MARKER-
failures=()
passed=0
wipe_pid=

# A wipe left stopped by a failing case must not outlive the test, nor a read-only drive.
cleanup() {
    [ -z "$wipe_pid" ] || { kill -CONT "$wipe_pid" 2>/dev/null; kill -9 "$wipe_pid" 2>/dev/null; }
    "$root/tools/test-drive.sh" remount "$build" rw 2>/dev/null || true
}
trap cleanup EXIT

fail() {
    echo "  $*"
    return 1
}

free_bytes() {
    sync
    df -B1 --output=avail "$drive" | tail -1 | tr -d ' '
}

entries() {
    find "$drive" -mindepth 1 | sort
}

markers_in_image() {
    "$root/tools/test-drive.sh" detach "$build"
    grep -c -a "$marker" "$image"
    "$root/tools/test-drive.sh" attach "$build"
}

# Starts a wipe of W: and stops its process as soon as the filler file is there, so the
# case acts in the middle of the wipe however fast the drive is.
start_wipe_and_pause() {
    wine "$cli" wipe-free W: --json >"$build/wipe-out.txt" 2>/dev/null &
    wipe_pid=$!
    for _ in $(seq 1 2000); do
        [ -e "$folder/filler" ] && break
        sleep 0.005
    done
    kill -STOP "$wipe_pid"
    [ -e "$folder/filler" ] || fail "no filler file appeared while the wipe ran"
}

# Nothing of the wipe is left on the drive, and its free space is what it was.
expect_nothing_left() {
    local before=$1 after
    for _ in $(seq 1 50); do
        [ -z "$(entries)" ] && break
        sleep 0.1
    done
    [ -z "$(entries)" ] || fail "left on the drive: $(entries)" || return 1
    after=$(free_bytes)
    [ "$after" -eq "$before" ] || fail "free space $after bytes, $before before the wipe"
}

json_field() {
    jq -r ".$1" "$build/wipe-out.txt"
}

test_remnants_of_deleted_files_are_overwritten() {
    head -c 4194304 /dev/zero | tr '\0' 'x' | sed "s/x\{22\}/$marker/g" >"$drive/secret.txt"
    sync
    rm "$drive/secret.txt"
    sync
    # The deleted file's bytes must still be in the image, or the case could not fail.
    [ "$(markers_in_image)" -gt 0 ] || fail "the deleted file's marker never reached the image" || return 1
    wine "$cli" wipe-free W: --json >"$build/wipe-out.txt" 2>/dev/null || fail "exit code $?" || return 1
    [ "$(json_field outcome)" = wiped ] || fail "outcome $(json_field outcome)" || return 1
    [ "$(markers_in_image)" -eq 0 ] || fail "the marker is still in the image after the wipe"
}

test_a_finished_wipe_leaves_nothing_and_gives_the_space_back() {
    local before
    before=$(free_bytes)
    wine "$cli" wipe-free W: --json >"$build/wipe-out.txt" 2>/dev/null || fail "exit code $?" || return 1
    # It filled the whole free space, less what the file system's own records took.
    [ "$(json_field bytes)" -gt $((before - 1048576)) ] || fail "wiped $(json_field bytes) of $before bytes" ||
        return 1
    expect_nothing_left "$before"
}

test_a_stopped_wipe_ends_within_a_second_and_leaves_nothing() {
    local before start rc elapsed
    before=$(free_bytes)
    start_wipe_and_pause || return 1
    kill -INT "$wipe_pid" # Wine hands it to the program as Ctrl+C
    start=$(date +%s%N)
    kill -CONT "$wipe_pid"
    wait "$wipe_pid"
    rc=$?
    elapsed=$((($(date +%s%N) - start) / 1000000))
    wipe_pid=
    [ "$rc" -eq 3 ] || fail "exit code $rc, not 3" || return 1
    [ "$(json_field outcome)" = stopped ] || fail "outcome $(json_field outcome)" || return 1
    [ "$elapsed" -lt 1000 ] || fail "ended $elapsed ms after Ctrl+C" || return 1
    expect_nothing_left "$before"
}

test_a_killed_wipe_leaves_nothing() {
    local before
    before=$(free_bytes)
    start_wipe_and_pause || return 1
    kill -9 "$wipe_pid"
    wait "$wipe_pid" 2>/dev/null
    wipe_pid=
    expect_nothing_left "$before"
}

test_a_read_only_drive_is_reported_failed() {
    local rc
    "$root/tools/test-drive.sh" remount "$build" ro
    wine "$cli" wipe-free W: --json >"$build/wipe-out.txt" 2>/dev/null
    rc=$?
    "$root/tools/test-drive.sh" remount "$build" rw
    [ "$rc" -eq 1 ] || fail "exit code $rc, not 1" || return 1
    [ "$(json_field outcome)" = failed ] || fail "outcome $(json_field outcome)" || return 1
    [ -n "$(json_field reason)" ] || fail "no reason given" || return 1
    # A drive that is not a disk of this computer (P:, the build folder, is a CD-ROM drive) is refused.
    wine "$cli" wipe-free P: >/dev/null 2>&1
    rc=$?
    [ "$rc" -eq 2 ] || fail "P: gave exit code $rc, not 2"
}

tests=(
    test_remnants_of_deleted_files_are_overwritten
    test_a_finished_wipe_leaves_nothing_and_gives_the_space_back
    test_a_stopped_wipe_ends_within_a_second_and_leaves_nothing
    test_a_killed_wipe_leaves_nothing
    test_a_read_only_drive_is_reported_failed
)
mountpoint -q "$(dirname "$drive")" || { echo "free_space_wipe_test.sh: the test image is not mounted" >&2; exit 1; }
for name in "${tests[@]}"; do
    echo "[ RUN      ] FreeSpaceWipeDrive.$name"
    if "$name"; then
        echo "[       OK ] FreeSpaceWipeDrive.$name"
        passed=$((passed + 1))
    else
        echo "[  FAILED  ] FreeSpaceWipeDrive.$name"
        failures+=("$name")
    fi
done
echo "[  PASSED  ] $passed tests."
if [ ${#failures[@]} -gt 0 ]; then
    echo "[  FAILED  ] ${#failures[@]} tests, listed below:"
    printf '[  FAILED  ] FreeSpaceWipeDrive.%s\n' "${failures[@]}"
    exit 1
fi
