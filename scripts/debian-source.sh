# Sourced, not run, by scripts/build-qt-windows.sh and
# scripts/build-sqlite-windows.sh: a Debian source package of the machine's
# own suite, fetched and unpacked for a build for Windows.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt-get source needs a deb-src entry of the suite the machine's packages
# come from; its security updates are in the suite's security archive.
add_deb_src() {
    if apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx 'Sources'; then
        return
    fi
    local suite
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "Adding a deb-src entry for Debian $suite"
    as_root tee /etc/apt/sources.list.d/dravik-deb-src.sources > /dev/null <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $suite $suite-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $suite-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    as_root apt-get update -qq
}

# Fetches source package PACKAGE of version VERSION into the current folder
# and unpacks it into ./source; ./source.ok then says how it was checked, and
# a later call with the same folder does nothing.
# apt-get checks the files it fetches against the archive's signed index.
# dpkg-source checks every file against the sizes and checksums of the .dsc
# while it unpacks; a mismatch stops the build here. The .dsc's own signature
# is checked too where the machine has the uploader's key (debian-keyring);
# where it can't be, the run says that only the sums were checked.
fetch_debian_source() { # PACKAGE VERSION
    local package=$1 version=$2 why
    # A .dsc's name leaves out the version's epoch.
    local dsc=${package}_${version#*:}.dsc
    if [ ! -s source.ok ] || [ ! -f "$dsc" ]; then
        rm -rf source source.ok "$package"-* "$package"_*
        apt-get source --download-only "$package=$version" > download.log 2>&1 ||
            { cat download.log; return 1; }
        if dpkg-source --require-valid-signature -x "$dsc" source > unpack.log 2>&1; then
            echo "a valid signature and the sizes and sums of its files" > source.ok
        else
            why=$(grep -m1 -i "can't check\|bad signature\|no public key" unpack.log ||
                tail -n1 unpack.log)
            rm -rf source
            dpkg-source -x "$dsc" source > unpack.log 2>&1 || { cat unpack.log; return 1; }
            echo "only the sizes and sums of its files; its signature could NOT be checked ($why)" \
                > source.ok
        fi
    fi
    echo "Source: $(pwd)/$dsc, checked against its .dsc: $(cat source.ok)"
}
