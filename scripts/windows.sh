#!/usr/bin/env bash
# Dravik for Windows, built and tested on Linux: cross-builds the core,
# dravik-cli.exe, Dravik.exe and their tests with MinGW-w64 against a Qt for
# Windows, runs every test binary under Wine through CTest (the window's tests
# with the offscreen platform), checks that dravik-cli.exe prints the same rows
# and writes the same report bytes as the Linux dravik-cli on the sample
# folders, checks what only Windows has (the console's wide-character output,
# the expansion of wildcards), packs dist/dravik-cli-VERSION-windows-x86_64.zip
# (dravik-cli.exe, a Dravik.ini of the default content, a README.txt for
# Windows and the licence) and the release
# dist/dravik-VERSION-windows-x86_64.zip (Dravik.exe with the Qt DLLs and
# plugins it needs, dravik-cli.exe, the licences and a README for Windows),
# then starts Dravik.exe from the unzipped release under Wine and Xvfb in a
# sample drive folder, presses Pasport and checks the grid's rows against the
# Linux dravik-cli's. Fails when any of it fails.
# The Qt for Windows is the one DRAVIK_QT_WINDOWS names, else the one that
# scripts/build-qt-windows.sh left in ~/.cache/dravik, else the one beside the
# repository's folder (../shared/qt-windows); scripts/qt-windows.sh says which
# version. With none (or DRAVIK_QT_WINDOWS=none) no Qt is built: the core,
# dravik-cli.exe and their tests are, and the window's part is left out, which
# the last lines say. DRAVIK_WINDOWS_SCREENSHOT names a file to keep the
# window's screenshot in.
# Usage: scripts/windows.sh [BUILD_FOLDER [LINUX_DRAVIK_CLI]]
# (defaults: build-windows and build/cli/dravik-cli, which must be built).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
build=$(realpath -m "${1:-build-windows}")
linux_cli=$(realpath -m "${2:-build/cli/dravik-cli}")
. scripts/qt-windows.sh
. scripts/sqlite-windows.sh

# Wine's preloader reserves the addresses that every Windows process needs
# (its shared user data at 0x7FFE0000 among them) before anything else is
# mapped; without it a program now and then fails to start ("failed to map
# the shared user data"), printing nothing a test would.
scripts/install-deps.sh g++-mingw-w64-x86-64-posix libsqlite3-dev wine64 wine64-preloader googletest zip unzip \
    xvfb xauth xdotool imagemagick
if [ ! -x "$linux_cli" ]; then
    echo "windows.sh: $linux_cli not found; build it first (cmake --build build)" >&2
    exit 1
