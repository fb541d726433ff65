#!/usr/bin/env bash
# Installs what is missing, builds Zodra and starts the desktop program on the demo company
# (created on the first run in the user's data folder). Log in as "admin" with an empty
# password and choose a warehouse. Without a display it says how to start it under xvfb-run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build_dir="${BUILD_DIR:-$root/build}"
data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/Zodra"
demo="$data_dir/demo.mdb"
mkdir -p "$data_dir"
if [ ! -f "$demo" ]; then
    "$build_dir/zodractl" demo "$demo"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Nema grafičkog zaslona (DISPLAY nije postavljen), pa se Zodra ne može prikazati."
    echo "Pokrenite je pod virtualnim zaslonom:"
    echo "    xvfb-run -a $build_dir/zodra \"$demo\""
    echo "ili pogledajte slike prozora:  scripts/screenshots.sh  (PNG u screenshots/)"
    exit 1
fi
exec "$build_dir/zodra" "$demo"
