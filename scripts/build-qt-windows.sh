#!/usr/bin/env bash
# Builds the Qt that Dravik.exe needs for 64-bit Windows, from Debian's own
# qt6-base source package (the Linux Qt's version, which scripts/qt-windows.sh
# names, every bundled third-party library included), with MinGW-w64 (posix threads), and installs
# it into PREFIX: Core, Gui, Widgets, Concurrent and Test as shared release
# libraries, the windows and offscreen platform plugins and the Windows style,
# with the licence texts of Qt and of its bundled libraries in PREFIX/licenses.
# The host tools (moc, rcc, uic) are Debian's qt6-base-dev-tools.
# A PREFIX that a run finished already is left as it is.
# Usage: scripts/build-qt-windows.sh PREFIX
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
[ $# -eq 1 ] || { echo "usage: scripts/build-qt-windows.sh PREFIX" >&2; exit 2; }
prefix=$(realpath -m "$1")
. scripts/qt-windows.sh
. scripts/debian-source.sh
version=$qt_windows_version
stamp=$prefix/$qt_windows_stamp

if [ -f "$stamp" ]; then
    echo "Qt $version for Windows is in $prefix already ($(du -sh "$prefix" | cut -f1))"
    exit 0
fi
started=$SECONDS

scripts/install-deps.sh cmake ninja-build g++-mingw-w64-x86-64-posix qt6-base-dev-tools dpkg-dev
add_deb_src

work=$(realpath -m "${DRAVIK_QT_WORK:-${TMPDIR:-/tmp}/dravik-qt-windows}")
mkdir -p "$work"
cd "$work"
source_version=$(apt-cache showsrc qt6-base | sed -n 's/^Version: //p' | grep "^$version" | head -n1)
[ -n "$source_version" ] || { echo "no qt6-base $version source package"; exit 1; }
fetch_debian_source qt6-base "$source_version"

# The smallest Qt that the window and its tests need. The windows plugin of
# 6.4.2 does not compile with OpenGL off; the source package has no wintab.h.
cmake -S "$work/source" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DQT_BUILD_MANUAL_TESTS=OFF -DQT_GENERATE_SBOM=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_xml=OFF -DFEATURE_opengl=ON -DINPUT_opengl=desktop -DFEATURE_opengl_dynamic=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_concurrent=ON -DFEATURE_testlib=ON \
    -DFEATURE_widgets=ON -DFEATURE_gui=ON -DFEATURE_accessibility=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_textmarkdownreader=OFF \
    -DFEATURE_sql_sqlite=OFF -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF \
    -DFEATURE_openssl=OFF -DFEATURE_glib=OFF -DFEATURE_fontconfig=OFF \
    > "$work/configure.log" 2>&1 || { tail -n 60 "$work/configure.log"; exit 1; }
cmake --build "$work/build" -j"${DRAVIK_QT_JOBS:-2}" > "$work/build.log" 2>&1 ||
    { tail -n 60 "$work/build.log"; exit 1; }
cmake --install "$work/build" > "$work/install.log" 2>&1 ||
    { tail -n 30 "$work/install.log"; exit 1; }
# Qt's documents are of no use to a build.
rm -rf "$prefix/doc"
# The licences that a release carries beside Qt's DLLs: Qt's own (the LGPL-3,
# which builds on the GPL-3) and those of the libraries bundled into them.
mkdir -p "$prefix/licenses"
cp "$work/source/LICENSES/LGPL-3.0-only.txt" "$work/source/LICENSES/GPL-3.0-only.txt" \
    "$prefix/licenses/"
for library in double-conversion freetype harfbuzz-ng libpng md4c pcre2 zlib; do
    mkdir -p "$prefix/licenses/$library"
    find "$work/source/src/3rdparty/$library" -maxdepth 1 -type f \
        \( -iname '*licen[cs]e*' -o -iname 'copying*' \) -exec cp {} "$prefix/licenses/$library/" \;
done
touch "$stamp"
echo "Qt $version for Windows built in $((SECONDS - started)) s into $prefix ($(du -sh "$prefix" | cut -f1))"
