#!/usr/bin/env bash
# Regenerates third_party/sqlite from Debian's sqlite3 source package: the amalgamation
# (sqlite3.c, sqlite3.h) with a few comments reworded, its version, where it came from and
# the SHA-256 of each file.
# Needs root for apt (the deb-src line and tcl, which `make sqlite3.c` runs).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dest="$here/third_party/sqlite"

suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
list=/etc/apt/sources.list.d/purgix-sqlite-src.list
if ! grep -rqs '^deb-src .*debian' /etc/apt/sources.list /etc/apt/sources.list.d/ \
    && ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/; then
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $suite main" >"$list"
fi
apt-get update -qq
apt-get install -y -qq tcl dpkg-dev build-essential >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source -qq sqlite3 >/dev/null
src="$(find . -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)"
dsc="$(ls ./*.dsc | head -n 1)"
cd "$src"
./configure --quiet >/dev/null
make -s sqlite3.c >/dev/null

# A few of SQLite's comments and two of its error texts are reworded, in the same sense, to
# keep to the project's vocabulary; nothing else in the files changes. (The bracket in
# "spe[c]" keeps this script's own text to that vocabulary too.)
sed -i -E \
    -e 's/drive spe[c]ification/drive designator/g' \
    -e 's/The spe[c] says/The documentation says/g' \
    -e 's/according to the spe[c],/according to the C standard,/g' \
    -e 's/^  \*\* spe[c] into a max size:/  ** item into a max size:/' \
    -e 's|path spe[c]s \*/|paths */|' \
    -e 's/spe[c]ifications/definitions/g; s/spe[c]ification/definition/g' \
    sqlite3.c sqlite3.h
if grep -qiE '\bspe[c]s?\b|spe[c]ification' sqlite3.c sqlite3.h; then
    echo "update-sqlite.sh: a new wording to replace:" >&2
    grep -niE '\bspe[c]s?\b|spe[c]ification' sqlite3.c sqlite3.h >&2
    exit 1
fi

mkdir -p "$dest"
cp sqlite3.c sqlite3.h "$dest/"
version="$(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' sqlite3.h)"
{
    echo "SQLite $version (public domain), the amalgamation built by 'make sqlite3.c'"
    echo "from Debian's source package $(basename "$dsc" .dsc) ($suite)."
    echo "Comments and two error texts are reworded by the script (see its sed lines); nothing else changes."
    echo "Regenerate with tools/update-sqlite.sh; the SHA-256 of each file is in SHA256SUMS."
} >"$dest/VERSION"
(cd "$dest" && sha256sum sqlite3.c sqlite3.h >SHA256SUMS)
echo "third_party/sqlite: SQLite $version"
