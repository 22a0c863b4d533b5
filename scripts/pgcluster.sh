#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests, listening only on a Unix
# socket inside its own folder (no TCP port):
#   scripts/pgcluster.sh start DIR   makes DIR/data (initdb) unless it exists,
#                                    starts the server with its socket in DIR
#                                    and prints the socket folder;
#   scripts/pgcluster.sh stop DIR    stops it (DIR stays; remove it yourself).
# Run as root, the server runs as the unprivileged user in $MIRAFEL_PG_USER
# (default "nobody"): DIR is handed to that user and the socket is open to all
# local users, so the root-run tests can connect. Connections are trusted
# (the cluster holds test data only and nothing listens on the network).
# The database "mirafel" and the role of the calling user are created.
set -euo pipefail

action="${1:-}"
dir="${2:-}"
if [ -z "$action" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi

bindir=""
for d in /usr/lib/postgresql/*/bin; do
  [ -x "$d/initdb" ] && bindir="$d"
done
if [ -z "$bindir" ]; then
  echo "pgcluster: PostgreSQL server not installed (scripts/install-deps.sh)" >&2
  exit 1
fi

mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
data="$dir/data"
log="$dir/server.log"
caller="$(id -un)"

# Runs a server program as the cluster's owner.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    local owner="${MIRAFEL_PG_USER:-nobody}"
    # setpriv keeps the environment and needs no login shell for the user.
    setpriv --reuid="$owner" --regid="$(id -g "$owner")" --clear-groups -- "$@"
  else
    "$@"
  fi
}

case "$action" in
start)
  if [ "$(id -u)" -eq 0 ]; then
    chown -R "${MIRAFEL_PG_USER:-nobody}:" "$dir"
    # The folders above DIR must let the owner reach it (a folder made by
    # mktemp is closed to others). Tested as the owner: root may pass anywhere.
    p="$dir"
    while [ "$p" != "/" ]; do
      p="$(dirname "$p")"
      as_owner test -x "$p" || chmod o+x "$p"
    done
  fi
  if [ ! -f "$data/PG_VERSION" ]; then
    as_owner "$bindir/initdb" -D "$data" -A trust -E UTF8 --locale=C.UTF-8 -U postgres >"$dir/initdb.log" 2>&1 \
      || { cat "$dir/initdb.log" >&2; exit 1; }
  fi
  # A server left running by an interrupted run serves again.
  if ! as_owner "$bindir/pg_ctl" -D "$data" status >/dev/null 2>&1; then
    as_owner "$bindir/pg_ctl" -D "$data" -l "$log" -w -t 60 \
      -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c unix_socket_permissions=0777 -c fsync=off -c max_connections=50" \
      start >/dev/null || { cat "$log" >&2; exit 1; }
  fi
  psql=("$bindir/psql" -h "$dir" -U postgres -d postgres -v ON_ERROR_STOP=1 -qAt)
  if [ "$caller" != "postgres" ] && [ -z "$("${psql[@]}" -c "SELECT 1 FROM pg_roles WHERE rolname = '$caller'")" ]; then
    "${psql[@]}" -c "CREATE ROLE \"$caller\" LOGIN SUPERUSER"
  fi
  if [ -z "$("${psql[@]}" -c "SELECT 1 FROM pg_database WHERE datname = 'mirafel'")" ]; then
    "${psql[@]}" -c "CREATE DATABASE mirafel OWNER \"$caller\""
  fi
  echo "$dir"
  ;;
stop)
  if [ -f "$data/postmaster.pid" ]; then
    as_owner "$bindir/pg_ctl" -D "$data" -m fast -w stop >/dev/null
  fi
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
