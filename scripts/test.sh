#!/usr/bin/env bash
# Installs what is missing, builds Zodra and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" -DZODRA_WERROR=ON
cd "${BUILD_DIR:-$root/build}"
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 TZ=Europe/Zagreb
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
