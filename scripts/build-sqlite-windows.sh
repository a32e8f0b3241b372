#!/usr/bin/env bash
# Builds the SQLite that dravik-cli.exe and Dravik.exe link statically, from
# Debian's sqlite3 source package of the installed libsqlite3-dev's version,
# with MinGW-w64 (posix threads), and installs it into PREFIX:
# include/sqlite3.h, lib/libsqlite3.a, SQLite's licence notice in
# licenses/SQLite and a BUILT.md that says how it was built. The options are
# those Debian builds its libsqlite3 with, so that the library of drive folders
# reads and writes the same SQL on both systems. A PREFIX that a run finished
# already is left as it is; two runs for one PREFIX wait for each other.
# Usage: scripts/build-sqlite-windows.sh [PREFIX]
# (default: ~/.cache/dravik/sqlite-windows-VERSION, where scripts/windows.sh
# looks for it).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
[ $# -le 1 ] || { echo "usage: scripts/build-sqlite-windows.sh [PREFIX]" >&2; exit 2; }
# tclsh writes the amalgamation (sqlite3.c and sqlite3.h) from the source tree;
# gcc and make build the generators it runs on the way.
scripts/install-deps.sh gcc-mingw-w64-x86-64-posix libsqlite3-dev tcl gcc make dpkg-dev
. scripts/debian-source.sh
. scripts/sqlite-windows.sh
sqlite_windows_names
version=$sqlite_windows_version
prefix=$(realpath -m "${1:-$sqlite_windows_cache}")
stamp=$prefix/$sqlite_windows_stamp

mkdir -p "$(dirname "$prefix")"
exec 9> "$prefix.lock"
flock 9
if [ -f "$stamp" ]; then
    echo "SQLite $version for Windows is in $prefix already"
    exit 0
fi
started=$SECONDS
add_deb_src

work=$(mktemp -d "${TMPDIR:-/tmp}/dravik-sqlite-windows.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
fetch_debian_source sqlite3 "$version"

# Debian's options for its libsqlite3 (debian/rules), and those its configure
# options add (FTS4, FTS5, the math functions).
options=(
    -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA
    -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS
    -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1
    -DSQLITE_ENABLE_UNLOCK_NOTIFY
    -DSQLITE_OMIT_LOOKASIDE=1 -DSQLITE_ENABLE_DBSTAT_VTAB
    -DSQLITE_ALLOW_ROWID_IN_VIEW
    -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1
    -DSQLITE_ENABLE_LOAD_EXTENSION
    -DSQLITE_ENABLE_JSON1
    -DSQLITE_LIKE_DOESNT_MATCH_BLOBS
    -DSQLITE_THREADSAFE=1
    -DSQLITE_ENABLE_FTS3_TOKENIZER=1
    -DSQLITE_USE_URI=1
    -DSQLITE_MAX_SCHEMA_RETRY=25
    -DSQLITE_ENABLE_PREUPDATE_HOOK
    -DSQLITE_ENABLE_SESSION
    -DSQLITE_ENABLE_STMTVTAB
    -DSQLITE_MAX_VARIABLE_NUMBER=250000
    -DSQLITE_ENABLE_FTS4 -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_MATH_FUNCTIONS
)

# The amalgamation is the same for every system; the parser in it is
# generated with the options, which configure hands to its generator.
mkdir amalgamation
(cd amalgamation && ../source/configure CFLAGS="-O2 ${options[*]}" > configure.log 2>&1 &&
    make -j2 sqlite3.c > make.log 2>&1) ||
    { tail -n 40 amalgamation/configure.log amalgamation/make.log; exit 1; }

# No folder of this build is written into the library.
cc=x86_64-w64-mingw32-gcc-posix
(cd amalgamation && "$cc" -O2 -fno-strict-aliasing "${options[@]}" \
    -ffile-prefix-map="$work"=. -c sqlite3.c -o sqlite3.o > compile.log 2>&1) ||
    { tail -n 40 amalgamation/compile.log; exit 1; }
mkdir -p "$prefix/include" "$prefix/lib" "$prefix/licenses/SQLite"
rm -f "$prefix/lib/libsqlite3.a"
x86_64-w64-mingw32-ar rcsD "$prefix/lib/libsqlite3.a" amalgamation/sqlite3.o
cp amalgamation/sqlite3.h "$prefix/include/"
cp "$top/package/windows/SQLite-NOTICE.txt" "$prefix/licenses/SQLite/NOTICE.txt"
cp source/LICENSE.md "$prefix/licenses/SQLite/"
if grep -aqF "$work" "$prefix/lib/libsqlite3.a"; then
    echo "build-sqlite-windows.sh: $work is written into libsqlite3.a" >&2
    exit 1
fi

seconds=$((SECONDS - started))
commit=$(git -C "$top" rev-parse --short HEAD 2>/dev/null || echo unknown)
cat > "$prefix/BUILT.md" <<EOF
# SQLite $version for Windows (MinGW-w64), static

Built by the project's \`scripts/build-sqlite-windows.sh PREFIX\` (project commit $commit) from
Debian's \`sqlite3\` $version source package, checked against its \`.dsc\`:
$(cat source.ok).

SQLite's own configure and make wrote the amalgamation with the machine's gcc and tclsh;
\`$("$cc" --version | head -n1)\` compiled it with \`-O2 -fno-strict-aliasing\`,
\`-ffile-prefix-map\` for the build folder (none is written into the library) and Debian's
options for its libsqlite3. The whole build took $seconds s on $(nproc) cores.

    ${options[*]}

\`include/sqlite3.h\`, \`lib/libsqlite3.a\` ($(du -k "$prefix/lib/libsqlite3.a" | cut -f1) KiB). Licence: public domain,
\`licenses/SQLite/\`.

Use: \`cmake ... -DSQLite3_INCLUDE_DIR=PREFIX/include -DSQLite3_LIBRARY=PREFIX/lib/libsqlite3.a\`
with \`cmake/mingw-w64-x86_64.cmake\`; \`scripts/windows.sh\` does this.
EOF
touch "$stamp"
echo "SQLite $version for Windows built in $seconds s into $prefix" \
    "(libsqlite3.a: $(du -k "$prefix/lib/libsqlite3.a" | cut -f1) KiB)"
