#!/usr/bin/env bash
# Makes N drive folders of made-up data, as a shop keeps the drives it has
# serviced: one folder a drive, named after its serial, with its passport
# module and its ROM image, and for about two drives in five a loader. The
# values spread as they do in a shop: a few families make up most drives,
# each family has a few firmware codes, one far more common than the others,
# each code one or two ROM versions, and boards, configurations and
# head-disk assemblies repeat, so that most drives have donors. The same N
# gives the same folders every time. Usage: samples/make-library.sh N FOLDER.
# Needs dravik-cli built (DRAVIK_CLI names another).
set -euo pipefail

if [ $# -ne 2 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ] || [ "$1" -gt 999999 ]; then
    echo "usage: make-library.sh N FOLDER (N drive folders, 1 to 999999)" >&2
    exit 2
fi
count=$1
out=$2
here="$(cd "$(dirname "$0")" && pwd)"
if [ -e "$out" ] && [ ! -e "$out/.shop" ]; then
    echo "make-library.sh: $out exists and is not a folder this script made; left alone" >&2
    exit 1
fi

# The drive files of the sample folders are the templates; only the values
# that tell drives apart are written over them.
templates=$(mktemp -d)
trap 'rm -rf "$templates"' EXIT
"$here/make-samples.sh" "$templates/samples" >/dev/null

# put FILE OFFSET TEXT: writes TEXT at OFFSET.
put() {
    printf '%s' "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# word FILE OFFSET VALUE: a little-endian 16-bit number.
word() {
    printf "\\x$(printf %02X $(($3 & 255)))\\x$(printf %02X $(($3 >> 8)))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# family code|sample folder|weight: the families of the default settings,
# the common ones first.
families=(
    "2F|ares-64|6" "6Y|calypso|5" "2B|athena|4" "4D|romulus|3" "6E|n40p|3"
    "2R|nike|2" "4G|neptune|2" "4R|falcon|1" "5T|rigel|1"
)
# Within a family: the codes' last digits, weighted 6:3:1; the boards, the
# configurations and the assemblies, weighted as listed.
codeDigits=(019 021 107)
# The same four characters as a drive stores them, each pair swapped.
storedDigits=(10Z9 20Z1 01Z7)
codeWeights=(6 3 1)
boards=(20-7X 20-8B)
boardWeights=(3 1)
configs=(C12 C13 C21)
configWeights=(4 2 1)
assemblies=(H3A H4B H5A)
assemblyWeights=(3 2 1)

# The same numbers every run: a linear congruential generator.
seed=20261208
random() {
    seed=$(((seed * 1103515245 + 12345) % 2147483648))
    roll=$((seed >> 8))
}

# pick WEIGHT...: sets picked to an index chosen with those weights.
pick() {
    local total=0 weight
    for weight in "$@"; do total=$((total + weight)); done
    random
    local at=$((roll % total))
    picked=0
    for weight in "$@"; do
        [ "$at" -lt "$weight" ] && return
        at=$((at - weight))
        picked=$((picked + 1))
    done
}

familyWeights=()
sampleCodes=()
sampleStoredCodes=()
for family in "${families[@]}"; do
    familyWeights+=("${family##*|}")
    IFS="|" read -r _ sample _ <<<"$family"
    sampleCodes+=("$(dd if="$templates/samples/$sample/pasport.rpm" bs=1 skip=152 count=4 status=none)")
    sampleStoredCodes+=("$(dd if="$templates/samples/$sample/rom.rpm" bs=1 skip=96 count=4 status=none)")
done
passports=()

# The templates made for the values drawn so far, each made when first
# needed; the folders that get a copy of each.
made="$templates/made"
mkdir -p "$made"
declare -A pasportBytes copies
folders=()

# escaped FILE: the file's bytes as printf's %b escapes (\xHH each).
escaped() {
    od -An -v -tx1 "$1" | tr -d ' \n' | sed 's/../\\x&/g'
}

rm -rf "$out"
mkdir -p "$out"
: >"$out/.shop"
"${DRAVIK_CLI:-$here/../build/cli/dravik-cli}" default-settings --output "$out/Dravik.ini"
for ((n = 1; n <= count; n++)); do
    pick "${familyWeights[@]}"
    familyIndex=$picked
    IFS="|" read -r family sample _ <<<"${families[familyIndex]}"
    base=$templates/samples/$sample
    pick "${codeWeights[@]}"
    codeIndex=$picked
    code=${sampleCodes[familyIndex]:0:4}${codeDigits[codeIndex]}Z
    storedCode=${sampleStoredCodes[familyIndex]:0:4}${storedDigits[codeIndex]}
    random
    version=$((roll % 2))
    pick "${boardWeights[@]}"
    board=${boards[picked]}
    pick "${configWeights[@]}"
    config=${configs[picked]}
    pick "${assemblyWeights[@]}"
    assembly=${assemblies[picked]}
    checksum=$(((0x1A2B + familyIndex * 0x977 + codeIndex * 0x100 + version * 0x11) & 0xFFFF))
    # Eight characters, as the passport holds them, and none twice.
    printf -v serial 'WX%06d' $(((n * 7919) % 1000000))

    pasport=$made/$family-$code-$board-$config-$assembly.rpm
    if [ -z "${pasportBytes[$pasport]:-}" ]; then
        cp "$base/pasport.rpm" "$pasport"
        put "$pasport" 152 "$code"
        put "$pasport" 344 "$board"
        put "$pasport" 70 "$config"
        put "$pasport" 66 "$assembly"
        pasportBytes[$pasport]=$(escaped "$pasport")
    fi
    rom=$made/$code-$checksum.rom
    loader=$made/$code-$checksum.ldr
    if [ ! -e "$rom" ]; then
        cp "$base/rom.rpm" "$rom"
        put "$rom" 96 "$storedCode"
        word "$rom" 131070 "$checksum"
        cp "$base/$sample.ldr" "$loader"
        put "$loader" $((512 + 96)) "$storedCode"
        word "$loader" $((512 + 131070)) "$checksum"
    fi

    dir=$out/$serial
    folders+=("$dir")
    copies[$rom]+="$dir/rom.rpm"$'\n'
    random
    if [ $((roll % 5)) -lt 2 ]; then
        copies[$loader]+="$dir/$code.ldr"$'\n'
    fi
    # The passport with the drive's serial over its first eight bytes,
    # written once its folder is there.
    passports+=("$dir/pasport.rpm" "$serial${pasportBytes[$pasport]:32}")
done

# Many files at once: the folders, the passports by printf alone, and each
# image copied to its many folders by one tee (a few thousand names a call).
printf '%s\n' "${folders[@]}" | xargs -d '\n' mkdir -p
for ((i = 0; i < ${#passports[@]}; i += 2)); do
    printf '%b' "${passports[i + 1]}" >"${passports[i]}"
done
for image in "${!copies[@]}"; do
    mapfile -t targets < <(printf '%s' "${copies[$image]}")
    for ((i = 0; i < ${#targets[@]}; i += 2000)); do
        tee "${targets[@]:i:2000}" <"$image" >/dev/null
    done
done
echo "Made $count drive folders in $out"
