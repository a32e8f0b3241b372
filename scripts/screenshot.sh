#!/usr/bin/env bash
# Takes the README's screenshot: the real window under Xvfb, started on a
# sample drive folder, after a click on Pasport. Writes docs/screenshot.png.
# "scripts/screenshot.sh windows [OUT]" takes the window of Dravik.exe under
# Wine instead, as the Windows stage starts it (scripts/windows.sh), and
# writes docs/screenshot-windows.png.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build=${BUILD_DIR:-$top/build}
if [ "${1:-}" = windows ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j2 --target dravik-cli >/dev/null
    DRAVIK_WINDOWS_SCREENSHOT=$(realpath -m "${2:-$top/docs/screenshot-windows.png}") \
        exec "$top/scripts/windows.sh" "$top/build-windows" "$build/cli/dravik-cli"
fi
out=${1:-$top/docs/screenshot.png}
palette=${2:-light}

"$top/scripts/install-deps.sh" xvfb xauth xdotool imagemagick >&2
if [ "$palette" = dark ]; then
    "$top/scripts/install-deps.sh" qt6-gtk-platformtheme >&2
    export QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
fi
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target Dravik dravik-cli >/dev/null
samples=$(mktemp -d)
trap 'kill "${app:-0}" "${xvfb:-0}" 2>/dev/null || true; rm -rf "$samples"' EXIT
DRAVIK_CLI="$build/cli/dravik-cli" "$top/samples/make-samples.sh" "$samples" >/dev/null

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

cd "$samples/ares-64"
QT_QPA_PLATFORM=xcb "$build/app/Dravik" >/dev/null 2>&1 &
app=$!
window=$(xdotool search --sync --onlyvisible --class Dravik | head -1)
sleep 0.5
# Pasport is the first toolbar button.
xdotool mousemove --window "$window" 14 14 click 1
sleep 0.5
xdotool mousemove --window "$window" 400 300
sleep 0.3
import -window "$window" "$out"
echo "$out"
