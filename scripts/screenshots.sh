#!/usr/bin/env bash
# Builds Zodra and photographs every window it has, one PNG per window, on a fresh demo
# company: the splash, the main window before and after opening, login, warehouse choice, the
# menus, and every window bound in the command registry (later windows appear by themselves).
# Runs on the offscreen platform, so no display is needed.
#     scripts/screenshots.sh [FOLDER]        (default: screenshots/)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/screenshots}"
build_dir="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build_dir/zodractl" demo "$work/demo.mdb" >/dev/null
rm -rf "$out"
mkdir -p "$out"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" LANG=C.UTF-8
export ZODRA_CONFIG="$work/ZodraConfig.cfg" XDG_CONFIG_HOME="$work/config"
"$build_dir/zodra_tour" --screenshots "$out" "$work/demo.mdb" 2> >(grep -v -e propagateSizeHints -e 'grabbing the keyboard' -e 'support raise' -e XDG_RUNTIME_DIR >&2)
