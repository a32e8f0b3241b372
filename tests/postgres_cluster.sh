#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the library's tests, listening on a Unix
# socket in a temporary folder of its own (no TCP). Run as root, the server
# runs as the ordinary user nobody, as PostgreSQL refuses root.
#   tests/postgres_cluster.sh start STATE  starts one and writes its URL to STATE
#   tests/postgres_cluster.sh stop STATE   stops it and removes its folder
# The superuser "dravik" logs in without a password; the role "guarded"
# only with the password "right-one", so that a refused login can be tried.
set -euo pipefail
action=$1
state=$2

bindir=$(pg_config --bindir 2>/dev/null || true)
if [ ! -x "$bindir/initdb" ]; then
    bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
fi
if [ ! -x "$bindir/initdb" ]; then
    echo "postgres_cluster.sh: no initdb; install postgresql (scripts/install-deps.sh)" >&2
    exit 1
fi

as_server() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
    else
        "$@"
    fi
}

stop() {
    [ -f "$state.folder" ] || return 0
    local folder
    folder=$(cat "$state.folder")
    if [ -f "$folder/data/postmaster.pid" ]; then
        as_server "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$folder"
    rm -f "$state" "$state.folder"
}

case $action in
start)
    stop
    folder=$(mktemp -d "${TMPDIR:-/tmp}/dravik-pg.XXXXXX")
    echo "$folder" >"$state.folder"
    trap 'status=$?; [ $status -eq 0 ] || { cat "$folder/log" >&2 2>/dev/null; stop; }' EXIT
    chmod 755 "$folder"
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody:nogroup "$folder"
    fi
    as_server "$bindir/initdb" -D "$folder/data" -U dravik --auth=trust --encoding=UTF8 \
        --locale=C.UTF-8 --no-sync >"$folder/initdb.log" 2>&1 ||
        { cat "$folder/initdb.log" >&2; exit 1; }
    {
        echo "local all guarded scram-sha-256"
        echo "local all all trust"
    } >"$folder/hba"
    as_server cp "$folder/hba" "$folder/data/pg_hba.conf"
    as_server "$bindir/pg_ctl" -D "$folder/data" -l "$folder/log" -w -t 30 \
        -o "-k $folder -c listen_addresses= -c fsync=off" start >/dev/null
    as_server "$bindir/psql" -h "$folder" -U dravik -d postgres -q -v ON_ERROR_STOP=1 \
        -c "CREATE DATABASE dravik" \
        -c "CREATE ROLE guarded LOGIN PASSWORD 'right-one'" >/dev/null
    echo "postgresql:///dravik?host=$folder&user=dravik" >"$state"
    ;;
stop)
    stop
    ;;
*)
    echo "usage: postgres_cluster.sh start|stop STATE" >&2
    exit 2
    ;;
esac
