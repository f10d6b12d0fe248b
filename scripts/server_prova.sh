#!/usr/bin/env bash
# Sourced by scripts/prove.sh: starts a PostgreSQL cluster of this run in a
# temporary folder (no system service, nothing outside the folder), exports
# SORVEL_PROVA_PG naming it, and stops it when the calling script ends. The
# tests then run a second time against the server. As root the cluster runs
# as the postgres user; otherwise as the user running the script.
avvia_server_prova() {
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
  if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
    echo "PostgreSQL non installato: le prove sul server sono saltate" >&2
    return 1
  fi
  SERVER_PROVA_DIR=$(mktemp -d /tmp/sorvel-pg.XXXXXX)
  local utente=()
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres "$SERVER_PROVA_DIR"
    utente=(runuser -u postgres --)
  fi
  local password porta
  password=$(head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n')
  echo "$password" > "$SERVER_PROVA_DIR/password"
  [ "$(id -u)" -eq 0 ] && chown postgres "$SERVER_PROVA_DIR/password"
  "${utente[@]}" "$bin/initdb" -D "$SERVER_PROVA_DIR/dati" -U postgres -E UTF8 --locale=C.UTF-8 \
    --auth-local=trust --auth-host=scram-sha-256 --pwfile="$SERVER_PROVA_DIR/password" > "$SERVER_PROVA_DIR/initdb.log" || return 1
  # a free port, from 55432 up
  porta=55432
  while (echo > /dev/tcp/127.0.0.1/$porta) 2>/dev/null; do porta=$((porta + 1)); done
  # a server for tests: no fsync, quick checkpoints of little data
  "${utente[@]}" "$bin/pg_ctl" -D "$SERVER_PROVA_DIR/dati" -l "$SERVER_PROVA_DIR/server.log" -w \
    -o "-p $porta -k $SERVER_PROVA_DIR -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start > /dev/null || return 1
  SERVER_PROVA_BIN=$bin
  SERVER_PROVA_UTENTE=("${utente[@]}")
  trap ferma_server_prova EXIT
  export SORVEL_PROVA_PG="Host=127.0.0.1; Port=$porta; User ID=postgres; Password=$password"
  echo "Server PostgreSQL di prova sulla porta $porta ($SERVER_PROVA_DIR)" >&2
}

ferma_server_prova() {
  if [ -n "${SERVER_PROVA_DIR:-}" ]; then
    "${SERVER_PROVA_UTENTE[@]}" "$SERVER_PROVA_BIN/pg_ctl" -D "$SERVER_PROVA_DIR/dati" -m immediate stop > /dev/null 2>&1 || true
    rm -rf "$SERVER_PROVA_DIR"
    SERVER_PROVA_DIR=
  fi
}
