#!/usr/bin/env bash
# Builds everything and runs every test under Wine, in a throwaway prefix, with a
# virtual display when there is none; then the portable modules natively, with
# sanitizers and a bounded fuzz run. Extra arguments go to the Wine ctest
# (e.g. -R unit), and then the native run is left out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PURGIX_BUILD_DIR:-$root/build}
source "$root/tools/wine-env.sh"

"$root/tools/setup.sh"
"$root/tools/build.sh"

# The test prefix: C: is a network drive, so a full run never sweeps the prefix's
# own drive; D: is a small fixed test drive, E: removable and F: a CD-ROM drive.
# The build folder is P: (a CD-ROM drive, never swept) so Windows paths reach it.
# Y: maps the host's root, as Wine's own Z: would, to test that the program knows
# it; as a CD-ROM drive it is never swept even if that test fails.
# W: is the free-space wipe's fixed drive: a folder of the small ext4 image that the
# tests' fixture mounts (tools/test-drive.sh), unmounted again however the tests end.
export WINEPREFIX="$build/wineprefix"
trap 'wineserver -k 2>/dev/null || true; "$root/tools/test-drive.sh" unmount "$build" || true' EXIT
"$root/tools/test-drive.sh" unmount "$build"
rm -rf "$build/drive-d" "$build/drive-e" "$build/drive-f" "$build/wipe-image"
"$root/tools/wineprefix.sh" "$WINEPREFIX" --c-type network --drive "p:cdrom:$build" \
    --drive "d:hd:$build/drive-d" --drive "e:floppy:$build/drive-e" --drive "f:cdrom:$build/drive-f" \
    --drive "y:cdrom:/" --drive "w:hd:$build/wipe-image/drive"

# No test plays sound for real: the prefix gets no audio driver.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv,wineoss.drv="

logs=("$build/Testing/Temporary/LastTest.log" "$build/native/Testing/Temporary/LastTest.log")
rm -f "${logs[@]}"
status=0
with_display ctest --test-dir "$build" --output-on-failure "$@" || status=$?
if [ $# -eq 0 ]; then
    PURGIX_NATIVE_BUILD_DIR="$build/native" "$root/tools/native-tests.sh" || status=$?
fi

# One line for every test case of every binary, GoogleTest's own counts added up.
# A binary that crashed or timed out prints no count: a failing run never reads as clean.
# A subset (-R ...) leaves no native log, which is no failure of its own.
{ cat "${logs[@]}" 2>/dev/null || true; } | tr -d '\r' | awk -v status="$status" '
    /^\[  PASSED  \] [0-9]+ test/ { passed += $4 }
    /^\[  FAILED  \] [0-9]+ test/ { failed += $4 }
    END { if (status != 0 && failed == 0) failed = 1; printf "%d passed, %d failed\n", passed, failed }'
exit "$status"