fi
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# A Wine prefix of our own, gone at the end with its server and its display.
# Wine's notes of what it lacks are left out, its errors kept: a program that
# Wine fails to start or stops says why in the test's output. Wine reads the
# Unix side's file names and arguments in the locale's encoding: UTF-8.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/dravik-windows.XXXXXX")
export WINEPREFIX=$scratch/wine WINEDEBUG=fixme-all LC_ALL=C.UTF-8
finish() {
    "$wineserver" -k 2>/dev/null || true
    if [ -n "${xvfb:-}" ]; then
        kill "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap finish EXIT

step() {
    local name=$1 start=$SECONDS
    shift
    "$@"
    echo "--> $name: $((SECONDS - start)) s"
}

# The Qt for Windows, when there is one; a folder that DRAVIK_QT_WINDOWS names
# must hold one.
find_qt() {
    find_qt_windows "$top"
    qt=$qt_windows
    if [ -z "$qt" ]; then
        echo "No Qt for Windows: the window's part is left out"
    elif [ ! -f "$qt/lib/cmake/Qt6/Qt6Config.cmake" ]; then
        echo "windows.sh: no Qt for Windows in $qt (DRAVIK_QT_WINDOWS)" >&2
        return 1
    else
        echo "Qt for Windows: $qt"
    fi
}

# The SQLite for Windows, built into the cache when there is none; a folder
# that DRAVIK_SQLITE_WINDOWS names must hold one.
find_sqlite() {
    find_sqlite_windows "$top"
    sqlite=$sqlite_windows
    if [ -z "$sqlite" ]; then
        scripts/build-sqlite-windows.sh "$sqlite_windows_cache"
        sqlite=$sqlite_windows_cache
    fi
    if [ ! -f "$sqlite/include/sqlite3.h" ] || [ ! -f "$sqlite/lib/libsqlite3.a" ]; then
        echo "windows.sh: no SQLite for Windows in $sqlite (DRAVIK_SQLITE_WINDOWS);" \
            "scripts/build-sqlite-windows.sh $sqlite builds one" >&2
        return 1
    fi
    echo "SQLite for Windows: $sqlite"
}

# SQLite is linked into the programs: it adds no DLL to the release zips. The
# library of drive folders on Windows has SQLite only: no PostgreSQL is looked
# for, whatever the build machine has.
cross_build() {
    local window=(-DDRAVIK_BUILD_APP=OFF) programs=(cli/dravik-cli.exe)
    if [ -n "$qt" ]; then
        window=(-DDRAVIK_BUILD_APP=ON -DCMAKE_PREFIX_PATH="$qt")
        programs+=(app/Dravik.exe tests/test_app.exe)
    fi
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DDRAVIK_WERROR=ON "${window[@]}" \
        -DSQLite3_INCLUDE_DIR="$sqlite/include" -DSQLite3_LIBRARY="$sqlite/lib/libsqlite3.a" \
        -DCMAKE_DISABLE_FIND_PACKAGE_PostgreSQL=ON \
        > "$scratch/configure.log" ||
        { cat "$scratch/configure.log"; return 1; }
    grep "left out" "$scratch/configure.log" || true
    cmake --build "$build" -j2
    for program in "${programs[@]}"; do
        [ -f "$build/$program" ] || { echo "windows.sh: $program was not built" >&2; return 1; }
    done
}

# The first start of a prefix takes a while; the tests then start at once. The
# server stays until the end: one that quits when idle drops a test that
# starts just then ("wine client error"). The display comes first, so that
# every program of the prefix has it.
start_wine() {
    exec 3> "$scratch/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
    xvfb=$!
    exec 3>&-
    for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
    DISPLAY=:$(cat "$scratch/display")
    export DISPLAY
    mkdir -p "$WINEPREFIX"
    "$wineserver" -p
    "$wine" wineboot -i > /dev/null 2>&1
    # A program that crashes ends at once, with the exception's code as its exit
    # status and Wine's backtrace in its output, instead of waiting in a crash
    # dialog (a test's timeout) or ending with status 0 after the debugger ran.
    "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f > /dev/null 2>&1
    "$wine" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
        > /dev/null 2>&1
}

run_tests() {
    ctest --test-dir "$build" --output-on-failure --no-tests=error -j2 -LE window
}

# The window's tests, headless; none run is a failure. Qt's offscreen platform
# on Windows takes its fonts from a folder: the fonts that the Linux tests get
# from fontconfig, through Wine's drive Z:.
run_window_tests() {
    local fonts
    fonts=$(dirname "$(fc-match -f '%{file}' sans-serif)")
    QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR="Z:${fonts//\//\\}" \
        ctest --test-dir "$build" --output-on-failure --no-tests=error -j2 -L window
}

failed=0
same() { # WHAT LINUX_FILE WINDOWS_FILE
    if cmp -s "$2" "$3"; then
        echo "same $1"
    else
        echo "DIFFERENT $1:"
        diff "$2" "$3" | head -n 20 || true
        failed=1
    fi
}

# The SQLite linked into the Windows programs against the Linux build's: one
# small program (scripts/sqlite-check.c), built for both, must print the same
# version, the same compile options and the same answers from a store in WAL
# mode in a folder named in Cyrillic. Aside are the compiler's name, the isnan()
# that Linux's configure found and each system's own mutexes.
compare_sqlite() {
    local check=$scratch/sqlite-check side
    local disk=$'\xD0\x94\xD0\xB8\xD1\x81\xD0\xBA' # "Диск"
    mkdir -p "$check/linux/$disk" "$check/windows/$disk"
    gcc -Wall -Wextra -Werror -O2 -o "$check/linux/sqlite-check" scripts/sqlite-check.c -lsqlite3
    x86_64-w64-mingw32-gcc-posix -Wall -Wextra -Werror -O2 -static -I"$sqlite/include" \
        -o "$check/windows/sqlite-check.exe" scripts/sqlite-check.c "$sqlite/lib/libsqlite3.a"
    (cd "$check/linux" && ./sqlite-check .) > "$check/linux.out" || true
    (cd "$check/windows" && "$wine" sqlite-check.exe .) > "$check/windows.out" || true
    for side in linux windows; do
        tr -d '\r' < "$check/$side.out" | grep -Ev '^option (COMPILER=|HAVE_ISNAN$|MUTEX_)' \
            > "$check/$side.compared"
    done
    if ! grep -qx 'after the commit, rows: 2' "$check/linux.compared"; then
        echo "sqlite-check failed on Linux:"
        cat "$check/linux.out"
        return 1
    fi
    same "SQLite: version, options, a store in WAL mode in a Cyrillic folder" \
        "$check/linux.compared" "$check/windows.compared"
    return "$failed"
}

# Each program works in a copy of its own of the sample folders, from the
# folder that holds samples/ and Dravik.ini, given the paths of its own system.
compare_cli() {
    local linux=$scratch/linux windows=$scratch/windows exe=$build/cli/dravik-cli.exe
    local disk=$'\xD0\x94\xD0\xB8\xD1\x81\xD0\xBA' # "Диск", a folder named in Cyrillic
    for side in "$linux" "$windows"; do
        DRAVIK_CLI=$linux_cli samples/make-samples.sh "$side/samples" > /dev/null
        cp "$side/samples/Dravik.ini" "$side/"
        cp -r "$side/samples/ares-64" "$side/samples/$disk"
    done
    linux_run() { (cd "$linux" && "$linux_cli" "$@"); }
    windows_run() { (cd "$windows" && "$wine" "$exe" "$@"); }

    linux_run pasport samples/ares-64 --report pasport.txt > "$linux/pasport.out"
    windows_run pasport 'samples\ares-64' --report pasport.txt > "$windows/pasport.out"
    same "pasport rows" "$linux/pasport.out" "$windows/pasport.out"
    same "pasport report bytes" "$linux/pasport.txt" "$windows/pasport.txt"

    for command in check-rom specification; do
        linux_run "$command" samples/ares-64 --report "$command.txt" > "$linux/$command.out" 2> /dev/null
        windows_run "$command" 'samples\ares-64' --report "$command.txt" > "$windows/$command.out" 2> /dev/null
        same "$command rows" "$linux/$command.out" "$windows/$command.out"
        same "$command report bytes" "$linux/$command.txt" "$windows/$command.txt"
    done

    # Many inputs as the shell gives them, in json, where the rows' sources name
    # their files by the path of each system; a folder in Cyrillic, and its title.
    (cd "$linux" && "$linux_cli" check-ldr samples/*/*.ldr --format json) |
        sed 's|"file": "[^"]*samples/|"file": "samples/|g' > "$linux/ldr.json"
    (cd "$windows" && "$wine" "$exe" check-ldr samples/*/*.ldr --format json) |
        sed 's|"file": "[^"]*samples/|"file": "samples/|g' > "$windows/ldr.json"
    same "check-ldr json, the start of its paths aside" "$linux/ldr.json" "$windows/ldr.json"
    linux_run pasport "samples/$disk" > "$linux/disk.out" 2> /dev/null
    windows_run pasport "samples\\$disk" > "$windows/disk.out" 2> "$windows/disk.err"
    same "pasport rows of a Cyrillic folder" "$linux/disk.out" "$windows/disk.out"
    grep -q "\\\\samples\\\\$disk\\\\pasport.rpm Q8A07\$" "$windows/disk.err" &&
        echo "same title of a Cyrillic folder" ||
        { echo "DIFFERENT title: $(cat "$windows/disk.err")"; failed=1; }

    linux_run rename-ldr samples/falcon/falcon.ldr > /dev/null
    windows_run rename-ldr 'samples\falcon\falcon.ldr' > /dev/null
    ls "$linux/samples/falcon" > "$linux/falcon.names"
    ls "$windows/samples/falcon" > "$windows/falcon.names"
    same "names after rename-ldr" "$linux/falcon.names" "$windows/falcon.names"
    return "$failed"
}

# What Windows alone has. No Windows shell expands wildcards: dravik-cli.exe
# does, in name order, and keeps an argument that matches nothing for its
# error. On a console, text goes through WriteConsoleW, so that Cyrillic shows
# at any code page: Wine gives a program started on a terminal a console, and
# its trace of the console calls shows which call wrote the name.
windows_only() {
    local windows=$scratch/windows linux=$scratch/linux exe=$build/cli/dravik-cli.exe
    local disk=$'\xD0\x94\xD0\xB8\xD1\x81\xD0\xBA'
    for side in "$linux" "$windows"; do
        mkdir -p "$side/loaders" && cp -n "$side"/samples/*/*.ldr "$side/Dravik.ini" "$side/loaders/"
    done
    (cd "$linux/loaders" && "$linux_cli" check-ldr *.ldr ../samples/ares-64/*.ldr --format tsv) \
        > "$linux/wild.out"
    (cd "$windows/loaders" && "$wine" "$exe" check-ldr '*.ldr' '..\samples\ares-64\*.LDR' --format tsv) |
        sed 's|\\\\|/|g' > "$windows/wild.out"
    same "check-ldr *.ldr" "$linux/wild.out" "$windows/wild.out"
    (cd "$windows/loaders" && "$wine" "$exe" check-ldr '*.none') \
        > /dev/null 2> "$windows/none.err" || true
    if grep -qx 'dravik-cli: \*.none: File not found.' "$windows/none.err"; then
        echo "same error for a pattern that matches nothing"
    else
        echo "DIFFERENT error for *.none: $(cat "$windows/none.err")"
        failed=1
    fi

    # A terminal wide enough that a long folder path stays on one line.
    (cd "$windows" && WINEDEBUG=trace+console \
        script -qec "stty cols 1000; '$wine' '$exe' pasport 'samples\\$disk'" /dev/null) \
        > "$windows/console.out" 2>&1 || true
    # The trace writes the name's letters as \0414...; the terminal shows them.
    grep -aF 'WriteConsoleW' "$windows/console.out" > "$windows/console.calls" || true
    if grep -aqF '\0414\0438\0441\043a\\pasport.rpm' "$windows/console.calls" &&
        grep -aqF "$disk\\pasport.rpm Q8A07" "$windows/console.out" &&
        grep -aq 'Family *:Ares 64' "$windows/console.out"; then
        echo "the console shows the Cyrillic folder, written through WriteConsoleW"
    else
        echo "NO Cyrillic through WriteConsoleW on the console:"
        grep -a 'WriteConsole\|Family\|pasport' "$windows/console.out" | head -n 10
        failed=1
    fi
    return "$failed"
}

# The release: the stripped program, the default settings, a README for
# Windows (CR LF) and the licence in one folder, which works as it is.
pack() {
    local version name folder
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    name=dravik-cli-$version-windows-x86_64
    folder=$scratch/$name
    mkdir -p "$folder" "$top/dist"
    x86_64-w64-mingw32-strip -o "$folder/dravik-cli.exe" "$build/cli/dravik-cli.exe"
    "$linux_cli" default-settings > "$folder/Dravik.ini"
    sed 's/$/\r/' package/windows/README.txt > "$folder/README.txt"
    if [ -f LICENSE ]; then
        cp LICENSE "$folder/"
    fi
    "$wine" "$folder/dravik-cli.exe" --version
    # Run from the unzipped folder, it reads its Dravik.ini; Wine's drive Z: is "/".
    local drive="Z:${scratch//\//\\}\\windows\\samples\\ares-64"
    (cd "$folder" && "$wine" dravik-cli.exe pasport "$drive" 2> /dev/null) | grep -q '^Family *:Ares 64' ||
        { echo "the unzipped folder does not read its Dravik.ini"; return 1; }
    rm -f "$top/dist/$name.zip"
    (cd "$scratch" && zip -qr "$top/dist/$name.zip" "$name")
    echo "dist/$name.zip:"
    unzip -l "$top/dist/$name.zip" | sed -n '4,$p'
}

# The window's release: Dravik.exe with what the build laid beside it (Qt's
# DLLs, MinGW's runtime that they need, the windows platform and the Windows
# style plugins), dravik-cli.exe, the licences (Qt's, and SQLite's notice
# when the programs carry it) and the README for Windows.
pack_window() {
    local version name folder licenses
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    name=dravik-$version-windows-x86_64
    folder=$scratch/$name
    window_zip=$top/dist/$name.zip
    mkdir -p "$folder/licenses/Qt" "$top/dist"
    (cd "$build/app" && cp --parents ./*.dll ./*/*.dll "$folder/")
    cp "$build/app/Dravik.exe" "$build/cli/dravik-cli.exe" "$folder/"
    # Without their symbols (MinGW's libstdc++-6.dll carries 20 MB of them).
    find "$folder" \( -name '*.dll' -o -name '*.exe' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
    # Text files as Windows programs read them.
    sed 's/$/\r/' package/windows/Dravik-README.txt > "$folder/README.txt"
    sed 's/$/\r/' LICENSE > "$folder/LICENSE.txt"
    sed 's/$/\r/' package/windows/Qt-NOTICE.txt > "$folder/licenses/Qt/NOTICE.txt"
    # SQLite's notice goes with the programs that carry SQLite.
    if grep -aqF 'SQLite format 3' "$folder/Dravik.exe" "$folder/dravik-cli.exe"; then
        mkdir -p "$folder/licenses/SQLite"
        sed 's/$/\r/' package/windows/SQLite-NOTICE.txt > "$folder/licenses/SQLite/NOTICE.txt"
    fi
    licenses=$qt/licenses
    if [ ! -d "$licenses" ]; then
        # A Qt built elsewhere: Debian's copies of the same licences.
        licenses=$scratch/common-licenses
        mkdir -p "$licenses"
        cp /usr/share/common-licenses/LGPL-3 "$licenses/LGPL-3.0-only.txt"
        cp /usr/share/common-licenses/GPL-3 "$licenses/GPL-3.0-only.txt"
    fi
    cp -r "$licenses/." "$folder/licenses/Qt/"
    rm -f "$window_zip"
    (cd "$scratch" && zip -qr "$window_zip" "$name")
    echo "dist/$name.zip, $(du -k "$window_zip" | cut -f1) KiB:"
    unzip -l "$window_zip" | sed -n '4,$p' | grep -v '/licenses/'
}

# Dravik.exe from the unzipped release, with nothing else on its path, started
# in a sample drive folder on drive C: as a user starts it; a press on Pasport
# fills the grid, whose rows Save All writes: they must be the bytes of the
# Linux dravik-cli's report of the same folder.
# The first visible window that xdotool finds by its options within SECONDS,
# or nothing. A window that Wine makes and drops while xdotool reads the list
# ends that search with BadWindow: such a search is tried again while the
# program runs.
visible_window() { # SECONDS OPTION...
    local seconds=$1 found=
    shift
    for _ in 1 2 3 4 5; do
        found=$(timeout "$seconds" xdotool search --sync --onlyvisible "$@" \
            2>>"$scratch/xdotool.log" | head -n1) || true
        [ -n "$found" ] && break
        kill -0 "$app" 2>/dev/null || break
        sleep 1
    done
    echo "$found"
}

window_under_wine() {
    local release=$scratch/release drives=$WINEPREFIX/drive_c/Drives app window dialog
    unzip -q "$window_zip" -d "$release"
    DRAVIK_CLI=$linux_cli samples/make-samples.sh "$drives" > /dev/null
    (cd "$drives/ares-64" && "$linux_cli" pasport . --report "$scratch/linux-pasport.txt" > /dev/null)
    (cd "$drives/ares-64" && exec env -u WINEPATH "$wine" "$release"/*/Dravik.exe) \
        > "$scratch/window.log" 2>&1 &
    app=$!
    window=$(visible_window 60 --classname 'dravik.exe')
    if [ -z "$window" ] || ! kill -0 "$app" 2>/dev/null; then
        echo "Dravik.exe showed no window:"
        cat "$scratch/window.log"
        return 1
    fi
    sleep 2
    # Pasport is the first toolbar button, Save All the ninth (x 220).
    xdotool mousemove --window "$window" 14 14 click 1
    sleep 1
    # The pointer leaves the window, and with it the rows' tooltips.
    xdotool mousemove 1020 760
    sleep 0.5
    if [ -n "${DRAVIK_WINDOWS_SCREENSHOT:-}" ]; then
        import -window "$window" "$DRAVIK_WINDOWS_SCREENSHOT"
        echo "screenshot: $DRAVIK_WINDOWS_SCREENSHOT"
    fi
    xdotool mousemove --window "$window" 234 14 click 1
    dialog=$(visible_window 30 --name '^Confirm$')
    if [ -z "$dialog" ]; then
        echo "Save All asked nothing"
        return 1
    fi
    xdotool windowfocus --sync "$dialog" key Return
    for _ in $(seq 100); do [ -f "$drives/ares-64/\$Dravik.txt" ] && break; sleep 0.1; done
    same "window's rows, saved by Save All, and dravik-cli's report" \
        "$scratch/linux-pasport.txt" "$drives/ares-64/\$Dravik.txt"
    return "$failed"
}

step "Qt for Windows" find_qt
step "SQLite for Windows" find_sqlite
step "cross-build" cross_build
step "Wine's first start" start_wine
step "SQLite for Windows against Linux's" compare_sqlite
step "tests under Wine" run_tests
if [ -n "$qt" ]; then
    step "window's tests under Wine" run_window_tests
fi
step "dravik-cli.exe against dravik-cli" compare_cli
step "wildcards and the console on Windows" windows_only
step "release zip" pack
if [ -n "$qt" ]; then
    step "window's release zip" pack_window
    step "Dravik.exe from the release under Wine" window_under_wine
else
    qt_windows_left_out
fi
