#!/usr/bin/env bash
# Builds the program and starts it in lavoro/, on a database holding a demo
# supply imported the first time (an existing lavoro/sorvel.mdb is kept).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/pacchetti.sh
cmake --preset default -DBUILD_TESTING=OFF
cmake --build --preset default --target sorvel sorvel-cli genera_fornitura genera_ruolo
mkdir -p lavoro
cd lavoro
if [ ! -f sorvel.mdb ]; then
  # a supply of Pesaro as the Agenzia would send it, imported as a clerk would
  ../build/tools/fornitura/genera_fornitura fornitura-G479.txt 300 G479
  ../build/app/sorvel-cli init-db
  ../build/app/sorvel-cli params --nome PESARO --provincia "PESARO E URBINO" --codfis 00272430414 \
    --indirizzo "PIAZZA DEL POPOLO 1" --telefono "0721 3871" --fax "0721 387211" \
    --firma "Il Funzionario Responsabile" >/dev/null
  ../build/app/sorvel-cli import fornitura-G479.txt
fi
if [ -z "${SORVEL_XFER:-}" ]; then
  # the demo's own exchange directory, with a roll of the demo's owners as
  # the waste-tax program would leave it there
  export SORVEL_XFER="$PWD/xfer/"
  mkdir -p "$SORVEL_XFER"
  [ -f "${SORVEL_XFER}rsutot.txt" ] || [ ! -f sorvel.mdb ] || ../build/tools/ruolo/genera_ruolo sorvel.mdb "${SORVEL_XFER}rsutot.txt"
fi
exec ../build/app/sorvel "$@"
