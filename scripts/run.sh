#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts Brelvo. On a first start
# the database is created in the alias folder (default: dados/ beside the program).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELVO_BUILD_TESTS=OFF -DBRELVO_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR" --target Brelvo Back-Up
exec "$BUILD_DIR/bin/Brelvo" "$@"
