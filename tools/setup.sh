#!/usr/bin/env bash
# Installs what building, testing, packaging and the demo need, on Debian or Ubuntu.
# fonts-wine gives Wine the Marlett font its title-bar buttons are drawn with.
# nlohmann-json3-dev: a JSON parser the tests read the console program's --json output with.
# sqlite3: the demo and the benchmark build the browsers' databases with its command-line program.
set -euo pipefail
packages=(wine wine64 g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev xvfb xauth cmake make googletest ccache
          imagemagick x11-utils nsis zip fonts-wine nlohmann-json3-dev sqlite3)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
