#!/usr/bin/env bash
# Builds everything and runs every test, on a database file and again on a
# PostgreSQL server started for the run (scripts/server_prova.sh), then the
# same tests built with AddressSanitizer and UndefinedBehaviorSanitizer on a
# database file only, to keep the whole run short on two cores (by hand, on
# a server: SORVEL_PROVA_PG=... ctest --preset asan).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/pacchetti.sh
source scripts/server_prova.sh
cmake --preset default -DBUILD_TESTING=ON
cmake --build --preset default
env -u SORVEL_PROVA_PG ctest --preset default -j2
if avvia_server_prova; then
  ctest --preset default -j2
  ferma_server_prova
fi
# The asan test preset turns leak reports off: Qt's own allocations that live
# until exit are not ours to report.
cmake --preset asan -DBUILD_TESTING=ON -DSORVEL_BENCH=OFF
cmake --build --preset asan
env -u SORVEL_PROVA_PG ctest --preset asan -j2
