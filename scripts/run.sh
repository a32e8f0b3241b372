#!/usr/bin/env bash
# Installs what building and running need, builds, and starts the window on a
# sample drive folder (its current directory, with its Dravik.ini), which it
# makes first. With a folder as the argument, starts it there instead. Without
# a display it shows the main job without a window: the passport of that
# folder from dravik-cli, and says how to see the window. Quiet when nothing
# needs building; otherwise one line shows how far the build is.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build=${BUILD_DIR:-$top/build}

"$top/scripts/install-deps.sh" --run >&2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if [ ! -f "$build/build.ninja" ]; then
    # The tests need GoogleTest, which building the programs does not.
    tests=OFF
    if dpkg-query -W -f='${Status}' libgtest-dev libgmock-dev 2>/dev/null |
        grep -c "ok installed" | grep -qx 2; then
        tests=ON
    fi
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DDRAVIK_BUILD_TESTS=$tests >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
fi

# Ninja's "[done/total]" count, on one line that a terminal overwrites.
show_progress() {
    local line started=
    while IFS= read -r line; do
        [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]] || continue
        if [ -t 2 ]; then
            printf '\rBuilding Dravik and dravik-cli in %s: step %s of %s' \
                "$build" "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}" >&2
        elif [ -z "$started" ]; then
            echo "Building Dravik and dravik-cli in $build ..." >&2
        fi
        started=1
    done
    if [ -n "$started" ] && [ -t 2 ]; then
        echo >&2
    fi
    return 0
}
if ! cmake --build "$build" -j2 --target Dravik dravik-cli 2>&1 | tee "$log" | show_progress; then
    cat "$log" >&2
    exit 1
fi

folder=${1:-}
if [ -z "$folder" ]; then
    folder="$top/samples/ares-64"
    if [ ! -d "$folder" ]; then
        DRAVIK_CLI="$build/cli/dravik-cli" "$top/samples/make-samples.sh" >"$log" 2>&1 ||
            { cat "$log" >&2; exit 1; }
    fi
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    again="$0${1:+ $(printf '%q' "$1")}"
    echo "No display here, so no window. The passport that its Pasport shows, from dravik-cli:" >&2
    status=0
    (cd "$folder" && "$build/cli/dravik-cli" pasport) || status=$?
    echo "To see the window, run $again on a desktop, or install xvfb and xauth and run: xvfb-run -a $again" >&2
    exit "$status"
fi
cd "$folder"
exec "$build/app/Dravik"
