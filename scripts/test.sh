#!/usr/bin/env bash
# Installs what is missing, then builds from scratch in a folder of its own and
# runs every test through CTest, makes the Debian package and installs, runs and
# removes it, runs the tests again, the window's included (offscreen), under
# AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz harness for a
# short while on its seed corpus; cross-builds for Windows, runs the core's
# tests and dravik-cli.exe under Wine and leaves
# dist/dravik-cli-VERSION-windows-x86_64.zip; with a Qt for Windows, also the
# window's tests and Dravik.exe under Wine and the window's release
# dist/dravik-VERSION-windows-x86_64.zip (scripts/windows.sh). Fails when any
# of them fails; prints the time each stage took.
# The Qt for Windows is the one DRAVIK_QT_WINDOWS names, the one in
# ~/.cache/dravik or ../shared/qt-windows; none is built unasked: without one
# (or with DRAVIK_QT_WINDOWS=none) the last lines say what was left out and
# how to build it (scripts/build-qt-windows.sh, about an hour and a half, once).
# The SQLite that the Windows programs link is found the same way
# (DRAVIK_SQLITE_WINDOWS, else ~/.cache/dravik), and built there when missing:
# scripts/build-sqlite-windows.sh takes about a minute.
# DRAVIK_FUZZ_SECONDS sets the time of each harness (20 s);
# DRAVIK_KEEP_BUILD=1 keeps the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
fuzz_seconds=${DRAVIK_FUZZ_SECONDS:-20}
. scripts/qt-windows.sh
find_qt_windows "$top"

scripts/install-deps.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/dravik-test.XXXXXX")
started=$SECONDS
finish() {
    local status=$?
    if [ "$status" -ne 0 ]; then
        echo "==> FAILED (exit status $status) after $((SECONDS - started)) s"
    fi
    if [ -n "${package_installed:-}" ]; then
        as_root dpkg --purge dravik >/dev/null 2>&1 || true
    fi
    if [ -n "${DRAVIK_KEEP_BUILD:-}" ]; then
        echo "==> build folder kept: $work"
    else
        rm -rf "$work"
    fi
}
trap finish EXIT
# Whatever a test or harness leaves in the temporary folder goes with the build.
# Tests that act as an ordinary user in a child must reach their folders.
chmod 755 "$work"
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
chmod 1777 "$TMPDIR"
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

stage() {
    local name=$1 start=$SECONDS
    shift
    echo "==> $name"
    "$@"
    echo "==> $name: $((SECONDS - start)) s"
}

build() { # FOLDER [CMAKE OPTIONS...]
    local folder=$1
    shift
    cmake -S "$top" -B "$folder" -G Ninja "$@"
    cmake --build "$folder" -j2
}

run_tests() { # FOLDER
    ctest --test-dir "$1" --output-on-failure --no-tests=error -j2
}

