# Sourced, not run, by scripts/windows.sh and scripts/build-sqlite-windows.sh:
# the SQLite for Windows that dravik-cli.exe and Dravik.exe link statically.

# Sets sqlite_windows_version to the version of the installed libsqlite3-dev,
# whose source package scripts/build-sqlite-windows.sh builds, so that the
# Windows programs carry the SQLite that the Linux ones use;
# sqlite_windows_stamp to the file that a finished build leaves in its folder;
# sqlite_windows_cache to where a build stays for later runs.
sqlite_windows_names() {
    sqlite_windows_version=$(dpkg-query -W -f='${Version}' libsqlite3-dev 2>/dev/null) ||
        { echo "libsqlite3-dev is not installed" >&2; return 1; }
    sqlite_windows_stamp=.dravik-sqlite-windows-$sqlite_windows_version
    sqlite_windows_cache=$HOME/.cache/dravik/sqlite-windows-$sqlite_windows_version
}

# Sets sqlite_windows to the SQLite for Windows to use: the one
# DRAVIK_SQLITE_WINDOWS names, else the cached one, else one of the same
# version beside the repository's folder (../shared/sqlite-windows); empty
# when there is none. Nothing is built here.
find_sqlite_windows() { # REPOSITORY_FOLDER
    local beside
    beside=$(dirname "$1")/shared/sqlite-windows
    sqlite_windows_names
    sqlite_windows=
    if [ -n "${DRAVIK_SQLITE_WINDOWS:-}" ]; then
        sqlite_windows=$(realpath -m "$DRAVIK_SQLITE_WINDOWS")
    elif [ -f "$sqlite_windows_cache/$sqlite_windows_stamp" ]; then
        sqlite_windows=$sqlite_windows_cache
    elif [ -f "$beside/$sqlite_windows_stamp" ]; then
        sqlite_windows=$(realpath "$beside")
    fi
}
