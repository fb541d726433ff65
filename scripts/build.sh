#!/usr/bin/env bash
# Configures and builds Zodra into build/ (or the folder given as $BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"
build_type="${BUILD_TYPE:-RelWithDebInfo}"
extra=("$@")
cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "${extra[@]}" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
