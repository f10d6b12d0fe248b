#!/usr/bin/env bash
# Builds the program and starts it in lavoro/, on a database with demo data
# made the first time (an existing lavoro/sorvel.mdb is kept).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/pacchetti.sh
cmake --preset default -DBUILD_TESTING=OFF
cmake --build --preset default --target sorvel sorvel-cli
mkdir -p lavoro
cd lavoro
if [ ! -f sorvel.mdb ]; then
  ../build/app/sorvel-cli init-db
  ../build/app/sorvel-cli demo
fi
export SORVEL_XFER="${SORVEL_XFER:-$PWD/xfer/}"
mkdir -p "$SORVEL_XFER"
exec ../build/app/sorvel "$@"
