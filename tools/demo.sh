#!/usr/bin/env bash
# The demo: builds purgix.exe, seeds a demo profile in a Wine prefix of its own,
# previews the clean and then cleans it in the real window. The browsers' profiles hold
# real databases: the demo checks that Firefox's history went and its bookmarks stayed,
# and that the kept site's cookies are still there.
#
#   tools/demo.sh
#
# With a display (DISPLAY set) it opens the window for you: press "Purgix!".
# Without one it first runs "purgix-cli preview" (plain, then --json) and prints what it
# printed and its exit code: the README's console sample. Then it runs the window under
# Xvfb, presses "Pre&view", prints that report and saves a picture; then presses
# "&Purgix!", answers the restart question "No", prints the report, checks that it
# removed what the preview listed and saves a second picture in out/.
# PURGIX_BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PURGIX_BUILD_DIR:-$root/build}
out="$root/out"
source "$root/tools/wine-env.sh"

fail() {
    echo "demo.sh: $*" >&2
    exit 1
}

export WINEPREFIX="$build/demo-prefix"
drive_d="$build/demo-drive-d"
drive_e="$build/demo-drive-e"
exe='C:\Program Files\Windows Purgix\purgix.exe'
cli='C:\Program Files\Windows Purgix\purgix-cli.exe'
driver="$build/tools/purgix-driver.exe"
# Windows programs take TEMP and TMP from the prefix, not from this shell.
unset TEMP TMP

# Waits until the main window is up; the first window of a fresh prefix takes a while
# (Wine builds its font cache then).
wait_for_window() {
    for _ in $(seq 90); do
        wine "$driver" rect >/dev/null 2>&1 && return 0
        sleep 2
    done
    return 1
}

# The main window's picture, cropped from the virtual screen, as out/NAME.
picture() {
    local rect x y w h
    mkdir -p "$out"
    rect=$(wine "$driver" rect 2>/dev/null </dev/null | tr -d '\r') || fail "the window is gone before its picture"
    read -r x y w h <<<"$rect"
    import -window root "$out/screen.png" || fail "ImageMagick could not take the picture"
    convert "$out/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$out/$1" || fail "could not crop the picture"
    rm -f "$out/screen.png"
}

# Runs "purgix-cli ARGUMENTS..." and prints it as a console session would show it.
console() {
    local output="$build/demo-console.txt" code=0
    wine "$cli" "$@" >"$output" 2>"$output.err" </dev/null || code=$?
    echo "\$ purgix-cli $*"
    # Its own messages come before the report; Wine's are left out.
    tr -d '\r' <"$output.err" | grep '^purgix-cli: ' || true
    tr -d '\r' <"$output"
    echo "\$ echo \$?"
    echo "$code"
}

# Inside the virtual display: hold one file open, preview, clean, take the pictures, close.
# Programs started from here keep the shell's output open, so their output goes to
# files, never into a pipe that the shell would wait on.
run_headless() {
    local held=$1 holder_out="$build/demo-holder.out" report="$build/demo-report.txt" holder_pid
    local preview="$build/demo-preview.txt"
    # No window manager here: Wine draws the title bar itself, so the picture has one.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    wine "$exe" >/dev/null 2>&1 &
    wait_for_window || fail "the window of purgix.exe did not appear"
    wine "$driver" close >/dev/null 2>&1 || fail "the first window did not close"

    wine "$build/tools/holder.exe" "$held" >"$holder_out" 2>/dev/null &
    holder_pid=$!
    for _ in $(seq 100); do
        grep -q ready "$holder_out" 2>/dev/null && break
        sleep 0.1
    done
    grep -q ready "$holder_out" || fail "the holder could not open $held"

    console preview
    console preview --json

    wine "$driver" preview "$exe" >"$preview" 2>"$preview.err" </dev/null ||
        fail "the preview failed: $(grep -v '^ALSA' "$preview.err")"
    tr -d '\r' <"$preview"
    picture purgix-preview.png
    wine "$driver" close >/dev/null 2>&1 || fail "the window did not close after the preview"

    wine "$driver" clean "$exe" >"$report" 2>"$report.err" </dev/null ||
        fail "the cleaning run failed: $(grep -v '^ALSA' "$report.err")"
    tr -d '\r' <"$report"
    # Every file and folder the preview said would go, the run removed.
    missing=$(comm -23 <(tr -d '\r' <"$preview" | sed -n 's/ - would be deleted$//p' | sort) \
        <(tr -d '\r' <"$report" | sed -n 's/ - deleted$//p' | sort))
    [ -z "$missing" ] || fail "the run did not remove what the preview listed: $missing"
    picture purgix-demo.png
    wine "$driver" close >/dev/null 2>&1 || fail "the window did not close"
    kill "$holder_pid" 2>/dev/null || true
    wait "$holder_pid" 2>/dev/null || true
}

if [ "${1:-}" = "--headless" ]; then
    run_headless "$2"
    exit 0
fi

"$root/tools/setup.sh" || fail "installing the packages failed (see above)"
"$root/tools/build.sh" || fail "the build failed (see above)"

