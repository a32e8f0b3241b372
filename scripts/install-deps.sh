#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing;
# with --run, only those that building and running the programs need. Other
# packages named after the options are installed too.
# Usage: scripts/install-deps.sh [--run] [PACKAGE...]
set -euo pipefail

# SQLite and libpq are the library of drive folders' two engines.
packages=(cmake ninja-build g++ qt6-base-dev libxcb1-dev libsqlite3-dev libpq-dev)
if [ "${1:-}" = "--run" ]; then
    shift
else
    # The tests, benchmarks and fuzz harnesses, the checks of the installed
    # files, and the Debian package with its check; the library's tests start
    # a PostgreSQL server of their own.
    packages+=(postgresql libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev
               desktop-file-utils appstream bash-completion zsh fish pkgconf dpkg-dev file lintian)
fi
packages+=("$@")
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
