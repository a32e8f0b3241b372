#!/usr/bin/env bash
# Builds sample drive folders from made-up data: one folder per drive family
# of the default settings, each with a passport module, a ROM image, a loader
# and Dravik.ini, and the first one also with a second ROM image and a
# specification module, and a twin of it that differs in a few values. Usage: samples/make-samples.sh [FOLDER] (default: the
# folder of this script). Needs dravik-cli built (DRAVIK_CLI names another).
set -euo pipefail

top="$(cd "$(dirname "$0")/.." && pwd)"
out=${1:-$(dirname "$0")}
cli=${DRAVIK_CLI:-$top/build/cli/dravik-cli}
if [ ! -x "$cli" ]; then
    echo "make-samples.sh: $cli not found; build it first (cmake --build build)" >&2
    exit 1
fi

# put FILE OFFSET BYTES: writes BYTES (printf escapes such as \x00) at OFFSET.
put() {
    printf '%b' "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# word FILE OFFSET VALUE: a little-endian 16-bit number.
word() {
    put "$1" "$2" "$(printf '\\x%02X\\x%02X' $(($3 & 255)) $(($3 >> 8 & 255)))"
}

# dword FILE OFFSET VALUE: a little-endian 32-bit number.
dword() {
    word "$1" "$2" $(($3 & 65535))
    word "$1" $(($2 + 2)) $(($3 >> 16 & 65535))
}

# zeros FILE SIZE: a new file of SIZE zero bytes.
zeros() {
    rm -f "$1"
    truncate -s "$2" "$1"
}

# stored CODE: the firmware code as a drive stores it, each pair of
# characters swapped (VAM4019Z is stored as AV4M10Z9).
stored() {
    local code=$1 swapped="" i
    for ((i = 0; i < ${#code}; i += 2)); do
        swapped+="${code:i+1:1}${code:i:1}"
    done
    printf '%s' "$swapped"
}

# pasport FILE FAMILY SERIAL MODEL NAME CODE LBA VERSION: a 512-byte passport
# module; the fields sit where the default layouts read them.
pasport() {
    local file=$1
    zeros "$file" 512
    put "$file" 0 "$3"
    put "$file" 19 '\x67\x03\x0F\x0C\x05' # 15.3.2003 (12:5)
    put "$file" 57 'R07'
    put "$file" 64 'H3'
    put "$file" 66 'HDA'
    put "$file" 70 'C12'
    put "$file" 84 'U05'
    put "$file" 88 'ALFA'
    put "$file" 128 "$2"
    put "$file" 130 "$4"
    put "$file" 152 "$6"
    word "$file" 174 4660
    dword "$file" 180 "$7"
    put "$file" 184 "${2}-BASE"
    put "$file" 200 "${4:0:7}"
    put "$file" 213 "$5"
    put "$file" 238 'ATA-6 UDMA5'
    put "$file" 263 "$(($7 / 1953125))GB"
    put "$file" 269 'ATA/ATAPI-6 rev 3a'
    put "$file" 288 '0.5'
    put "$file" 292 '0.8'
    put "$file" 344 '20-7X'
    put "$file" 505 "Q8$8"
}

# rom FILE CODE CHECKSUM [AT]: a 131072-byte ROM image, placed at AT (0) of
# a file that is already as large.
rom() {
    local file=$1 at=${4:-0}
    [ "$at" -gt 0 ] || zeros "$file" 131072
    put "$file" $((at + 96)) "$(stored "$2")"
    put "$file" $((at + 4096)) 'DISK'
    word "$file" $((at + 131070)) "$3"
}

# loader FILE CODE ROM-CHECKSUM OWN-CHECKSUM: a loader, its ROM image behind
# a 512-byte header.
loader() {
    zeros "$1" 131840
    put "$1" 0 'LDR\x01'
    rom "$1" "$2" "$3" 512
    word "$1" 131838 "$4"
}

# specification FILE: a 2048-byte specification module.
specification() {
    local file=$1 offset=64 name value
    zeros "$file" 2048
    put "$file" 0 'version'
    put "$file" 12 '213'
    for record in Heads=4 Cylinders=82101 Sectors=63 LBA=78165360 'Cache KB=2048' \
        'Spindle RPM=7200' Zones=16 'Servo=SV 1.4'; do
        name=${record%%=*}
        value=${record#*=}
        put "$file" "$offset" "$name"
        put "$file" $((offset + 12)) "$value"
        offset=$((offset + 32))
    done
}

mkdir -p "$out"
"$cli" default-settings --output "$out/Dravik.ini"

# folder|family|serial|model|name|firmware code|LBA|version|ROM checksum|loader checksum
drives=(
    "ares-64|2F|WX310041|ARES64-0408A|ARES 64|VAM4019Z|78165360|A07|6699|10"
    "athena|2B|WX310517|ATH-2040|ATHENA|WAH3112Z|39102336|B11|6956|4660"
    "nike|2R|WX312280|NIKE-80S|NIKE|EAH2207Z|156301488|C02|7234|291"
    "romulus|4D|WX314001|ROM-160P|ROMULUS|DAH5120Z|312581808|D10|8113|3"
    "neptune|4G|WX315530|NEP-120|NEPTUNE|GBK5301Z|234441648|E05|9021|77"
    "falcon|4R|WX316004|FAL-250|FALCON|RAM1804Z|488397168|F01|9400|12"
    "calypso|6Y|WX317711|CAL-320|CALYPSO|YAR6610Z|625142448|G03|11004|9"
    "n40p|6E|WX318202|N40P-400|N40P|NCR7702Z|781422768|H08|12345|40"
    "rigel|5T|WX319093|RIG-500|RIGEL|TDH9015Z|976773168|J04|15001|100"
)
made=()
for drive in "${drives[@]}"; do
    IFS="|" read -r folder family serial model name code lba version romsum ldrsum <<<"$drive"
    dir=$out/$folder
    # A folder of the same name that these samples did not make is left alone.
    if [ -e "$dir" ] && [ ! -e "$dir/.sample" ]; then
        echo "make-samples.sh: $dir exists and is not a sample folder; left alone" >&2
        exit 1
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    : >"$dir/.sample"
    cp "$out/Dravik.ini" "$dir/Dravik.ini"
    pasport "$dir/pasport.rpm" "$family" "$serial" "$model" "$name" "$code" "$lba" "$version"
    rom "$dir/rom.rpm" "$code" "$romsum"
    loader "$dir/$folder.ldr" "$code" "$romsum" "$ldrsum"
    made+=("$folder")
done
# The first drive also has a second program and a specification module.
rom "$out/ares-64/rom-b.rpm" VBM4019Z 6700
specification "$out/ares-64/specification.rpm"

# Its twin, a drive of the same family, to hold against it with
# "dravik-cli compare": another serial, capacity and passport version, the
# second ROM image with another checksum, one specification record changed.
twin=$out/ares-64-twin
if [ -e "$twin" ] && [ ! -e "$twin/.sample" ]; then
    echo "make-samples.sh: $twin exists and is not a sample folder; left alone" >&2
    exit 1
fi
rm -rf "$twin"
cp -R "$out/ares-64" "$twin"
pasport "$twin/pasport.rpm" 2F WX310077 ARES64-0408A "ARES 64" VAM4019Z 78165000 A09
rom "$twin/rom-b.rpm" VBM4019Z 6710
put "$twin/specification.rpm" 268 '18' # the record Zones=16
made+=(ares-64-twin)

echo "Made ${#made[@]} sample drive folders in $out: ${made[*]}"
