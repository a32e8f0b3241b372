#!/usr/bin/env bash
# Installs what is missing, builds, and starts dravik-cli with the given arguments
# in the folder it was called from (so Dravik.ini is read from there).
set -euo pipefail
here=$(pwd)
top="$(cd "$(dirname "$0")/.." && pwd)"
build=${BUILD_DIR:-$top/build}

"$top/scripts/install-deps.sh" >&2
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target dravik-cli >&2
cd "$here"
exec "$build/cli/dravik-cli" "${@:---help}"
