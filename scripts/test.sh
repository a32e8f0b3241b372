#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVIK_WERROR=ON
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
