#!/usr/bin/env bash
# Builds everything and runs every test, then the same tests built with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/pacchetti.sh
cmake --preset default -DBUILD_TESTING=ON
cmake --build --preset default
ctest --preset default -j2
# The asan test preset turns leak reports off: Qt's own allocations that live
# until exit are not ours to report.
cmake --preset asan -DBUILD_TESTING=ON -DSORVEL_BENCH=OFF
cmake --build --preset asan
ctest --preset asan -j2
