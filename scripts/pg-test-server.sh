#!/usr/bin/env bash
# A throwaway PostgreSQL server for the test suite, from Debian's postgresql package.
#   pg-test-server.sh start STATE_DIR     initdb into a new temp folder, a free port, pg_ctl start;
#                                         STATE_DIR/uri then holds the server's address
#   pg-test-server.sh run STATE_DIR CMD…  runs CMD with BRELVO_DB_SERVER set to that address
#   pg-test-server.sh stop STATE_DIR      stops the server and removes its folder
# Run as root, the server runs as the unprivileged user "nobody".
# Besides the trusted user "brelvo", the role "brelvo_senha" (password "senha-de-teste", database
# "brelvo_senha") must give its password, for the tests of the password prompt.
set -euo pipefail
cmd=${1:?start|run|stop}
state=${2:?state folder}

bindir() {
  local d
  if command -v pg_config >/dev/null && d=$(pg_config --bindir) && [ -x "$d/initdb" ]; then echo "$d"; return; fi
  for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    [ -x "$d/initdb" ] && { echo "$d"; return; }
  done
  echo "pg-test-server: initdb não encontrado (instale o pacote postgresql)" >&2
  exit 1
}

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

free_port() {
  local p
  for _ in $(seq 1 200); do
    p=$(( 20000 + RANDOM % 30000 ))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then echo "$p"; return; fi
  done
  echo "pg-test-server: nenhuma porta livre" >&2
  exit 1
}

case "$cmd" in
start)
  "$0" stop "$state" >/dev/null 2>&1 || true
  mkdir -p "$state"
  bin=$(bindir)
  data=$(mktemp -d /tmp/brelvo-pg-XXXXXX)
  chmod 700 "$data"
  [ "$(id -u)" -eq 0 ] && chown nobody: "$data"
  echo "$data" > "$state/datadir"
  as_owner "$bin/initdb" -D "$data/db" -U brelvo -A trust -E UTF8 --locale=C.UTF-8 >"$state/initdb.log" 2>&1 \
    || { cat "$state/initdb.log" >&2; exit 1; }
  # The first matching line wins: the password role ahead of the trusted ones.
  as_owner sh -c 'f="$1/pg_hba.conf"; { echo "host brelvo_senha brelvo_senha 127.0.0.1/32 scram-sha-256"; cat "$f"; } > "$f.new" && mv "$f.new" "$f"' sh "$data/db"
  for attempt in 1 2 3; do
    port=$(free_port)
    if as_owner "$bin/pg_ctl" -D "$data/db" -l "$data/server.log" -w -t 60 \
         -o "-p $port -k $data -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off -c max_connections=200" \
         start >"$state/pg_ctl.log" 2>&1; then
      break
    fi
    port=""
  done
  [ -n "$port" ] || { cat "$state/pg_ctl.log" "$data/server.log" >&2 || true; exit 1; }
  "$bin/createdb" -h 127.0.0.1 -p "$port" -U brelvo brelvo
  "$bin/psql" -q -h 127.0.0.1 -p "$port" -U brelvo -d brelvo \
    -c "CREATE ROLE brelvo_senha LOGIN PASSWORD 'senha-de-teste'" >/dev/null
  "$bin/createdb" -h 127.0.0.1 -p "$port" -U brelvo -O brelvo_senha brelvo_senha
  echo "postgresql://brelvo@127.0.0.1:$port/brelvo" > "$state/uri"
  echo "servidor de teste em $(cat "$state/uri")"
  ;;
run)
  shift 2
  [ -s "$state/uri" ] || { echo "pg-test-server: servidor de teste não iniciado" >&2; exit 1; }
  BRELVO_DB_SERVER=$(cat "$state/uri")
  export BRELVO_DB_SERVER
  exec "$@"
  ;;
stop)
  [ -s "$state/datadir" ] || exit 0
  data=$(cat "$state/datadir")
  bin=$(bindir)
  if [ -d "$data/db" ]; then
    as_owner "$bin/pg_ctl" -D "$data/db" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$data"
  rm -f "$state/datadir" "$state/uri"
  ;;
*)
  echo "uso: $0 start|run|stop STATE_DIR [comando…]" >&2
  exit 2
  ;;
esac
