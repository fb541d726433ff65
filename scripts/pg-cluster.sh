#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests: initdb into a temporary folder as an
# unprivileged user, listening on a Unix socket in that folder only (no TCP port at all).
#
#   scripts/pg-cluster.sh start   makes and starts the cluster, prints its URL
#   scripts/pg-cluster.sh url     prints the URL of the running cluster
#   scripts/pg-cluster.sh restart stops the running cluster at once (its connections are cut,
#                                 their open transactions lost) and starts it again
#   scripts/pg-cluster.sh stop    stops the cluster and removes its folder
#
# The folder of the running cluster is remembered in $ZODRA_PG_STATE (default: pg-cluster.state
# in the build folder), so that several worktrees or builds each have their own cluster.
# Exit code 3: no PostgreSQL server binaries on this machine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
state="${ZODRA_PG_STATE:-${BUILD_DIR:-$root/build}/pg-cluster.state}"
superuser=zodra

bindir() {
    local initdb
    initdb=$(ls -1d /usr/lib/postgresql/*/bin/initdb 2>/dev/null | sort -V | tail -n 1 || true)
    if [ -z "$initdb" ]; then
        return 1
    fi
    dirname "$initdb"
}

# The user the server runs as: initdb refuses root, so root hands the cluster to zodrapg.
owner() {
    if [ "$(id -u)" -ne 0 ]; then
        id -un
        return
    fi
    if ! id zodrapg >/dev/null 2>&1; then
        useradd --system --no-create-home --shell /usr/sbin/nologin zodrapg
    fi
    echo zodrapg
}

as_owner() {
    local user="$1"
    shift
    if [ "$(id -un)" = "$user" ]; then
        "$@"
    else
        runuser -u "$user" -- "$@"
    fi
}

url_of() {
    echo "postgresql://$superuser@/postgres?host=$1"
}

case "${1:-}" in
    start)
        bin=$(bindir) || { echo "pg-cluster: no PostgreSQL server binaries (initdb)" >&2; exit 3; }
        if [ -f "$state" ] && [ -d "$(cat "$state")" ]; then
            echo "pg-cluster: already running in $(cat "$state")" >&2
            url_of "$(cat "$state")"
            exit 0
        fi
        user=$(owner)
        # A short path: the socket's full name must stay below 108 bytes.
        dir=$(mktemp -d /tmp/zodra-pg.XXXXXX)
        chmod 755 "$dir"
        chown "$user" "$dir"
        as_owner "$user" "$bin/initdb" -D "$dir/data" -U "$superuser" -A trust -E UTF8 \
            --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
            { cat "$dir/initdb.log" >&2; rm -rf "$dir"; exit 1; }
        cat >>"$dir/data/postgresql.conf" <<CONF
listen_addresses = ''
unix_socket_directories = '$dir'
unix_socket_permissions = 0777
max_connections = 200
fsync = off
synchronous_commit = off
full_page_writes = off
shared_buffers = 64MB
CONF
        as_owner "$user" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start \
            >/dev/null || { cat "$dir/server.log" >&2; rm -rf "$dir"; exit 1; }
        mkdir -p "$(dirname "$state")"
        echo "$dir" >"$state"
        url_of "$dir"
        ;;
    url)
        [ -f "$state" ] || { echo "pg-cluster: not running" >&2; exit 1; }
        url_of "$(cat "$state")"
        ;;
    restart)
        [ -f "$state" ] || { echo "pg-cluster: not running" >&2; exit 1; }
        dir=$(cat "$state")
        bin=$(bindir) || { echo "pg-cluster: no PostgreSQL server binaries (initdb)" >&2; exit 3; }
        user=$(stat -c %U "$dir/data")
        as_owner "$user" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -m immediate -w -t 60 \
            restart >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
        url_of "$dir"
        ;;
    stop)
        [ -f "$state" ] || exit 0
        dir=$(cat "$state")
        bin=$(bindir) || exit 0
        if [ -d "$dir/data" ]; then
            user=$(stat -c %U "$dir/data")
            as_owner "$user" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
        fi
        rm -rf "$dir" "$state"
        ;;
    *)
        echo "usage: $0 start|stop|restart|url" >&2
        exit 2
        ;;
esac
