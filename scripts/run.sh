#!/usr/bin/env bash
# Installs what is missing, builds Zodra and starts it on the demo company (created on first run
# in the user's data folder).
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
if [ -x "$build_dir/zodra" ]; then
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
        echo "Nema grafičkog zaslona (DISPLAY nije postavljen)."
        echo "Pokrenite program pod virtualnim zaslonom:  xvfb-run -a $build_dir/zodra \"$demo\""
        exit 1
    fi
    exec "$build_dir/zodra" "$demo"
fi
# The desktop program is not part of this build yet: show the demo company from the command line.
echo "Demo poduzeće: $demo"
exec "$build_dir/zodractl" check "$demo"
