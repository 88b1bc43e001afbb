#!/usr/bin/env bash
# A throw-away PostgreSQL cluster on a loopback port, for the network edition's
# tests and benchmarks.
#   bash scripts/pg-cluster.sh start DIR   makes DIR, creates and starts a
#                                          cluster there and writes DIR/conninfo
#                                          (a libpq connection string of the
#                                          superuser, with its password)
#   bash scripts/pg-cluster.sh stop DIR    stops it and removes DIR
# As root the server runs as the postgres user (through runuser), which owns DIR.
set -euo pipefail

action="${1:-}"
dir="${2:-}"
[ -n "$action" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }

bindir="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
[ -x "$bindir/pg_ctl" ] || { echo "PostgreSQL server programs not found" >&2; exit 1; }

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

case "$action" in
start)
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
    chmod 700 "$dir"
    password="qr$(od -An -N6 -tx1 /dev/urandom | tr -d ' \n')"
    printf '%s\n' "$password" > "$dir/pwfile"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir/pwfile"
    as_owner "$bindir/initdb" -D "$dir/data" -U postgres -E UTF8 --locale=C.UTF-8 \
        --auth-local=trust --auth-host=scram-sha-256 --pwfile="$dir/pwfile" >"$dir/initdb.log"
    rm -f "$dir/pwfile"
    # A test cluster: durability is not what it is for.
    for port in $(shuf -i 42000-52000 -n 20); do
        if as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start \
            -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" >/dev/null; then
            echo "host=127.0.0.1 port=$port user=postgres password=$password dbname=postgres" > "$dir/conninfo"
            chmod 644 "$dir/conninfo"
            cat "$dir/conninfo"
            exit 0
        fi
    done
    echo "could not start PostgreSQL; see $dir/server.log" >&2
    exit 1
    ;;
stop)
    if [ -d "$dir/data" ]; then
        as_owner "$bindir/pg_ctl" -D "$dir/data" -w -t 60 -m fast stop >/dev/null || true
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
