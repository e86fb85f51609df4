#!/usr/bin/env bash
# The release, in one command on a fresh Debian or Ubuntu machine: builds the setup
# program and the portable zip into out/ and prints their paths and SHA-256 sums.
#
#   tools/package.sh
#
#   out/purgix-setup-<version>.exe   the setup program
#   out/purgix-<version>-win64.zip   purgix.exe (and purgix-cli.exe once the build has
#                                    it), README.txt and LICENSE.txt
#
# The zip is reproducible: its entries go in a fixed order with fixed modes and times
# (the commit's time, or SOURCE_DATE_EPOCH), so two builds of one commit are identical.
# PURGIX_BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PURGIX_BUILD_DIR:-$root/build}
out="$root/out"

fail() {
    echo "package.sh: $*" >&2
    exit 1
}

"$root/tools/setup.sh" || fail "installing the packages failed (see above)"
"$root/tools/build.sh" purgix_setup || fail "the build failed (see above)"

# What the build releases, as CMake knows it: "version X", "program PATH", "setup PATH".
version="" setup="" programs=()
while read -r kind path; do
    case "$kind" in
        version) version=$path ;;
        program) programs+=("$path") ;;
        setup) setup=$path ;;
    esac
done <"$build/release-files.txt"
[ -n "$version" ] && [ ${#programs[@]} -gt 0 ] || fail "$build/release-files.txt names no release"
[ -n "$setup" ] || fail "the build has no setup program: makensis was not found"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "${programs[@]}" "$stage/"
# Text files as Windows' own editors expect them.
sed 's/\r*$/\r/' "$root/README.md" >"$stage/README.txt"
sed 's/\r*$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}
chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*

mkdir -p "$out"
zip="$out/purgix-$version-win64.zip"
rm -f "$zip"
# -X: no host owners or extra times; -D: no folder entries; TZ=UTC: the stored DOS times
# do not depend on the machine's time zone.
(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort | TZ=UTC zip -X -D -q "$zip" -@) ||
    fail "could not write $zip"
cp "$setup" "$out/"

sha256sum "$out/$(basename "$setup")" "$zip"