# The main build is hardened as Debian builds its packages, since its package
# is the one tested.
hardened() { # VARIABLE
    DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# dpkg as root, waiting while another dpkg or apt holds its lock.
dpkg_waiting() {
    local output
    for _ in $(seq 60); do
        if output=$(as_root dpkg "$@" 2>&1); then
            return 0
        fi
        if ! grep -q "lock" <<<"$output"; then
            echo "$output"
            return 1
        fi
        sleep 5
    done
    echo "$output"
    return 1
}

# The installed completions of dravik-cli where each shell looks for them,
# each read by its shell without a syntax error.
completions() {
    local shell file
    for shell in "bash:/usr/share/bash-completion/completions/dravik-cli" \
        "zsh:/usr/share/zsh/vendor-completions/_dravik-cli" \
        "fish:/usr/share/fish/vendor_completions.d/dravik-cli.fish"; do
        file=${shell#*:}
        shell=${shell%%:*}
        [ -f "$file" ] || { echo "no $shell completion at $file"; return 1; }
        "$shell" -n "$file" || { echo "$file: not $shell syntax"; return 1; }
    done
    echo "completions: bash, zsh and fish, each where its shell looks"
}

# The package of the main build: lintian finds no error or warning in it; it
# installs; both programs run from it, the window as the desktop menu starts
# it, in a home folder of its own; removing it leaves none of its files.
package_round_trip() {
    local deb version home window leftover=0
    (cd "$work/main" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; return 1; }
    deb=$(echo "$work"/main/dravik_*.deb)
    version=$(dpkg-deb -f "$deb" Version)
    echo "$(basename "$deb"), depends on: $(dpkg-deb -f "$deb" Depends)"
    lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
        { cat "$work/lintian.log"; return 1; }
    echo "lintian: no error or warning"
    if dpkg-query -W -f='${Status}' dravik 2>/dev/null | grep -q "ok installed"; then
        echo "dravik is installed on this machine already; remove it (dpkg -r dravik) for this test"
        return 1
    fi
    package_installed=1
    dpkg_waiting -i "$deb"
    dpkg -L dravik | grep -vx '/\.' >"$work/package-files"

    # The installed programs, whatever else the PATH holds.
    local -x PATH="/usr/bin:$PATH"
    [ "$(dravik-cli --version)" = "dravik-cli $version" ] || { echo "dravik-cli --version"; return 1; }
    [ "$(env -u DISPLAY -u WAYLAND_DISPLAY Dravik --version)" = "Dravik $version" ] ||
        { echo "Dravik --version"; return 1; }
    completions || return 1
    home=$(mktemp -d "$work/home.XXXXXX")
    window=$(sed -n 's/^Exec=\(.*\) %f$/\1/p' /usr/share/applications/dev.dravik.Dravik.desktop)
    (cd "$home" && exec env -u XDG_CONFIG_HOME HOME="$home" QT_QPA_PLATFORM=offscreen $window) \
        >"$work/window.log" 2>&1 &
    for _ in $(seq 300); do
        [ -f "$home/.config/dravik/Dravik.ini" ] && break
        sleep 0.1
    done
    sleep 1
    if ! kill -0 $! 2>/dev/null; then
        echo "'$window' did not keep running:"
        cat "$work/window.log"
        return 1
    fi
    kill $!
    wait $! || true
    dravik-cli default-settings | cmp - "$home/.config/dravik/Dravik.ini" ||
        { echo "'$window' made no Dravik.ini of the default content"; return 1; }
    [ -z "$(find "$home" -mindepth 1 -maxdepth 1 -not -name '.*')" ] ||
        { echo "'$window' wrote into the home folder:"; ls -A "$home"; return 1; }
    echo "ran dravik-cli and Dravik $version, and '$window' in a new ~/.config/dravik"

    dpkg_waiting --purge dravik
    package_installed=
    while IFS= read -r path; do
        if { [ -e "$path" ] || [ -L "$path" ]; } && ! dpkg -S "$path" >/dev/null 2>&1; then
            echo "left behind: $path"
            leftover=1
        fi
    done <"$work/package-files"
    [ "$leftover" -eq 0 ] || return 1
    echo "removed: none of its $(wc -l <"$work/package-files") paths is left"
}

build_fuzzers() {
    CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$work/fuzz" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVIK_FUZZ=ON -DDRAVIK_BUILD_TESTS=OFF \
        -DDRAVIK_BUILD_APP=OFF -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
    cmake --build "$work/fuzz" -j2 --target dravik_fuzzers
    fuzz/make-corpus.sh "$work/seeds" "$work/main/cli/dravik-cli"
}

# Each harness mutates a copy of its seeds; an input that breaks a property is
# kept in fuzz/findings/.
run_fuzzers() {
    local fuzzer name failed=0
    mkdir -p "$top/fuzz/findings"
    for fuzzer in "$work"/fuzz/fuzz/*_fuzzer; do
        name=$(basename "$fuzzer" _fuzzer)
        mkdir -p "$work/corpus/$name"
        if "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 \
            -artifact_prefix="$top/fuzz/findings/$name-" \
            "$work/corpus/$name" "$work/seeds/$name" > "$work/$name.log" 2>&1; then
            echo "$name: $(grep -m1 -o 'number_of_executed_units: [0-9]*' "$work/$name.log" |
                cut -d' ' -f2) executions, no finding"
        else
            echo "$name: FAILED"
            tail -n 60 "$work/$name.log"
            failed=1
        fi
    done
    return "$failed"
}

stage "build" build "$work/main" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVIK_WERROR=ON \
    -DCMAKE_CXX_FLAGS="$(hardened CXXFLAGS) $(hardened CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(hardened LDFLAGS)"
stage "tests" run_tests "$work/main"
stage "Debian package" package_round_trip
# Unoptimised, the sanitizer build compiles faster; its tests stay quick. The
# window and its tests are in it, so that its worker threads run under the
# sanitizers too; a sanitizer's report fails the test it comes from.
stage "build with sanitizers" build "$work/sanitize" -DCMAKE_BUILD_TYPE=Debug \
    -DDRAVIK_WERROR=ON -DDRAVIK_SANITIZE=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
stage "tests with sanitizers" run_tests "$work/sanitize"
stage "build fuzz harnesses" build_fuzzers
stage "fuzz ${fuzz_seconds} s each" run_fuzzers
stage "Windows: cross-build, tests and the window under Wine, release zips" \
    scripts/windows.sh "$work/windows" "$work/main/cli/dravik-cli"
echo "==> all stages passed in $((SECONDS - started)) s"
if [ -z "$qt_windows" ]; then
    qt_windows_left_out | sed 's/^/==> /'
fi
