#!/usr/bin/env bash
# Builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/pacchetti.sh
cmake --preset default -DBUILD_TESTING=ON
cmake --build --preset default
ctest --preset default -j2
