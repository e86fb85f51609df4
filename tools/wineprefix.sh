#!/usr/bin/env bash
# Makes a throwaway Wine prefix for the tests and the demo.
#
#   tools/wineprefix.sh PREFIX [--drive LETTER:TYPE:HOSTDIR]... [--c-type TYPE]
#
# Only C: is mapped, plus the drives asked for; Wine's Z: (the host's root) is
# removed. TYPE is one of hd, floppy, cdrom, network (Wine's drive types).
# The profile folders Wine links into the host's home become empty folders.
# A prepared template is cached, so a second prefix is a copy (about 2 s).
set -euo pipefail

prefix=${1:?usage: wineprefix.sh PREFIX [--drive L:TYPE:DIR]... [--c-type TYPE]}
shift
drives=()
c_type=hd
while [ $# -gt 0 ]; do
    case "$1" in
        --drive) drives+=("$2"); shift 2 ;;
        --c-type) c_type=$2; shift 2 ;;
        *) echo "wineprefix.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
cache=${PURGIX_PREFIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/purgix/wineprefix-template}

make_template() {
    local tmp="$cache.tmp.$$"
    rm -rf "$tmp"
    WINEPREFIX="$tmp" wineboot --init >/dev/null 2>&1 || true
    WINEPREFIX="$tmp" wineserver -w || true
    [ -f "$tmp/system.reg" ] || { echo "wineprefix.sh: wineboot failed to create $tmp" >&2; exit 1; }
    # Profile folders are links into the host's home: make them plain empty folders.
    find "$tmp/drive_c/users" -maxdepth 3 -type l | while read -r link; do
        rm -f "$link" && mkdir -p "$link"
    done
    rm -rf "$cache" && mv -T "$tmp" "$cache"
}

# Several runs may share the cache: one makes the template while the others wait.
mkdir -p "$(dirname "$cache")"
exec 9>"$cache.lock"
flock 9
[ -f "$cache/system.reg" ] || make_template
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
cp -a "$cache" "$prefix"
flock -u 9

# Wine draws the title bar's buttons with its Marlett font. Debian's fonts-wine puts it
# in /usr/share/wine/fonts, where this Wine does not look, so the prefix gets a copy in
# its own Fonts folder.
marlett=/usr/share/wine/fonts/marlett.ttf
[ ! -f "$marlett" ] || cp "$marlett" "$prefix/drive_c/windows/Fonts/"

# Drives: C: always, the rest on request; never the host's root.
find "$prefix/dosdevices" -mindepth 1 -maxdepth 1 ! -name 'c:' -exec rm -f {} +
regfile="$prefix/drive_c/purgix-drives.reg"
{
    printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n'
    printf '"c:"="%s"\r\n' "$c_type"
    for mapping in "${drives[@]}"; do
        IFS=: read -r letter type dir <<<"$mapping"
        mkdir -p "$dir"
        ln -sfn "$(realpath "$dir")" "$prefix/dosdevices/${letter,,}:"
        printf '"%s:"="%s"\r\n' "${letter,,}" "$type"
    done
} >"$regfile"
WINEPREFIX="$prefix" wine regedit /S 'C:\purgix-drives.reg' >/dev/null 2>&1
rm -f "$regfile"
# Drive types are read when the wineserver starts: stop it so the next program sees them.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
