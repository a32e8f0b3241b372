#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window on a sample drive
# folder (its current directory, with its Dravik.ini). With a folder as the
# argument, starts it there instead. Quiet when nothing needs building.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build=${BUILD_DIR:-$top/build}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display here: run 'xvfb-run -a scripts/run.sh' for a virtual one, or use $build/cli/dravik-cli (see the README)." >&2
    exit 1
fi

"$top/scripts/install-deps.sh" >&2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
fi
cmake --build "$build" -j2 --target Dravik dravik-cli >"$log" 2>&1 || { cat "$log" >&2; exit 1; }

folder=${1:-}
if [ -z "$folder" ]; then
    folder="$top/samples/ares-64"
    if [ ! -d "$folder" ]; then
        DRAVIK_CLI="$build/cli/dravik-cli" "$top/samples/make-samples.sh" >"$log" 2>&1 ||
            { cat "$log" >&2; exit 1; }
    fi
fi
cd "$folder"
exec "$build/app/Dravik"