echo "demo.sh: making the demo prefix in $WINEPREFIX"
rm -rf "$drive_d" "$drive_e"
"$root/tools/wineprefix.sh" "$WINEPREFIX" --drive "d:hd:$drive_d" --drive "e:floppy:$drive_e" ||
    fail "could not make the Wine prefix"
held=$("$root/tools/seed-demo.sh" "$WINEPREFIX" "$build/purgix.exe" "$drive_d" "$drive_e") ||
    fail "could not seed the demo profile"
trap 'wineserver -k 2>/dev/null || true' EXIT

# The browsers' databases, read on the host (a plain connection leaves no journal behind):
# what the run must keep, counted before it.
sql() { sqlite3 "$1" "$2"; }
users="$WINEPREFIX/drive_c/users"
places=$(find "$users" -path '*/Mozilla/Firefox/Profiles/*/places.sqlite' | head -n 1)
ff_cookie_db=$(dirname "$places")/cookies.sqlite
chrome_cookie_db=$(find "$users" -path '*/Google/Chrome/User Data/Default/Network/Cookies' | head -n 1)
bookmarks_query="SELECT group_concat(id || ':' || parent || ':' || position || ':' || ifnull(fk, ''), ' ') FROM moz_bookmarks"
ff_hosts_query="SELECT group_concat(host, ' ') FROM (SELECT host FROM moz_cookies ORDER BY host)"
chrome_hosts_query="SELECT group_concat(host_key, ' ') FROM (SELECT host_key FROM cookies ORDER BY host_key)"
bookmarks=$(sql "$places" "$bookmarks_query")
visits=$(sql "$places" 'SELECT count(*) FROM moz_historyvisits')
bookmark_count=$(sql "$places" 'SELECT count(*) FROM moz_bookmarks WHERE type = 1')

if [ -n "${DISPLAY:-}" ]; then
    echo "demo.sh: opening Windows Purgix! on your display; press Purgix! to clean the demo profile"
    wine "$build/tools/holder.exe" "$held" >/dev/null 2>&1 &
    holder_pid=$!
    wine "$exe" 2>/dev/null || fail "purgix.exe ended with an error"
    kill "$holder_pid" 2>/dev/null || true
    exit 0
fi

# No sound card in a virtual display.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv,wineoss.drv="
echo "demo.sh: previewing and cleaning the demo profile in the real window (under Xvfb)"
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --headless "$held" || fail "the demo run failed"

for survivor in FILE0002.CHK Recycled/DE1.txt; do
    [ -e "$drive_e/$survivor" ] || fail "the removable drive E: was swept ($survivor is gone)"
done
echo "demo.sh: the removable drive E: was passed over (E:\\FILE0002.CHK is still there)"
for gone in 'Google/Chrome/User Data/Default/History' 'Google/Chrome/User Data/Default/Service Worker/CacheStorage/*/index' \
    'Google/Chrome/User Data/Crashpad/reports/*.dmp' 'Mozilla/Firefox/Profiles/*/cache2/index'; do
    [ -z "$(find "$users" -path "*/$gone" 2>/dev/null)" ] || fail "the browser rules left $gone"
done
# places.sqlite holds Firefox's bookmarks as well as its history: it is cleaned inside, never deleted.
for kept in 'Google/Chrome/User Data/Default/Bookmarks' 'Google/Chrome/User Data/Default/Service Worker/Database/000003.log' \
    'Mozilla/Firefox/Profiles/*/prefs.js' 'Mozilla/Firefox/Profiles/*/places.sqlite' \
    'Mozilla/Firefox/Profiles/*/cookies.sqlite' 'Google/Chrome/User Data/Default/Network/Cookies'; do
    [ -n "$(find "$users" -path "*/$kept" 2>/dev/null)" ] || fail "the browser rules removed $kept"
done
echo "demo.sh: the Chrome, Edge and Firefox profiles were cleaned by the built-in rules (bookmarks, prefs.js and the service workers' database kept)"
[ "$(sql "$places" 'SELECT count(*) FROM moz_historyvisits')" = 0 ] || fail "Firefox's history is still in places.sqlite"
[ "$(sql "$places" "SELECT count(*) FROM moz_places WHERE url LIKE '%mail.example.com%'")" = 0 ] ||
    fail "a visited page without a bookmark is still in places.sqlite"
[ "$(sql "$places" "$bookmarks_query")" = "$bookmarks" ] || fail "Firefox's bookmarks changed"
echo "demo.sh: Firefox's history was removed inside places.sqlite ($visits visits before, none after); its $bookmark_count bookmarks and their folders were kept"
ff_cookies=$(sql "$ff_cookie_db" "$ff_hosts_query")
chrome_cookies=$(sql "$chrome_cookie_db" "$chrome_hosts_query")
[ "$ff_cookies" = ".example.com mail.example.com" ] || fail "Firefox's cookies left: $ff_cookies"
[ "$chrome_cookies" = ".example.com www.example.com" ] || fail "Chrome's cookies left: $chrome_cookies"
echo "demo.sh: the kept site's cookies are still there (Firefox: $ff_cookies; Chrome: $chrome_cookies), the others are gone"
echo "demo.sh: the pictures of the window are $out/purgix-preview.png and $out/purgix-demo.png"
