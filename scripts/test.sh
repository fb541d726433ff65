#!/usr/bin/env bash
# Installs what is missing, builds Zodra and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" -DZODRA_WERROR=ON
build="${BUILD_DIR:-$root/build}"
cd "$build"
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 TZ=Europe/Zagreb
# A throwaway PostgreSQL cluster for the server variants of the tests, where the server binaries
# are installed; without it those tests skip and say so.
export ZODRA_PG_STATE="$build/pg-cluster.state"
if ls /usr/lib/postgresql/*/bin/initdb >/dev/null 2>&1; then
    trap '"$root/scripts/pg-cluster.sh" stop' EXIT
    if ZODRA_TEST_PG_URL="$("$root/scripts/pg-cluster.sh" start)"; then
        export ZODRA_TEST_PG_URL
        echo "PostgreSQL test cluster: $ZODRA_TEST_PG_URL"
    else
        echo "The PostgreSQL test cluster did not start: the server variants of the tests are skipped."
    fi
else
    echo "No PostgreSQL server binaries: the server variants of the tests are skipped."
fi
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
