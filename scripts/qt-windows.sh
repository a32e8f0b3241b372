# Sourced, not run, by scripts/test.sh, scripts/windows.sh and
# scripts/build-qt-windows.sh: the Qt for Windows that Dravik.exe is built and
# tested against.

# The Linux Qt's version, which scripts/build-qt-windows.sh builds from
# Debian's qt6-base source package.
qt_windows_version=6.4.2
# A finished build leaves this file in its folder.
qt_windows_stamp=.dravik-qt-windows-$qt_windows_version
# Where a Qt that scripts/build-qt-windows.sh built stays for later runs.
qt_windows_cache=$HOME/.cache/dravik/qt-windows-$qt_windows_version

# Sets qt_windows to the Qt for Windows to use: the one DRAVIK_QT_WINDOWS
# names, else the cached one, else the one beside the repository's folder
# (../shared/qt-windows); empty when there is none, or when DRAVIK_QT_WINDOWS
# is "none". Nothing is built here.
find_qt_windows() { # REPOSITORY_FOLDER
    local beside
    beside=$(dirname "$1")/shared/qt-windows
    qt_windows=
    if [ -n "${DRAVIK_QT_WINDOWS:-}" ]; then
        [ "$DRAVIK_QT_WINDOWS" = none ] || qt_windows=$(realpath -m "$DRAVIK_QT_WINDOWS")
    elif [ -f "$qt_windows_cache/$qt_windows_stamp" ]; then
        qt_windows=$qt_windows_cache
    elif [ -f "$beside/lib/cmake/Qt6/Qt6Config.cmake" ]; then
        qt_windows=$(realpath "$beside")
    fi
}

# What a run without a Qt for Windows left out, and how to include it.
qt_windows_left_out() {
    local why="no Qt $qt_windows_version for Windows in $qt_windows_cache or ../shared/qt-windows"
    [ "${DRAVIK_QT_WINDOWS:-}" != none ] || why="DRAVIK_QT_WINDOWS is \"none\" (leave it unset)"
    echo "LEFT OUT: the window's tests on Windows (test_app.exe, Dravik.exe and the window's"
    echo "release zip under Wine): $why."
    echo "To include them, build that Qt once (about an hour and a half on two cores), then run again:"
    echo "    scripts/build-qt-windows.sh $qt_windows_cache"
}
